#include "art/Art.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace Art {
namespace {

// All coordinates below are in units of the 1x layout; a painter scaled by
// the factor (or a loop over the scaled pixels) puts them on the picture.
constexpr int kCell = 40;          // board cell and sprite frame size at 1x

// A length of the layout at the scale, in whole pixels. The scales are
// quarter steps, so every cell, frame and sheet comes out whole; a whole
// scale gives exactly the integer products.
int Px(double pixels) { return int(std::lround(pixels)); }
constexpr int kFigureDark = 0x10;  // darkest channel value inside a figure

// Small deterministic generator (xorshift32); std distributions are not
// guaranteed to give the same numbers on every library.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Range(int lo, int hi)  // inclusive
    {
        return lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo + 1));
    }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
    // Detail that follows per-pixel noise starts where it did when the noise
    // was drawn at 1x, so the detail lies in the same places at every scale.
    Rng& Skip(int count)
    {
        while (count-- > 0)
            Next();
        return *this;
    }

private:
    std::uint32_t state_;
};

int Clamp255(int v) { return std::clamp(v, 0, 255); }

QColor Shift(const QColor& c, int dr, int dg, int db)
{
    return QColor(Clamp255(c.red() + dr), Clamp255(c.green() + dg), Clamp255(c.blue() + db));
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    auto lerp = [t](int x, int y) { return Clamp255(int(std::lround(x + (y - x) * t))); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

QRgb* Row(QImage& img, int y) { return reinterpret_cast<QRgb*>(img.scanLine(y)); }
const QRgb* Row(const QImage& img, int y)
{
    return reinterpret_cast<const QRgb*>(img.constScanLine(y));
}

void Fill(QImage& img, const QRect& r, QRgb colour)
{
    const QRect clipped = r & img.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        std::fill_n(Row(img, y) + clipped.left(), clipped.width(), colour);
}

// ---------------------------------------------------------------------------
// Team colours
// ---------------------------------------------------------------------------

struct Team {
    QColor light;   // highlights
    QColor base;    // main cloth colour
    QColor dark;    // shaded cloth
    QColor deep;    // deepest shade, used for seams
    QColor gem;     // jewels and trims that should read as the team colour
    // Walls and fire have their own materials.
    QColor brick;
    QColor mortar;
    std::array<QColor, 5> flame;  // outer to inner
};

const Team kBlue{
    QColor(120, 170, 255), QColor(40, 95, 225), QColor(22, 52, 150), QColor(14, 28, 90),
    QColor(60, 200, 255),
    QColor(92, 118, 186), QColor(196, 204, 222),
    {QColor(18, 40, 150), QColor(30, 95, 235), QColor(70, 170, 255), QColor(165, 230, 255),
     QColor(240, 255, 255)},
};

const Team kRed{
    QColor(255, 120, 100), QColor(215, 38, 34), QColor(140, 20, 20), QColor(84, 14, 14),
    QColor(255, 70, 60),
    QColor(178, 62, 44), QColor(222, 206, 182),
    {QColor(150, 22, 10), QColor(228, 70, 18), QColor(252, 155, 30), QColor(255, 230, 100),
     QColor(255, 255, 225)},
};

const QColor kSkin(244, 204, 162);
const QColor kSkinShade(214, 160, 120);
const QColor kGold(246, 196, 56);
const QColor kGoldDark(160, 104, 16);
const QColor kOutline(24, 22, 28);
const QColor kInk(30, 24, 24);

// ---------------------------------------------------------------------------
// Masked sprites
// ---------------------------------------------------------------------------

using FigurePainter = std::function<void(QPainter&, const Team&)>;

// Figures are painted larger and reduced, so that small details get smooth
// edges. A big frame has the pixels for them already, and the painting time
// grows with the square of the painted size: the larger the scale, the less
// supersampling.
int Supersample(double scale) { return scale <= 1 ? 4 : scale <= 2 ? 2 : 1; }

// One figure painted in frame coordinates (0..40) onto a frame of
// kCell * scale pixels, with straight (not premultiplied) alpha.
QImage RenderFigure(const FigurePainter& paint, const Team& team, bool mirror, double scale)
{
    const int size = Px(kCell * scale), factor = Supersample(scale);
    QImage big(size * factor, size * factor, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        if (mirror) {
            p.translate(big.width(), 0);
            p.scale(-1, 1);
        }
        p.scale(scale * factor, scale * factor);
        paint(p, team);
    }
    if (factor > 1)
        big = big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return big.convertToFormat(QImage::Format_ARGB32);
}

// Per pixel of a frame: 0 ground, 1 figure, 2 outline.
struct Coverage {
    int size;
    std::vector<std::uint8_t> at;
    std::uint8_t& operator()(int x, int y) { return at[std::size_t(y) * size + x]; }
    std::uint8_t operator()(int x, int y) const { return at[std::size_t(y) * size + x]; }
};

Coverage Cover(const std::vector<QImage>& figures)
{
    const int size = figures.front().width();
    Coverage cov{size, std::vector<std::uint8_t>(std::size_t(size) * size, 0)};
    for (const QImage& fig : figures)
        for (int y = 0; y < size; ++y) {
            const QRgb* line = Row(fig, y);
            for (int x = 0; x < size; ++x)
                if (qAlpha(line[x]) >= 112)
                    cov(x, y) = 1;
        }
    return cov;
}

// An outline of `width` pixels around the figure (the 4-neighbourhood at
// width 1, a disc beyond), so that every piece stands out crisply on grass,
// sand or water alike. The nearest figure pixel of any outline pixel lies on
// the figure's rim, so only rim pixels need to spread.
Coverage Dilate(const Coverage& cov, double width)
{
    std::vector<QPoint> disc;
    const int reach = int(width);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if ((dx || dy) && dx * dx + dy * dy <= width * width)
                disc.emplace_back(dx, dy);
    const int n = cov.size;
    auto figure = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < n && y < n && cov(x, y) == 1;
    };
    Coverage out = cov;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (!figure(x, y) || (figure(x - 1, y) && figure(x + 1, y) && figure(x, y - 1) &&
                                  figure(x, y + 1)))
                continue;
            for (const QPoint& d : disc) {
                const int ox = x + d.x(), oy = y + d.y();
                if (ox >= 0 && oy >= 0 && ox < n && oy < n && !out(ox, oy))
                    out(ox, oy) = 2;
            }
        }
    return out;
}

QRgb FigurePixel(int r, int g, int b)
{
    return qRgb(std::max(r, kFigureDark), std::max(g, kFigureDark), std::max(b, kFigureDark));
}

// Colour frame: the figure blended over the edge colour inside the mask,
// pure black outside it.
QImage ComposeFrame(const QImage& fig, const Coverage& cov, const QColor& edge)
{
    QImage out(cov.size, cov.size, QImage::Format_RGB32);
    out.fill(Qt::black);
    for (int y = 0; y < cov.size; ++y) {
        const QRgb* in = Row(fig, y);
        QRgb* line = Row(out, y);
        for (int x = 0; x < cov.size; ++x) {
            const int c = cov(x, y);
            if (!c)
                continue;
            const double a = (c == 1) ? qAlpha(in[x]) / 255.0 : 0.0;
            const int r = int(std::lround(qRed(in[x]) * a + edge.red() * (1 - a)));
            const int g = int(std::lround(qGreen(in[x]) * a + edge.green() * (1 - a)));
            const int b = int(std::lround(qBlue(in[x]) * a + edge.blue() * (1 - a)));
            line[x] = FigurePixel(r, g, b);
        }
    }
    return out;
}

QImage MaskFrame(const Coverage& cov)
{
    QImage out(cov.size, cov.size, QImage::Format_RGB32);
    for (int y = 0; y < cov.size; ++y) {
        QRgb* line = Row(out, y);
        for (int x = 0; x < cov.size; ++x)
            line[x] = cov(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return out;
}

// Frames side by side, each kCell * scale wide.
QImage Strip(const std::vector<QImage>& frames)
{
    const int size = frames.front().height();
    QImage sheet(size * int(frames.size()), size, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (std::size_t i = 0; i < frames.size(); ++i)
        p.drawImage(int(i) * size, 0, frames[i]);
    return sheet;
}

// Sheet of 120 x 40: Blue frame, Red frame, one shared mask.
QImage PieceSheet(const FigurePainter& paint, bool outline, const QColor& blueEdge,
                  const QColor& redEdge, double scale)
{
    const QImage blue = RenderFigure(paint, kBlue, false, scale);
    const QImage red = RenderFigure(paint, kRed, false, scale);
    Coverage cov = Cover({blue, red});
    if (outline)
        cov = Dilate(cov, scale);
    return Strip({ComposeFrame(blue, cov, blueEdge), ComposeFrame(red, cov, redEdge),
                  MaskFrame(cov)});
}

// ---------------------------------------------------------------------------
// Figures (frame coordinates 0..40)
// ---------------------------------------------------------------------------

void Ellipse(QPainter& p, double cx, double cy, double rx, double ry)
{
    p.drawEllipse(QPointF(cx, cy), rx, ry);
}

QPen Pen(const QColor& c, double w)
{
    QPen pen(c, w);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QLinearGradient Across(double x0, double x1, const Team& t)
{
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0.0, t.light);
    g.setColorAt(0.38, t.base);
    g.setColorAt(1.0, t.dark);
    return g;
}

void Head(QPainter& p, double cx, double cy, double r)
{
    QRadialGradient g(cx - r * 0.35, cy - r * 0.4, r * 1.4);
    g.setColorAt(0, Shift(kSkin, 10, 10, 10));
    g.setColorAt(0.7, kSkin);
    g.setColorAt(1, kSkinShade);
    p.setPen(Pen(kSkinShade.darker(140), 0.4));
    p.setBrush(g);
    Ellipse(p, cx, cy, r, r);
}

void Eyes(QPainter& p, double cx, double cy, double gap)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    Ellipse(p, cx - gap, cy, 0.65, 0.75);
    Ellipse(p, cx + gap, cy, 0.65, 0.75);
}

void Star(QPainter& p, double cx, double cy, double r, const QColor& c)
{
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = (i % 2) ? r * 0.45 : r;
        poly << QPointF(cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(poly);
}

void PaintKing(QPainter& p, const Team& t)
{
    // Robe.
    QPainterPath robe;
    robe.moveTo(13.5, 19.5);
    robe.cubicTo(11.5, 25, 9.5, 31, 7.5, 37.2);
    robe.quadTo(20, 39.6, 32.5, 37.2);
    robe.cubicTo(30.5, 31, 28.5, 25, 26.5, 19.5);
    robe.closeSubpath();
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(Across(8, 32, t));
    p.drawPath(robe);

    // Ermine hem.
    QPainterPath hem;
    hem.moveTo(8.3, 34.6);
    hem.quadTo(20, 37.0, 31.7, 34.6);
    hem.lineTo(32.5, 37.2);
    hem.quadTo(20, 39.6, 7.5, 37.2);
    hem.closeSubpath();
    p.setPen(Pen(QColor(150, 150, 160), 0.4));
    p.setBrush(QColor(246, 246, 250));
    p.drawPath(hem);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (double x : {11.0, 16.0, 24.0, 29.0})
        Ellipse(p, x, 36.6, 0.45, 0.7);

    // Gold trim down the front.
    p.setPen(Pen(kGoldDark, 0.5));
    p.setBrush(kGold);
    p.drawRect(QRectF(18.8, 22, 2.4, 13.2));
    p.setBrush(t.gem);
    p.setPen(Pen(t.deep, 0.4));
    Ellipse(p, 20, 26, 1.0, 1.0);
    Ellipse(p, 20, 31, 1.0, 1.0);

    // Sleeves and hands.
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(t.base);
    QPainterPath leftSleeve;
    leftSleeve.moveTo(13.5, 20);
    leftSleeve.cubicTo(10, 22, 8.5, 25, 8.6, 28.2);
    leftSleeve.lineTo(12.2, 28.6);
    leftSleeve.cubicTo(12.6, 26, 13.6, 24, 15.2, 22.5);
    leftSleeve.closeSubpath();
    p.drawPath(leftSleeve);
    p.setBrush(t.dark);
    QPainterPath rightSleeve;
    rightSleeve.moveTo(26.5, 20);
    rightSleeve.cubicTo(29.5, 21.5, 31, 23.5, 31.3, 26.4);
    rightSleeve.lineTo(27.8, 27.2);
    rightSleeve.cubicTo(27.4, 25.2, 26.4, 23.6, 24.8, 22.5);
    rightSleeve.closeSubpath();
    p.drawPath(rightSleeve);

    // Sceptre in the right hand.
    p.setPen(Pen(kGoldDark, 2.0));
    p.drawLine(QPointF(30.2, 33.5), QPointF(31.6, 13.5));
    p.setPen(Pen(kGold, 1.1));
    p.drawLine(QPointF(30.2, 33.5), QPointF(31.6, 13.5));
    p.setPen(Pen(kGoldDark, 0.5));
    QRadialGradient orb(31.2, 11.2, 3);
    orb.setColorAt(0, QColor(255, 255, 255));
    orb.setColorAt(0.5, t.gem);
    orb.setColorAt(1, t.dark);
    p.setBrush(orb);
    Ellipse(p, 31.7, 11.8, 2.5, 2.5);
    p.setPen(Pen(kGold, 0.8));
    p.drawLine(QPointF(31.7, 9.3), QPointF(31.7, 7.3));
    p.drawLine(QPointF(30.7, 8.2), QPointF(32.7, 8.2));

    p.setPen(Pen(kSkinShade.darker(140), 0.4));
    p.setBrush(kSkin);
    Ellipse(p, 10.4, 28.6, 1.9, 1.9);
    Ellipse(p, 29.8, 27.3, 1.9, 1.9);

    // Ermine collar.
    QPainterPath collar;
    collar.moveTo(12.0, 20.2);
    collar.cubicTo(15, 17.2, 25, 17.2, 28.0, 20.2);
    collar.cubicTo(26, 23.6, 14, 23.6, 12.0, 20.2);
    collar.closeSubpath();
    p.setPen(Pen(QColor(150, 150, 160), 0.4));
    p.setBrush(QColor(246, 246, 250));
    p.drawPath(collar);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (double x : {15.0, 20.0, 25.0})
        Ellipse(p, x, 21.0, 0.45, 0.7);

    // Head, beard, crown.
    Head(p, 20, 14.2, 5.3);
    QPainterPath beard;
    beard.moveTo(15.2, 14.6);
    beard.cubicTo(15.6, 19.5, 18, 21.6, 20, 21.8);
    beard.cubicTo(22, 21.6, 24.4, 19.5, 24.8, 14.6);
    beard.cubicTo(23.2, 17.4, 16.8, 17.4, 15.2, 14.6);
    beard.closeSubpath();
    p.setPen(Pen(QColor(110, 60, 20), 0.4));
    p.setBrush(QColor(170, 100, 40));
    p.drawPath(beard);
    Eyes(p, 20, 13.3, 2.0);
    p.setPen(Pen(QColor(120, 40, 30), 0.5));
    p.drawLine(QPointF(19.0, 17.4), QPointF(21.0, 17.4));

    QPainterPath crown;
    crown.moveTo(13.6, 10.6);
    crown.lineTo(13.4, 3.4);
    crown.lineTo(16.4, 6.6);
    crown.lineTo(20.0, 1.4);
    crown.lineTo(23.6, 6.6);
    crown.lineTo(26.6, 3.4);
    crown.lineTo(26.4, 10.6);
    crown.closeSubpath();
    QLinearGradient gold(0, 1, 0, 11);
    gold.setColorAt(0, QColor(255, 236, 140));
    gold.setColorAt(0.6, kGold);
    gold.setColorAt(1, kGoldDark);
    p.setPen(Pen(kGoldDark.darker(130), 0.6));
    p.setBrush(gold);
    p.drawPath(crown);
    p.setBrush(QColor(255, 236, 140));
    p.setPen(Pen(kGoldDark, 0.4));
    Ellipse(p, 13.4, 3.3, 1.0, 1.0);
    Ellipse(p, 20.0, 1.4, 1.1, 1.1);
    Ellipse(p, 26.6, 3.3, 1.0, 1.0);
    p.setBrush(t.gem);
    p.setPen(Pen(t.deep, 0.4));
    Ellipse(p, 20, 8.4, 1.5, 1.6);
    p.setBrush(QColor(255, 255, 255));
    p.setPen(Qt::NoPen);
    Ellipse(p, 16.2, 8.8, 0.7, 0.7);
    Ellipse(p, 23.8, 8.8, 0.7, 0.7);
}

void PaintWizard(QPainter& p, const Team& t)
{
    // Staff (behind the figure).
    p.setPen(Pen(QColor(80, 48, 22), 2.2));
    p.drawLine(QPointF(7.4, 38), QPointF(8.6, 9.6));
    p.setPen(Pen(QColor(150, 98, 48), 1.1));
    p.drawLine(QPointF(7.4, 38), QPointF(8.6, 9.6));

    // Robe.
    QPainterPath robe;
    robe.moveTo(14.5, 18.5);
    robe.cubicTo(12, 25, 10, 31, 8.5, 37.4);
    robe.quadTo(20, 39.6, 31.5, 37.4);
    robe.cubicTo(30, 31, 28, 25, 25.5, 18.5);
    robe.closeSubpath();
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(Across(9, 31, t));
    p.drawPath(robe);
    Star(p, 13.5, 33.5, 1.4, QColor(255, 232, 110));
    Star(p, 27.0, 30.0, 1.2, QColor(255, 232, 110));
    Star(p, 24.5, 35.5, 0.9, QColor(255, 232, 110));

    // Sleeve reaching to the staff, and the hand on it.
    QPainterPath sleeve;
    sleeve.moveTo(15.0, 19.5);
    sleeve.cubicTo(12, 20.5, 10.5, 22, 9.6, 23.8);
    sleeve.lineTo(11.8, 26.2);
    sleeve.cubicTo(13, 25, 14.6, 24, 16.4, 23.2);
    sleeve.closeSubpath();
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(t.light);
    p.drawPath(sleeve);
    p.setPen(Pen(kSkinShade.darker(140), 0.4));
    p.setBrush(kSkin);
    Ellipse(p, 9.0, 24.2, 1.8, 1.8);

    // Glowing orb on the staff.
    QRadialGradient glow(8.6, 7.4, 4.4);
    glow.setColorAt(0, QColor(255, 255, 255));
    glow.setColorAt(0.45, QColor(200, 255, 240));
    glow.setColorAt(1, QColor(60, 190, 170));
    p.setPen(Pen(QColor(30, 110, 100), 0.5));
    p.setBrush(glow);
    Ellipse(p, 8.6, 7.6, 3.0, 3.0);
    p.setPen(Pen(QColor(230, 255, 250), 0.5));
    p.drawLine(QPointF(8.6, 2.6), QPointF(8.6, 3.8));
    p.drawLine(QPointF(3.7, 7.6), QPointF(4.8, 7.6));
    p.drawLine(QPointF(12.4, 7.6), QPointF(13.5, 7.6));

    // Face and long white beard.
    Head(p, 20, 14.6, 4.6);
    QPainterPath beard;
    beard.moveTo(15.6, 15.0);
    beard.cubicTo(15.8, 22, 18.0, 28.5, 20.2, 31.2);
    beard.cubicTo(22.4, 28.5, 24.4, 22, 24.4, 15.0);
    beard.cubicTo(22.6, 18.0, 17.4, 18.0, 15.6, 15.0);
    beard.closeSubpath();
    p.setPen(Pen(QColor(150, 150, 160), 0.45));
    p.setBrush(QColor(240, 240, 246));
    p.drawPath(beard);
    p.setPen(Pen(QColor(185, 185, 198), 0.4));
    p.drawLine(QPointF(18.5, 19.5), QPointF(19.5, 26));
    p.drawLine(QPointF(21.5, 19.5), QPointF(20.8, 26));
    Eyes(p, 20, 14.2, 1.8);
    p.setPen(Pen(QColor(220, 220, 228), 0.9));
    p.drawLine(QPointF(17.2, 12.6), QPointF(19.0, 12.9));
    p.drawLine(QPointF(21.0, 12.9), QPointF(22.8, 12.6));

    // Pointed hat with a bent tip.
    QPainterPath hat;
    hat.moveTo(13.2, 11.4);
    hat.cubicTo(15.5, 8, 18, 4, 21.5, 2.2);
    hat.cubicTo(23.5, 1.2, 25.8, 1.4, 28.2, 3.2);
    hat.cubicTo(25.8, 3.0, 24.2, 4.0, 23.6, 6.0);
    hat.cubicTo(24.2, 8.0, 25.5, 9.8, 26.8, 11.4);
    hat.closeSubpath();
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(Across(13, 27, t));
    p.drawPath(hat);
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(t.dark);
    Ellipse(p, 20, 11.6, 9.2, 1.9);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(14.3, 9.2, 11.4, 1.4));
    Star(p, 19.8, 6.6, 1.7, QColor(255, 236, 120));
}

void PaintBuilder(QPainter& p, const Team& t)
{
    // Boots and legs.
    p.setPen(Pen(QColor(40, 26, 16), 0.5));
    p.setBrush(QColor(96, 74, 56));
    p.drawRect(QRectF(13.4, 31, 4.6, 5));
    p.drawRect(QRectF(21.0, 31, 4.6, 5));
    p.setBrush(QColor(70, 42, 22));
    p.drawRoundedRect(QRectF(11.8, 34.6, 7.0, 3.6), 1.4, 1.4);
    p.drawRoundedRect(QRectF(20.4, 34.6, 7.0, 3.6), 1.4, 1.4);

    // Hammer handle, held high in the right hand.
    QTransform old = p.transform();
    p.setPen(Pen(QColor(70, 40, 16), 2.4));
    p.drawLine(QPointF(28.8, 23.5), QPointF(32.6, 5.5));
    p.setPen(Pen(QColor(176, 120, 60), 1.2));
    p.drawLine(QPointF(28.8, 23.5), QPointF(32.6, 5.5));

    // Stocky body.
    QPainterPath body;
    body.moveTo(12.6, 20.4);
    body.cubicTo(10.5, 24, 10.2, 28, 10.8, 32.6);
    body.lineTo(28.2, 32.6);
    body.cubicTo(28.8, 28, 28.5, 24, 26.4, 20.4);
    body.closeSubpath();
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(Across(10.5, 28.5, t));
    p.drawPath(body);

    // Leather apron with a pocket.
    QPainterPath apron;
    apron.moveTo(14.6, 22.4);
    apron.lineTo(24.4, 22.4);
    apron.lineTo(25.4, 32.0);
    apron.quadTo(19.5, 34.0, 13.6, 32.0);
    apron.closeSubpath();
    p.setPen(Pen(QColor(80, 46, 18), 0.5));
    p.setBrush(QColor(160, 104, 54));
    p.drawPath(apron);
    p.setBrush(QColor(138, 86, 42));
    p.drawRect(QRectF(17.2, 27.0, 4.6, 3.0));
    p.setPen(Pen(QColor(70, 40, 16), 1.3));
    p.drawLine(QPointF(11.2, 26.2), QPointF(27.8, 26.2));
    p.setPen(Pen(kGoldDark, 0.4));
    p.setBrush(kGold);
    p.drawRect(QRectF(18.4, 25.3, 2.2, 1.8));

    // Arms: the left one hangs, the right one holds the hammer.
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(t.light);
    QPainterPath leftArm;
    leftArm.moveTo(12.8, 20.8);
    leftArm.cubicTo(10.0, 22.5, 9.0, 25.5, 9.0, 28.6);
    leftArm.lineTo(12.0, 28.8);
    leftArm.cubicTo(12.2, 26.4, 13.0, 24.4, 14.6, 23.0);
    leftArm.closeSubpath();
    p.drawPath(leftArm);
    p.setBrush(t.dark);
    QPainterPath rightArm;
    rightArm.moveTo(25.4, 20.6);
    rightArm.cubicTo(27.6, 20.0, 29.2, 19.0, 29.8, 17.4);
    rightArm.lineTo(31.6, 19.4);
    rightArm.cubicTo(30.6, 22.0, 28.8, 23.4, 26.6, 24.0);
    rightArm.closeSubpath();
    p.drawPath(rightArm);
    p.setPen(Pen(kSkinShade.darker(140), 0.4));
    p.setBrush(kSkin);
    Ellipse(p, 10.5, 29.4, 1.9, 1.9);
    Ellipse(p, 30.7, 17.6, 2.0, 2.0);

    // Hammer head, square to the handle.
    p.translate(32.6, 5.5);
    p.rotate(std::atan2(5.5 - 23.5, 32.6 - 28.8) * 180 / M_PI + 90);
    QLinearGradient steel(0, -2.6, 0, 2.6);
    steel.setColorAt(0, QColor(226, 228, 236));
    steel.setColorAt(0.5, QColor(160, 164, 176));
    steel.setColorAt(1, QColor(88, 90, 102));
    p.setPen(Pen(QColor(40, 40, 50), 0.6));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(-5.4, -2.6, 10.8, 5.2), 0.8, 0.8);
    p.setBrush(QColor(120, 122, 134));
    p.drawRect(QRectF(-6.2, -2.2, 1.2, 4.4));
    p.drawRect(QRectF(5.0, -2.2, 1.2, 4.4));
    p.setTransform(old);

    // Head with a bushy beard and a cap in the team colour.
    Head(p, 19.5, 15.0, 5.0);
    QPainterPath beard;
    beard.moveTo(14.4, 15.2);
    beard.cubicTo(14.2, 19.6, 16.6, 22.6, 19.5, 22.8);
    beard.cubicTo(22.4, 22.6, 24.8, 19.6, 24.6, 15.2);
    beard.cubicTo(22.8, 17.8, 16.2, 17.8, 14.4, 15.2);
    beard.closeSubpath();
    p.setPen(Pen(QColor(120, 56, 16), 0.45));
    p.setBrush(QColor(206, 116, 40));
    p.drawPath(beard);
    Eyes(p, 19.5, 14.3, 1.9);
    p.setPen(Pen(QColor(150, 70, 40), 0.5));
    p.setBrush(QColor(230, 160, 120));
    Ellipse(p, 19.5, 16.0, 1.1, 0.9);

    QPainterPath cap;
    cap.moveTo(14.0, 12.8);
    cap.cubicTo(13.8, 7.4, 16.4, 6.4, 19.5, 6.4);
    cap.cubicTo(22.6, 6.4, 25.2, 7.4, 25.0, 12.8);
    cap.closeSubpath();
    QLinearGradient capFill(0, 6, 0, 13);
    capFill.setColorAt(0, t.light);
    capFill.setColorAt(0.6, t.base);
    capFill.setColorAt(1, t.dark);
    p.setPen(Pen(t.deep, 0.6));
    p.setBrush(capFill);
    p.drawPath(cap);
    p.setBrush(t.dark);
    p.drawRoundedRect(QRectF(12.6, 11.6, 13.8, 2.0), 0.9, 0.9);
}

void PaintWall(QPainter& p, const Team& t)
{
    // Battlement outline: a wall body with three merlons on top. Edges lie
    // on whole pixels so the brickwork stays crisp at every scale.
    QPainterPath shape;
    shape.addRect(QRectF(2, 9, 36, 29));
    shape.addRect(QRectF(2, 3, 8, 7));
    shape.addRect(QRectF(16, 3, 8, 7));
    shape.addRect(QRectF(30, 3, 8, 7));
    shape = shape.simplified();
    p.setPen(Qt::NoPen);
    p.setBrush(t.mortar);
    p.drawPath(shape);

    // Bricks: same layout and the same shading pattern for both sides, so
    // the two colours share one mask. One pixel of mortar above and to the
    // left of every brick.
    Rng rng(4242);
    p.save();
    p.setClipPath(shape);
    const int rowH = 6;
    int row = 0;
    for (int y = 3; y < 38; y += rowH, ++row) {
        const int offset = (row % 2) ? -4 : 0;
        for (int x = 2 + offset; x < 38; x += 8) {
            const int v = rng.Range(-14, 14);
            const QColor face = Shift(t.brick, v, v, v);
            const QRectF brick(x + 1, y + 1, 7, rowH - 1);
            QLinearGradient g(brick.topLeft(), brick.bottomRight());
            g.setColorAt(0, Shift(face, 36, 32, 30));
            g.setColorAt(0.3, face);
            g.setColorAt(1, face.darker(140));
            p.setBrush(g);
            p.drawRect(brick);
        }
    }
    // A dark band where the wall meets the ground.
    QLinearGradient ground(0, 32, 0, 38);
    ground.setColorAt(0, QColor(0, 0, 0, 0));
    ground.setColorAt(1, QColor(0, 0, 0, 100));
    p.setBrush(ground);
    p.drawRect(QRectF(2, 32, 36, 6));
    p.restore();

    p.setPen(Pen(t.deep, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);

    // Arrow slit.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(26, 24, 30));
    p.drawRect(QRectF(19, 16, 2, 10));
    p.drawRect(QRectF(17, 20, 6, 2));
}

QPainterPath FlamePath()
{
    QPainterPath f;
    f.moveTo(20, 37.5);
    f.cubicTo(9.5, 37.5, 4.5, 31.5, 5.6, 24.5);
    f.cubicTo(6.4, 19.2, 9.0, 14.6, 9.4, 8.6);
    f.cubicTo(12.2, 12.4, 13.6, 15.6, 14.2, 19.0);
    f.cubicTo(14.6, 12.2, 17.2, 6.4, 21.2, 1.2);
    f.cubicTo(23.6, 6.6, 26.4, 11.6, 25.8, 17.6);
    f.cubicTo(27.8, 14.4, 29.4, 10.4, 30.6, 6.4);
    f.cubicTo(34.4, 13.0, 36.2, 20.0, 34.6, 27.0);
    f.cubicTo(33.2, 33.6, 27.8, 37.5, 20, 37.5);
    f.closeSubpath();
    return f;
}

void PaintFire(QPainter& p, const Team& t)
{
    const QPainterPath flame = FlamePath();
    const double scales[] = {1.0, 0.80, 0.60, 0.40, 0.22};
    for (int i = 0; i < 5; ++i) {
        QTransform tr;
        tr.translate(20, 37.5);
        tr.scale(scales[i], scales[i] * (1.0 - 0.06 * i));
        tr.translate(-20, -37.5);
        p.setPen(Qt::NoPen);
        p.setBrush(t.flame[i]);
        p.drawPath(tr.map(flame));
    }
    // Sparks.
    p.setBrush(t.flame[3]);
    Ellipse(p, 13.2, 4.0, 0.9, 0.9);
    Ellipse(p, 34.6, 4.4, 0.8, 0.8);
    // Charred logs in front.
    p.setPen(Pen(QColor(36, 22, 14), 0.6));
    QLinearGradient wood(0, 32, 0, 38);
    wood.setColorAt(0, QColor(120, 74, 40));
    wood.setColorAt(1, QColor(58, 34, 20));
    p.setBrush(wood);
    p.save();
    p.translate(20, 35.2);
    p.rotate(-14);
    p.drawRoundedRect(QRectF(-13, -1.8, 26, 3.6), 1.6, 1.6);
    p.rotate(28);
    p.drawRoundedRect(QRectF(-13, -1.8, 26, 3.6), 1.6, 1.6);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(t.flame[2]);
    Ellipse(p, 20, 35.4, 2.0, 1.2);
}

// The Blue cannon, barrel to the right; Red's is its mirror image.
void PaintCannon(QPainter& p, const Team& t)
{
    // Trail carriage in painted wood of the team colour, resting on the
    // ground behind the wheel.
    QPainterPath carriage;
    carriage.moveTo(1.8, 34.2);
    carriage.lineTo(20.0, 20.2);
    carriage.lineTo(29.6, 19.6);
    carriage.lineTo(30.4, 27.0);
    carriage.lineTo(5.4, 37.8);
    carriage.lineTo(2.0, 37.6);
    carriage.closeSubpath();
    QLinearGradient wood(0, 19, 0, 38);
    wood.setColorAt(0, t.light);
    wood.setColorAt(0.35, t.base);
    wood.setColorAt(1, t.dark);
    p.setPen(Pen(t.deep, 0.7));
    p.setBrush(wood);
    p.drawPath(carriage);
    // Iron fittings on the trail.
    p.setPen(Pen(QColor(70, 70, 82), 1.0));
    p.drawLine(QPointF(6.2, 31.2), QPointF(8.2, 35.6));
    p.drawLine(QPointF(12.6, 26.2), QPointF(14.8, 32.6));
    p.setPen(Pen(t.light, 0.6));
    p.drawLine(QPointF(3.4, 34.0), QPointF(20.4, 21.2));

    // Barrel, raised a little, resting on the carriage.
    QTransform old = p.transform();
    p.translate(21.0, 18.6);
    p.rotate(-11);
    QPainterPath barrel;
    barrel.moveTo(-13.0, -4.7);
    barrel.lineTo(14.0, -3.3);
    barrel.lineTo(14.0, 3.3);
    barrel.lineTo(-13.0, 4.7);
    barrel.closeSubpath();
    QLinearGradient iron(0, -4.8, 0, 4.8);
    iron.setColorAt(0, QColor(186, 190, 204));
    iron.setColorAt(0.3, QColor(116, 120, 134));
    iron.setColorAt(1, QColor(34, 34, 44));
    p.setPen(Pen(QColor(24, 24, 30), 0.6));
    p.setBrush(iron);
    Ellipse(p, -14.4, 0, 2.2, 2.2);  // cascabel knob
    p.drawPath(barrel);
    p.drawRoundedRect(QRectF(11.8, -4.2, 3.8, 8.4), 1.0, 1.0);   // muzzle swell
    p.drawRoundedRect(QRectF(-13.4, -5.1, 2.6, 10.2), 0.8, 0.8);  // breech ring
    // Team-coloured bands with gold edges.
    for (double bx : {-6.5, 4.0}) {
        p.setPen(Pen(kGoldDark, 0.5));
        p.setBrush(kGold);
        p.drawRect(QRectF(bx - 0.6, -4.6, 3.6, 9.2));
        p.setPen(Qt::NoPen);
        p.setBrush(t.base);
        p.drawRect(QRectF(bx, -4.4, 2.4, 8.8));
    }
    p.setPen(Pen(QColor(24, 24, 30), 0.5));
    p.setBrush(QColor(20, 20, 24));
    Ellipse(p, 15.6, 0, 0.9, 2.4);  // bore
    p.setTransform(old);

    // Spoked wheel under the trunnions.
    const QPointF hub(23.0, 30.4);
    p.setPen(Pen(QColor(40, 24, 12), 0.6));
    p.setBrush(QColor(120, 76, 36));
    Ellipse(p, hub.x(), hub.y(), 7.4, 7.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(QColor(96, 98, 110), 1.0));
    Ellipse(p, hub.x(), hub.y(), 6.9, 6.9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(52, 34, 20));
    Ellipse(p, hub.x(), hub.y(), 5.2, 5.2);
    p.setPen(Pen(QColor(176, 122, 64), 1.1));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + 0.2;
        p.drawLine(hub, hub + QPointF(5.4 * std::cos(a), 5.4 * std::sin(a)));
    }
    p.setPen(Pen(kGoldDark, 0.5));
    p.setBrush(kGold);
    Ellipse(p, hub.x(), hub.y(), 1.7, 1.7);
}

// Cannon sheet, 160 x 40: Blue frame, Red frame, Blue mask, Red mask.
QImage CannonSheet(double scale)
{
    const QImage blue = RenderFigure(PaintCannon, kBlue, false, scale);
    const QImage red = RenderFigure(PaintCannon, kRed, true, scale);
    const Coverage blueCov = Dilate(Cover({blue}), scale);
    const Coverage redCov = Dilate(Cover({red}), scale);
    return Strip({ComposeFrame(blue, blueCov, kOutline), ComposeFrame(red, redCov, kOutline),
                  MaskFrame(blueCov), MaskFrame(redCov)});
}

// ---------------------------------------------------------------------------
// Cannonball frames (drawn with AND: white keeps the board)
// ---------------------------------------------------------------------------

// A frame for a ball moving right. AND drawing cannot blend, so nothing here
// is antialiased, and the shadow is a stipple of black and white pixels: it
// darkens grass, sand and water alike, where a solid grey would keep only
// some bits of the board colour. The stipple stays one pixel fine at every
// scale.
QImage BallFrame(int frame, double scale)
{
    struct Pose { double bx, by, br, srx, sry; };
    const Pose poses[] = {
        {21.0, 8.0, 4.5, 3.6, 1.4},
        {23.0, 16.5, 4.5, 5.2, 1.9},
        {24.5, 25.0, 4.5, 7.0, 2.4},
        {25.5, 31.0, 4.7, 9.4, 3.1},
    };
    const Pose& q = poses[frame];
    const double groundY = 34.0;
    const int size = Px(kCell * scale);
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRgb ink = qRgb(0x14, 0x14, 0x18);
    // Ordered (Bayer) dither: dense in the middle, thinning out to the rim.
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9},
                                         {15, 7, 13, 5}};
    for (int y = 0; y < size; ++y) {
        QRgb* line = Row(img, y);
        for (int x = 0; x < size; ++x) {
            const double dx = ((x + 0.5) / scale - q.bx) / q.srx;
            const double dy = ((y + 0.5) / scale - groundY) / q.sry;
            const double d = dx * dx + dy * dy;
            if (d >= 1.0)
                continue;
            const double density = 0.2 + 0.6 * std::sqrt(1.0 - d);
            if ((kBayer[y % 4][x % 4] + 0.5) / 16.0 < density)
                line[x] = ink;
        }
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(scale, scale);
    if (frame < 3) {
        // Speed streaks behind a ball in flight.
        p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
        const double len = frame == 0 ? 9.0 : 6.0;
        p.drawLine(QPointF(q.bx - q.br - len, q.by - 2), QPointF(q.bx - q.br - 2, q.by - 2));
        p.drawLine(QPointF(q.bx - q.br - len + 3, q.by + 1), QPointF(q.bx - q.br - 2, q.by + 1));
    } else {
        // Clods thrown up by the impact.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ink));
        for (const QPointF& c : {QPointF(q.bx - 11, 26), QPointF(q.bx + 9, 26),
                                 QPointF(q.bx - 7, 22), QPointF(q.bx + 6, 21),
                                 QPointF(q.bx - 14, 31), QPointF(q.bx + 11.5, 30)})
            p.drawRect(QRectF(c.x(), c.y(), 2, 2));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(ink));
    Ellipse(p, q.bx, q.by, q.br, q.br);
    return img;
}

QImage CannonballSheet(double scale)
{
    const int c = Px(kCell * scale);
    QImage sheet(4 * c, 2 * c, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int f = 0; f < 4; ++f) {
        const QImage right = BallFrame(f, scale);
        p.drawImage(f * c, c, right);                        // Blue: moving right
        p.drawImage(f * c, 0, right.mirrored(true, false));  // Red: moving left
    }
    return sheet;
}

// ---------------------------------------------------------------------------
// Selector, Moves panel, digits (OR-drawn parts keep a pure black ground)
// ---------------------------------------------------------------------------

// Both edges go to the nearest pixel edge, so that neighbouring rectangles
// still meet at any scale.
QRect Scaled(const QRect& r, double scale)
{
    const int left = Px(r.x() * scale), top = Px(r.y() * scale);
    return QRect(left, top, Px((r.x() + r.width()) * scale) - left,
                 Px((r.y() + r.height()) * scale) - top);
}

QImage SelectorSheet(double scale)
{
    const int c = Px(kCell * scale);
    QImage sheet(2 * c, c, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QImage mask(c, c, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QLinearGradient g(0, 0, c, c);
    g.setColorAt(0, QColor(255, 246, 120));
    g.setColorAt(1, QColor(255, 196, 20));
    QPainter p(&sheet);
    const int len = 12, thick = 3;
    // (x, y) is the corner's outermost pixel at 1x; the bars run from it in
    // the directions dx and dy, inset one pixel from the cell edge, with one
    // pixel of dark outline around them.
    auto corner = [&](int x, int y, int dx, int dy) {
        const int hx = dx > 0 ? x : x - len + 1;
        const int vy = dy > 0 ? y : y - len + 1;
        const int hy = dy > 0 ? y : y - thick + 1;
        const int vx = dx > 0 ? x : x - thick + 1;
        const QRect bars[] = {QRect(hx, hy, len, thick), QRect(vx, vy, thick, len)};
        for (const QRect& bar : bars) {
            const QRect outer = Scaled(bar.adjusted(-1, -1, 1, 1), scale);
            p.fillRect(outer, QColor(0x14, 0x12, 0x10));
            Fill(mask, outer, qRgb(0, 0, 0));
        }
        for (const QRect& bar : bars)
            p.fillRect(Scaled(bar, scale), g);
    };
    corner(2, 2, 1, 1);
    corner(37, 2, -1, 1);
    corner(2, 37, 1, -1);
    corner(37, 37, -1, -1);
    p.drawImage(c, 0, mask);
    return sheet;
}

// Text is laid out from glyph outlines of a font `pixels` times the scale,
// and drawn in 1x coordinates on a painter scaled by that factor.
QFont Font(const char* family, int pixels, bool bold, bool italic = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Text as a path whose bounding box is fitted into the given rectangle
// (keeping the proportions of the glyphs, centred).
QPainterPath FittedText(const QString& text, const QFont& font, const QRectF& box,
                        double stretchY = 1.0)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const double s = std::min(box.width() / b.width(), box.height() / (b.height() * stretchY));
    QTransform tr;
    tr.translate(box.center().x(), box.center().y());
    tr.scale(s, s * stretchY);
    tr.translate(-b.center().x(), -b.center().y());
    return tr.map(path);
}

// Digit glyph for a 20 x 40 frame: tall white figure, all digits the same
// height; the frame's border pixels stay black so the panel frame is clear.
QPainterPath DigitPath(int d, double scale)
{
    const QFont f = Font("Liberation Sans", Px(40 * scale), true);
    QPainterPath ref;
    ref.addText(0, 0, f, QStringLiteral("0"));
    const QRectF rb = ref.boundingRect();
    QPainterPath path;
    path.addText(0, 0, f, QString::number(d));
    const QRectF b = path.boundingRect();
    const double sy = 25.0 / rb.height();
    const double sx = std::min(sy * 0.86, 14.0 / b.width());
    QTransform tr;
    tr.translate(10.0, 20.5);
    tr.scale(sx, sy);
    tr.translate(-b.center().x(), -rb.center().y());
    return tr.map(path);
}

QImage NumbersSheet(double scale)
{
    QImage sheet(Px(10 * 20 * scale), Px(kCell * scale), QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    for (int d = 0; d < 10; ++d) {
        p.save();
        p.setClipRect(QRect(d * 20 + 1, 1, 18, 38));
        p.translate(d * 20, 0);
        QLinearGradient g(0, 8, 0, 33);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(228, 232, 240));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(DigitPath(d, scale));
        p.restore();
    }
    return sheet;
}

QImage MovesPanel(double scale)
{
    QImage img(Px(kCell * scale), Px(2 * kCell * scale), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // Rounded frame around the whole panel, with a divider under the label.
    const QColor frame(204, 204, 196);
    p.setPen(QPen(frame, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.0, 8.5, 38.0, 70.5), 4.0, 4.0);
    p.drawLine(QPointF(4.0, 38.0), QPointF(36.0, 38.0));

    // "Moves" label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 238, 150));
    p.drawPath(FittedText(QStringLiteral("Moves"), Font("Liberation Sans", Px(24 * scale), true),
                          QRectF(4.5, 17.5, 31.0, 11.0)));
    // Small hourglass above the label, to make the panel recognisable.
    QPolygonF glass;
    glass << QPointF(16.5, 1.0) << QPointF(23.5, 1.0) << QPointF(20.6, 4.5)
          << QPointF(23.5, 8.0) << QPointF(16.5, 8.0) << QPointF(19.4, 4.5);
    p.setBrush(QColor(255, 238, 150));
    p.drawPolygon(glass);
    p.end();

    // Keep the digit places (y 40..79, each 20 wide) clear of everything but
    // the frame line at the very border.
    Fill(img, Scaled(QRect(3, 40, 34, 37), scale), qRgb(0, 0, 0));
    return img;
}

// ---------------------------------------------------------------------------
// Board background and grass
// ---------------------------------------------------------------------------

enum class Ground { Grass, Sand };

// Paints the cell (col, row) of the board into img with its top-left corner
// at `origin` (in pixels of the picture). Each cell has its own seed, so the
// board shows varied grass; the grass tile is one of these cells exactly.
// The grain is one pixel at every scale; blades, flowers, pebbles and
// ripples are single pixels at 1x and small painted shapes above it.
void PaintGroundCell(QImage& img, double scale, QPoint origin, int col, int row, Ground kind)
{
    const std::uint32_t seed =
        0xC0FFEEu + std::uint32_t(col) * 7919u + std::uint32_t(row) * 104729u;
    Rng grain(seed);
    Rng rng = Rng(seed).Skip(kCell * kCell);
    const bool light = ((col + row) % 2) == 0;
    QColor base, bladeDark, bladeLight, groove, ridge;
    if (kind == Ground::Grass) {
        base = light ? QColor(98, 164, 66) : QColor(88, 152, 58);
        bladeDark = QColor(62, 118, 40);
        bladeLight = QColor(138, 196, 86);
        groove = QColor(58, 104, 38);
        ridge = Shift(base, 16, 16, 10);
    } else {
        base = light ? QColor(226, 202, 140) : QColor(218, 192, 130);
        bladeDark = QColor(178, 152, 100);
        bladeLight = QColor(242, 226, 176);
        groove = QColor(170, 144, 92);
        ridge = Shift(base, 12, 12, 10);
    }
    const int size = Px(kCell * scale);
    for (int y = 0; y < size; ++y) {
        QRgb* line = Row(img, origin.y() + y) + origin.x();
        for (int x = 0; x < size; ++x) {
            const int n = grain.Range(-6, 6);
            line[x] = qRgb(Clamp255(base.red() + n), Clamp255(base.green() + n),
                           Clamp255(base.blue() + n / 2));
        }
    }

    const bool pixels = scale == 1;
    auto dot = [&](int x, int y, const QColor& c) {
        img.setPixel(origin.x() + x, origin.y() + y, c.rgb());
    };
    QPainter p;
    if (!pixels) {
        p.begin(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(origin);
        p.scale(scale, scale);
        p.setPen(Qt::NoPen);
    }
    if (kind == Ground::Grass) {
        // Short blades, two or three pixels tall at 1x.
        for (int i = 0; i < 60; ++i) {
            const int x = rng.Range(2, kCell - 3);
            const int y = rng.Range(3, kCell - 3);
            const QColor c = (i % 3) ? bladeDark : bladeLight;
            const int h = rng.Range(2, 3);
            const int lean = rng.Range(-1, 1);
            if (pixels) {
                for (int k = 0; k < h; ++k)
                    dot(x + (k == h - 1 ? lean : 0), y - k, c);
                continue;
            }
            // A tapering blade from the bottom of pixel (x, y) to the top of
            // the pixel the 1x blade ends in.
            const double bottom = y + 1.0, top = y - h + 1.0, mid = (bottom + top) / 2;
            const double tipX = x + 0.5 + 0.8 * lean;
            QPainterPath blade;
            blade.moveTo(x + 0.1, bottom);
            blade.quadTo(x + 0.2, mid, tipX, top);
            blade.quadTo(x + 0.8, mid, x + 0.9, bottom);
            blade.closeSubpath();
            p.setBrush(c);
            p.drawPath(blade);
        }
        // The odd flower.
        if (rng.Range(0, 3) == 0) {
            const int x = rng.Range(6, 33), y = rng.Range(6, 33);
            const QColor petal = rng.Range(0, 1) ? QColor(250, 250, 240) : QColor(250, 220, 90);
            const QColor heart(240, 160, 40);
            const QPoint petals[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const QPoint& at : petals) {
                if (pixels) {
                    dot(at.x(), at.y(), petal);
                } else {
                    p.setBrush(petal);
                    Ellipse(p, at.x() + 0.5, at.y() + 0.5, 0.65, 0.65);
                }
            }
            if (pixels) {
                dot(x, y, heart);
            } else {
                p.setBrush(heart);
                Ellipse(p, x + 0.5, y + 0.5, 0.55, 0.55);
            }
        }
    } else {
        // Pebbles and ripples in the sand.
        for (int i = 0; i < 14; ++i) {
            const int x = rng.Range(2, kCell - 4);
            const int y = rng.Range(2, kCell - 3);
            const QColor c = (i % 2) ? bladeDark : QColor(160, 150, 136);
            if (pixels) {
                dot(x, y, c);
                dot(x + 1, y, bladeLight);
            } else {
                p.setBrush(c);
                Ellipse(p, x + 1.0, y + 0.5, 0.95, 0.6);
                p.setBrush(bladeLight);
                Ellipse(p, x + 1.4, y + 0.35, 0.45, 0.3);
            }
        }
        for (int i = 0; i < 5; ++i) {
            const int x = rng.Range(3, kCell - 10);
            const int y = rng.Range(4, kCell - 5);
            // Low, high, low, low, high, low: a small double wave.
            const int lift[] = {0, -1, 0, 0, -1, 0};
            if (pixels) {
                for (int k = 0; k < 6; ++k)
                    dot(x + k, y + lift[k], bladeDark);
                continue;
            }
            QPainterPath ripple;
            ripple.moveTo(x + 0.5, y + 0.5);
            for (int k = 1; k < 6; ++k)
                ripple.lineTo(x + k + 0.5, y + lift[k] + 0.5);
            p.strokePath(ripple, QPen(bladeDark, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
    }
    if (p.isActive())
        p.end();
    // Bevel: light top and left edge, dark right and bottom edge; neighbouring
    // cells together make the board's grid lines.
    const int line = Px(scale); // one pixel at 1x
    Fill(img, QRect(origin, QSize(size, line)), ridge.rgb());
    Fill(img, QRect(origin, QSize(line, size)), ridge.rgb());
    Fill(img, QRect(origin + QPoint(0, size - line), QSize(size, line)), groove.rgb());
    Fill(img, QRect(origin + QPoint(size - line, 0), QSize(line, size)), groove.rgb());
}

void PaintRiver(QImage& img, double scale)
{
    const int c = Px(kCell * scale), x0 = 4 * c, x1 = 5 * c;
    Rng grain(777);
    Rng rng = Rng(777).Skip(kCell * 7 * kCell);
    const QColor shallow(58, 120, 176), deep(28, 74, 150);
    std::vector<QColor> water(c);
    for (int x = 0; x < c; ++x) {
        const double u = (x + 0.5) / c;             // 0 .. 1 across
        const double depth = std::sin(u * M_PI);    // deepest in the middle
        water[x] = Mix(shallow, deep, depth);
    }
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = Row(img, y);
        for (int x = x0; x < x1; ++x) {
            const int n = grain.Range(-3, 3);
            const QColor& w = water[x - x0];
            line[x] = qRgb(Clamp255(w.red() + n), Clamp255(w.green() + n), Clamp255(w.blue() + n));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const int height = int(img.height() / scale);
    p.setClipRect(QRect(4 * kCell, 0, kCell, height));
    // Gentle ripples.
    for (int i = 0; i < 36; ++i) {
        const double x = 4 * kCell + 6 + rng.Unit() * 26;
        const double y = 3 + rng.Unit() * (height - 6);
        const double w = 4 + rng.Unit() * 5;
        QPainterPath wave;
        wave.moveTo(x, y);
        wave.quadTo(x + w / 2, y - 1.6, x + w, y);
        p.setPen(QPen(QColor(120, 178, 226, 190), 1.0));
        p.drawPath(wave);
    }
    p.end();
    // Foam along both banks.
    for (int y = 0; y < img.height(); ++y) {
        const int y1 = int(y / scale);
        const bool foamL = ((y1 / 3) + (y1 / 7)) % 3 != 0;
        const bool foamR = ((y1 / 4) + (y1 / 5)) % 3 != 1;
        QRgb* line = Row(img, y);
        const int width = Px(scale); // one pixel at 1x
        for (int k = 0; k < width; ++k) {
            line[x0 + k] = foamL ? qRgb(214, 232, 240) : qRgb(120, 170, 200);
            line[x0 + width + k] = qRgb(96, 150, 196);
            line[x1 - 1 - k] = foamR ? qRgb(214, 232, 240) : qRgb(120, 170, 200);
            line[x1 - 1 - width - k] = qRgb(96, 150, 196);
        }
    }
}

// Wet sand darkens towards the water, over five pixels at 1x.
void WetEdge(QImage& img, int x, int dir, double scale)
{
    const QColor wet(150, 128, 84);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = Row(img, y);
        for (int k = 0; k < Px(5 * scale); ++k) {
            QRgb& px = line[x + dir * k];
            px = Mix(QColor(px), wet, 0.55 - 0.11 * k / scale).rgb();
        }
    }
}

void PaintPortal(QPainter& p, double cx, double cy, const Team& t)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Shadow and flagstone ring.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 50, 20, 90));
    Ellipse(p, cx + 0.8, cy + 1.2, 17.8, 17.8);
    QRadialGradient stone(cx - 6, cy - 6, 26);
    stone.setColorAt(0, QColor(206, 206, 200));
    stone.setColorAt(1, QColor(120, 118, 112));
    p.setBrush(stone);
    p.setPen(QPen(QColor(60, 58, 54), 1.0));
    Ellipse(p, cx, cy, 17.4, 17.4);
    // Joints between the stones.
    p.setPen(QPen(QColor(92, 90, 84), 1.0));
    for (int i = 0; i < 10; ++i) {
        const double a = i * 2 * M_PI / 10 + 0.15;
        p.drawLine(QPointF(cx + 13.8 * std::cos(a), cy + 13.8 * std::sin(a)),
                   QPointF(cx + 17.2 * std::cos(a), cy + 17.2 * std::sin(a)));
    }
    // Glowing pool.
    QRadialGradient pool(cx, cy, 14);
    pool.setColorAt(0, QColor(255, 255, 255));
    pool.setColorAt(0.25, t.light);
    pool.setColorAt(0.7, t.base);
    pool.setColorAt(1, t.deep);
    p.setBrush(pool);
    p.setPen(QPen(t.deep, 1.0));
    Ellipse(p, cx, cy, 13.6, 13.6);
    // Swirl.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int arm = 0; arm < 3; ++arm) {
        QPainterPath swirl;
        for (int k = 0; k <= 20; ++k) {
            const double s = k / 20.0;
            const double a = arm * 2 * M_PI / 3 + s * 2.6;
            const double r = 2.0 + s * 10.0;
            const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
            if (k == 0)
                swirl.moveTo(pt);
            else
                swirl.lineTo(pt);
        }
        p.drawPath(swirl);
    }
    // Rune dots on the ring.
    p.setPen(Qt::NoPen);
    p.setBrush(t.gem);
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * M_PI / 5 - M_PI / 2;
        Ellipse(p, cx + 15.6 * std::cos(a), cy + 15.6 * std::sin(a), 1.1, 1.1);
    }
    p.restore();
}

QImage Background(double scale)
{
    const int c = Px(kCell * scale);
    QImage img(9 * c, 7 * c, QImage::Format_RGB32);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 9; ++col) {
            if (col == 4)
                continue;
            const Ground g = (col == 3 || col == 5) ? Ground::Sand : Ground::Grass;
            PaintGroundCell(img, scale, QPoint(col * c, row * c), col, row, g);
        }
    PaintRiver(img, scale);
    WetEdge(img, 4 * c - 1, -1, scale);
    WetEdge(img, 5 * c, +1, scale);
    QPainter p(&img);
    p.scale(scale, scale);
    PaintPortal(p, 0 * kCell + 20, 3 * kCell + 20, kBlue);
    PaintPortal(p, 8 * kCell + 20, 3 * kCell + 20, kRed);
    return img;
}

QImage GrassTile(double scale)
{
    QImage img(Px(kCell * scale), Px(kCell * scale), QImage::Format_RGB32);
    PaintGroundCell(img, scale, QPoint(0, 0), 2, 0, Ground::Grass);
    return img;
}

// ---------------------------------------------------------------------------
// Title picture and icon
// ---------------------------------------------------------------------------
// ---------------------------------------------------------------------------
// Title picture and icon
// ---------------------------------------------------------------------------

void Tower(QPainter& p, double x, double baseY, double w, double h, const Team& t, bool flagRight)
{
    const QColor stone(58, 56, 72), stoneLight(84, 82, 100);
    QLinearGradient g(x, 0, x + w, 0);
    g.setColorAt(0, stoneLight);
    g.setColorAt(1, stone);
    p.setPen(QPen(QColor(26, 24, 34), 1.0));
    p.setBrush(g);
    const double top = baseY - h;
    p.drawRect(QRectF(x, top, w, h));
    // Battlements.
    const int merlons = 4;
    const double mw = w / (2 * merlons - 1);
    for (int i = 0; i < merlons; ++i)
        p.drawRect(QRectF(x + i * 2 * mw, top - mw, mw, mw));
    // Roof in the team colour.
    QPainterPath roof;
    roof.moveTo(x - 3, top - mw);
    roof.lineTo(x + w / 2, top - mw - w * 1.1);
    roof.lineTo(x + w + 3, top - mw);
    roof.closeSubpath();
    QLinearGradient rg(x, 0, x + w, 0);
    rg.setColorAt(0, t.light);
    rg.setColorAt(0.5, t.base);
    rg.setColorAt(1, t.deep);
    p.setBrush(rg);
    p.setPen(QPen(t.deep.darker(150), 1.0));
    p.drawPath(roof);
    // Banner.
    const QPointF pole(x + w / 2, top - mw - w * 1.1);
    p.setPen(QPen(QColor(40, 36, 30), 1.2));
    p.drawLine(pole, pole - QPointF(0, 16));
    QPainterPath flag;
    const double dir = flagRight ? 1 : -1;
    flag.moveTo(pole - QPointF(0, 16));
    flag.cubicTo(pole + QPointF(dir * 6, -19), pole + QPointF(dir * 10, -12),
                 pole + QPointF(dir * 15, -14));
    flag.cubicTo(pole + QPointF(dir * 10, -8), pole + QPointF(dir * 6, -12), pole - QPointF(0, 9));
    flag.closeSubpath();
    p.setBrush(t.base);
    p.setPen(QPen(t.deep, 0.8));
    p.drawPath(flag);
    // Lit windows.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 110));
    for (int i = 0; i < 3; ++i) {
        const double wy = top + 10 + i * 22;
        if (wy + 9 > baseY - 4)
            break;
        p.drawRoundedRect(QRectF(x + w / 2 - 2.5, wy, 5, 9), 2.4, 2.4);
    }
}

// A centred line of text in a 1x box, drawn on the unscaled picture (the
// painter holds nothing but the scale) so that the font, already `scale`
// times its 1x size, is rasterised at full size.
void Caption(QPainter& p, double scale, const QRectF& box, const QFont& font, const QColor& colour,
             const QString& text)
{
    p.save();
    p.resetTransform();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(box.topLeft() * scale, box.size() * scale),
               Qt::AlignHCenter | Qt::AlignVCenter, text);
    p.restore();
}

QImage Title(double scale)
{
    QImage img(Px(9 * kCell * scale), Px(7 * kCell * scale), QImage::Format_RGB32);
    QPainter p(&img);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Dusk sky.
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(14, 18, 52));
    sky.setColorAt(0.45, QColor(58, 40, 100));
    sky.setColorAt(0.8, QColor(196, 86, 88));
    sky.setColorAt(1, QColor(250, 170, 90));
    p.fillRect(QRectF(0, 0, 9 * kCell, 7 * kCell), sky);

    // Stars.
    Rng rng(2024);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const double x = rng.Unit() * 360, y = rng.Unit() * 110;
        const int a = 90 + rng.Range(0, 165);
        p.setBrush(QColor(255, 255, 240, a));
        const double r = rng.Range(0, 5) == 0 ? 1.1 : 0.6;
        Ellipse(p, x, y, r, r);
    }
    // Moon.
    p.setBrush(QColor(250, 244, 220));
    Ellipse(p, 334, 22, 10, 10);
    p.setBrush(QColor(18, 20, 56));
    Ellipse(p, 339, 19, 9, 9);

    // Distant hills.
    QPainterPath hills;
    hills.moveTo(0, 190);
    hills.cubicTo(60, 160, 110, 176, 180, 182);
    hills.cubicTo(250, 188, 300, 158, 360, 176);
    hills.lineTo(360, 280);
    hills.lineTo(0, 280);
    hills.closeSubpath();
    p.setBrush(QColor(52, 54, 90));
    p.drawPath(hills);

    // Meadow.
    QPainterPath meadow;
    meadow.moveTo(0, 206);
    meadow.cubicTo(90, 194, 270, 194, 360, 206);
    meadow.lineTo(360, 280);
    meadow.lineTo(0, 280);
    meadow.closeSubpath();
    QLinearGradient grass(0, 196, 0, 280);
    grass.setColorAt(0, QColor(60, 110, 48));
    grass.setColorAt(1, QColor(24, 52, 24));
    p.setBrush(grass);
    p.drawPath(meadow);

    // River winding down the middle.
    QPainterPath river;
    river.moveTo(176, 197);
    river.cubicTo(168, 220, 196, 240, 168, 280);
    river.lineTo(206, 280);
    river.cubicTo(226, 240, 186, 222, 184, 197);
    river.closeSubpath();
    QLinearGradient water(0, 197, 0, 280);
    water.setColorAt(0, QColor(250, 180, 120));
    water.setColorAt(0.3, QColor(90, 130, 200));
    water.setColorAt(1, QColor(30, 70, 150));
    p.setBrush(water);
    p.drawPath(river);

    // The two castles.
    Tower(p, 22, 232, 30, 82, kBlue, true);
    Tower(p, 56, 236, 22, 62, kBlue, true);
    Tower(p, 308, 232, 30, 82, kRed, false);
    Tower(p, 282, 236, 22, 62, kRed, false);

    // A cannonball's arc from one castle to the other.
    p.setPen(QPen(QColor(255, 230, 170, 150), 1.4, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(82, 196);
    arc.quadTo(180, 118, 262, 188);
    p.drawPath(arc);
    p.setPen(QPen(QColor(10, 10, 14), 0.8));
    QRadialGradient ball(258, 180, 6);
    ball.setColorAt(0, QColor(150, 150, 160));
    ball.setColorAt(1, QColor(20, 20, 26));
    p.setBrush(ball);
    Ellipse(p, 260, 184, 4.2, 4.2);

    // Title: gold letters with a dark rim and a soft shadow.
    const QPainterPath title = FittedText(QStringLiteral("Turrion"),
                                          Font("Liberation Serif", Px(96 * scale), true),
                                          QRectF(40, 26, 280, 66));
    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawPath(title.translated(i * 0.8, i * 1.0));
    }
    QLinearGradient gold(0, 26, 0, 92);
    gold.setColorAt(0, QColor(255, 250, 200));
    gold.setColorAt(0.45, QColor(255, 210, 70));
    gold.setColorAt(0.55, QColor(226, 160, 30));
    gold.setColorAt(1, QColor(255, 226, 120));
    p.setPen(QPen(QColor(70, 36, 8), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(gold);
    p.drawPath(title);
    p.setPen(QPen(QColor(255, 255, 230, 120), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(title.translated(-0.6, -0.6));

    // A small crown above the name.
    QPainterPath crown;
    crown.moveTo(168, 22);
    crown.lineTo(167, 12);
    crown.lineTo(173, 17);
    crown.lineTo(180, 8);
    crown.lineTo(187, 17);
    crown.lineTo(193, 12);
    crown.lineTo(192, 22);
    crown.closeSubpath();
    p.setPen(QPen(QColor(70, 36, 8), 1.2));
    p.setBrush(gold);
    p.drawPath(crown);

    // Version.
    Caption(p, scale, QRectF(0, 96, 360, 20), Font("Liberation Serif", Px(15 * scale), true, true),
            QColor(255, 240, 210), QStringLiteral("Version 1.0"));

    // Credits on a dark band at the bottom.
    QLinearGradient band(0, 222, 0, 280);
    band.setColorAt(0, QColor(0, 0, 0, 0));
    band.setColorAt(0.25, QColor(0, 0, 0, 150));
    band.setColorAt(1, QColor(0, 0, 0, 190));
    p.fillRect(QRectF(0, 218, 360, 62), band);
    // Then how to start: alone against the computer or two at one keyboard.
    Caption(p, scale, QRectF(0, 224, 360, 14), Font("Liberation Sans", Px(12 * scale), true),
            QColor(255, 255, 255), QStringLiteral("A game by the Turrion developers"));
    Caption(p, scale, QRectF(0, 238, 360, 13), Font("Liberation Sans", Px(10 * scale), false),
            QColor(210, 220, 240),
            QStringLiteral("Against the computer (Easy, Normal, Hard), hot-seat or NetPlay"));
    Caption(p, scale, QRectF(0, 251, 360, 13), Font("Liberation Sans", Px(10 * scale), true),
            QColor(255, 214, 90), QStringLiteral("Alone: Ctrl+B to play Blue, Ctrl+R to play Red"));
    Caption(p, scale, QRectF(0, 264, 360, 13), Font("Liberation Sans", Px(10 * scale), true),
            QColor(255, 214, 90), QStringLiteral("Two players: Ctrl+N (Game > New > Two Player Game)"));
    return img;
}
// Window icon: a shield parted blue and red under a golden crown.
// Drawn on a 64-unit square; painted at up to four times the size and
// reduced, like the figures, without going past 1024 pixels for big icons.
QImage PaintIcon(int pixels)
{
    const int factor = std::clamp(1024 / pixels, 1, 4);
    QImage big(pixels * factor, pixels * factor, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(pixels * factor / 64.0, pixels * factor / 64.0);
        QPainterPath shield;
        shield.moveTo(8, 20);
        shield.lineTo(56, 20);
        shield.lineTo(56, 38);
        shield.cubicTo(56, 50, 44, 58, 32, 63);
        shield.cubicTo(20, 58, 8, 50, 8, 38);
        shield.closeSubpath();
        p.setPen(Qt::NoPen);
        p.save();
        p.setClipPath(shield);
        QLinearGradient bg(8, 0, 32, 0);
        bg.setColorAt(0, kBlue.light);
        bg.setColorAt(1, kBlue.base);
        p.fillRect(QRectF(0, 0, 32, 64), bg);
        QLinearGradient rg(32, 0, 56, 0);
        rg.setColorAt(0, kRed.base);
        rg.setColorAt(1, kRed.dark);
        p.fillRect(QRectF(32, 0, 32, 64), rg);
        // A river down the middle, as on the board.
        p.fillRect(QRectF(29.5, 0, 5, 64), QColor(70, 140, 220));
        p.fillRect(QRectF(29.5, 0, 1, 64), QColor(220, 236, 250));
        p.restore();
        p.setPen(QPen(QColor(120, 76, 10), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shield);
        p.setPen(QPen(kGold, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shield);
        // Cannonball on the shield.
        QRadialGradient ball(29, 37, 9);
        ball.setColorAt(0, QColor(170, 170, 180));
        ball.setColorAt(1, QColor(24, 24, 30));
        p.setBrush(ball);
        p.setPen(QPen(QColor(16, 16, 20), 1.0));
        Ellipse(p, 32, 40, 7.5, 7.5);
        // Crown.
        QPainterPath crown;
        crown.moveTo(14, 22);
        crown.lineTo(12, 5);
        crown.lineTo(22, 13);
        crown.lineTo(32, 1.5);
        crown.lineTo(42, 13);
        crown.lineTo(52, 5);
        crown.lineTo(50, 22);
        crown.closeSubpath();
        QLinearGradient gold(0, 2, 0, 22);
        gold.setColorAt(0, QColor(255, 244, 170));
        gold.setColorAt(0.6, kGold);
        gold.setColorAt(1, kGoldDark);
        p.setPen(QPen(QColor(110, 64, 8), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(gold);
        p.drawPath(crown);
        p.setPen(QPen(QColor(110, 64, 8), 0.8));
        p.setBrush(kBlue.gem);
        Ellipse(p, 22, 18, 2.2, 2.2);
        p.setBrush(kRed.gem);
        Ellipse(p, 42, 18, 2.2, 2.2);
        p.setBrush(QColor(255, 255, 255));
        Ellipse(p, 32, 17.5, 2.4, 2.4);
    }
    if (factor > 1)
        big = big.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return big.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int ClampScale(int scale) { return std::clamp(scale, kMinScale, kMaxScale); }

double ClampScale(double scale)
{
    if (!(scale >= kMinScale)) // also NaN
        return kMinScale;
    return std::min<double>(std::round(scale * kScaleSteps) / kScaleSteps, kMaxScale);
}

QSize BaseSize(Sheet sheet)
{
    switch (sheet) {
    case Sheet::Title:
    case Sheet::Background: return QSize(9 * kCell, 7 * kCell);
    case Sheet::King:
    case Sheet::Wizard:
    case Sheet::Builder:
    case Sheet::Wall:
    case Sheet::Fire: return QSize(3 * kCell, kCell);
    case Sheet::Cannon: return QSize(4 * kCell, kCell);
    case Sheet::CannonBall: return QSize(4 * kCell, 2 * kCell);
    case Sheet::Selector: return QSize(2 * kCell, kCell);
    case Sheet::Moves: return QSize(kCell, 2 * kCell);
    case Sheet::Numbers: return QSize(10 * 20, kCell);
    case Sheet::Grass: return QSize(kCell, kCell);
    }
    return QSize();
}

const char* Name(Sheet sheet)
{
    switch (sheet) {
    case Sheet::Title: return "title";
    case Sheet::Background: return "background";
    case Sheet::King: return "king";
    case Sheet::Wizard: return "wizard";
    case Sheet::Builder: return "builder";
    case Sheet::Wall: return "wall";
    case Sheet::Fire: return "fire";
    case Sheet::Cannon: return "cannon";
    case Sheet::CannonBall: return "cannonball";
    case Sheet::Selector: return "selector";
    case Sheet::Moves: return "moves";
    case Sheet::Numbers: return "numbers";
    case Sheet::Grass: return "grass";
    }
    return "";
}

QImage Paint(Sheet sheet, double scale)
{
    scale = ClampScale(scale);
    switch (sheet) {
    case Sheet::Title: return Title(scale);
    case Sheet::Background: return Background(scale);
    case Sheet::King: return PieceSheet(PaintKing, true, kOutline, kOutline, scale);
    case Sheet::Wizard: return PieceSheet(PaintWizard, true, kOutline, kOutline, scale);
    case Sheet::Builder: return PieceSheet(PaintBuilder, true, kOutline, kOutline, scale);
    case Sheet::Wall: return PieceSheet(PaintWall, true, kOutline, kOutline, scale);
    // Flames are their own outline: the edge takes the outermost flame colour.
    case Sheet::Fire: return PieceSheet(PaintFire, false, kBlue.flame[0], kRed.flame[0], scale);
    case Sheet::Cannon: return CannonSheet(scale);
    case Sheet::CannonBall: return CannonballSheet(scale);
    case Sheet::Selector: return SelectorSheet(scale);
    case Sheet::Moves: return MovesPanel(scale);
    case Sheet::Numbers: return NumbersSheet(scale);
    case Sheet::Grass: return GrassTile(scale);
    }
    return QImage();
}

QImage Icon(int pixels)
{
    return pixels < 1 ? QImage() : PaintIcon(pixels);
}

} // namespace Art
