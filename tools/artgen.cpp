// Turrion art generator.
//
// Paints every picture the game shows (board, title, sprite sheets, digits,
// icon) with QPainter and writes them as PNG files into one folder:
//
//     artgen [output-folder]        (default: "assets")
//
// Run it headless with QT_QPA_PLATFORM=offscreen. The output is fully
// deterministic: all "random" detail comes from a fixed-seed generator.
//
// Masked sprites follow the board's drawing rule: the target is first ANDed
// with the mask, then the sprite frame is ORed on. So a mask is black exactly
// where the figure is and white elsewhere, and a colour frame is pure black
// exactly where its mask is white. Figures never use pure black themselves
// (the darkest figure colour is 0x101010), so the figure area and the black
// surround can always be told apart.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
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
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCell = 40;      // board cell and sprite frame size in pixels
constexpr int kSuper = 4;      // figures are painted at 4x and then reduced
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

// Paints one figure at kSuper times the frame size in frame coordinates
// (0..40) and reduces it, so that small details get smooth edges.
QImage RenderFigure(const FigurePainter& paint, const Team& team, bool mirror)
{
    QImage big(kCell * kSuper, kCell * kSuper, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        if (mirror) {
            p.translate(big.width(), 0);
            p.scale(-1, 1);
        }
        p.scale(kSuper, kSuper);
        paint(p, team);
    }
    return big.scaled(kCell, kCell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

using Coverage = std::vector<std::uint8_t>;  // kCell * kCell, 1 = figure

Coverage Cover(const std::vector<QImage>& figures)
{
    Coverage cov(kCell * kCell, 0);
    for (const QImage& fig : figures)
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                if (qAlpha(fig.pixel(x, y)) >= 112)
                    cov[y * kCell + x] = 1;
    return cov;
}

// One pixel of outline around the figure (4-neighbourhood), so that every
// piece stands out crisply on grass, sand or water alike.
Coverage Dilate(const Coverage& cov)
{
    Coverage out = cov;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            if (cov[y * kCell + x])
                continue;
            const bool near = (x > 0 && cov[y * kCell + x - 1]) ||
                              (x < kCell - 1 && cov[y * kCell + x + 1]) ||
                              (y > 0 && cov[(y - 1) * kCell + x]) ||
                              (y < kCell - 1 && cov[(y + 1) * kCell + x]);
            if (near)
                out[y * kCell + x] = 2;
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
    QImage out(kCell, kCell, QImage::Format_RGB32);
    out.fill(Qt::black);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int c = cov[y * kCell + x];
            if (!c)
                continue;
            const QRgb px = fig.pixel(x, y);
            const double a = (c == 1) ? qAlpha(px) / 255.0 : 0.0;
            const int r = int(std::lround(qRed(px) * a + edge.red() * (1 - a)));
            const int g = int(std::lround(qGreen(px) * a + edge.green() * (1 - a)));
            const int b = int(std::lround(qBlue(px) * a + edge.blue() * (1 - a)));
            out.setPixel(x, y, FigurePixel(r, g, b));
        }
    return out;
}

QImage MaskFrame(const Coverage& cov)
{
    QImage out(kCell, kCell, QImage::Format_RGB32);
    out.fill(Qt::white);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            if (cov[y * kCell + x])
                out.setPixel(x, y, qRgb(0, 0, 0));
    return out;
}

// Sheet of 120 x 40: Blue frame, Red frame, one shared mask.
QImage PieceSheet(const FigurePainter& paint, bool outline, const QColor& blueEdge,
                  const QColor& redEdge)
{
    const QImage blue = RenderFigure(paint, kBlue, false);
    const QImage red = RenderFigure(paint, kRed, false);
    Coverage cov = Cover({blue, red});
    if (outline)
        cov = Dilate(cov);
    QImage sheet(3 * kCell, kCell, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.drawImage(0, 0, ComposeFrame(blue, cov, blueEdge));
    p.drawImage(kCell, 0, ComposeFrame(red, cov, redEdge));
    p.drawImage(2 * kCell, 0, MaskFrame(cov));
    return sheet;
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

void PaintSmith(QPainter& p, const Team& t)
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
    // on whole pixels so the brickwork stays crisp at 40 x 40.
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
QImage CannonSheet()
{
    const QImage blue = RenderFigure(PaintCannon, kBlue, false);
    const QImage red = RenderFigure(PaintCannon, kRed, true);
    const Coverage blueCov = Dilate(Cover({blue}));
    const Coverage redCov = Dilate(Cover({red}));
    QImage sheet(4 * kCell, kCell, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.drawImage(0, 0, ComposeFrame(blue, blueCov, kOutline));
    p.drawImage(kCell, 0, ComposeFrame(red, redCov, kOutline));
    p.drawImage(2 * kCell, 0, MaskFrame(blueCov));
    p.drawImage(3 * kCell, 0, MaskFrame(redCov));
    return sheet;
}

// ---------------------------------------------------------------------------
// Cannonball frames (drawn with AND: white keeps the board)
// ---------------------------------------------------------------------------

// A frame for a ball moving right. AND drawing cannot blend, so the shadow
// is a stipple of black and white pixels: it darkens grass, sand and water
// alike, where a solid grey would keep only some bits of the board colour.
QImage BallFrame(int frame)
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
    QImage img(kCell, kCell, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QRgb ink = qRgb(0x14, 0x14, 0x18);
    // Ordered (Bayer) dither: dense in the middle, thinning out to the rim.
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9},
                                         {15, 7, 13, 5}};
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const double dx = (x + 0.5 - q.bx) / q.srx, dy = (y + 0.5 - groundY) / q.sry;
            const double d = dx * dx + dy * dy;
            if (d >= 1.0)
                continue;
            const double density = 0.2 + 0.6 * std::sqrt(1.0 - d);
            if ((kBayer[y % 4][x % 4] + 0.5) / 16.0 < density)
                img.setPixel(x, y, ink);
        }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
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

QImage CannonballSheet()
{
    QImage sheet(4 * kCell, 2 * kCell, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int f = 0; f < 4; ++f) {
        const QImage right = BallFrame(f);
        p.drawImage(f * kCell, kCell, right);                  // Blue: moving right
        p.drawImage(f * kCell, 0, right.mirrored(true, false));  // Red: moving left
    }
    return sheet;
}

// ---------------------------------------------------------------------------
// Selector, Moves panel, digits (OR-drawn parts keep a pure black ground)
// ---------------------------------------------------------------------------

QImage SelectorSheet()
{
    QImage sheet(2 * kCell, kCell, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QImage mask(kCell, kCell, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter p(&sheet);
    QPainter m(&mask);
    const int len = 12, thick = 3;
    auto corner = [&](int x, int y, int dx, int dy) {
        // Outline, then the yellow bars, inset one pixel from the cell edge.
        auto bar = [&](int x0, int y0, int w, int h) {
            QRect outer(x0 - 1, y0 - 1, w + 2, h + 2);
            p.fillRect(outer, QColor(0x14, 0x12, 0x10));
            m.fillRect(outer, Qt::black);
        };
        const int hx = dx > 0 ? x : x - len + 1;
        const int vy = dy > 0 ? y : y - len + 1;
        const int hy = dy > 0 ? y : y - thick + 1;
        const int vx = dx > 0 ? x : x - thick + 1;
        bar(hx, hy, len, thick);
        bar(vx, vy, thick, len);
        QLinearGradient g(0, 0, kCell, kCell);
        g.setColorAt(0, QColor(255, 246, 120));
        g.setColorAt(1, QColor(255, 196, 20));
        p.fillRect(QRect(hx, hy, len, thick), g);
        p.fillRect(QRect(vx, vy, thick, len), g);
    };
    corner(2, 2, 1, 1);
    corner(37, 2, -1, 1);
    corner(2, 37, 1, -1);
    corner(37, 37, -1, -1);
    m.end();
    p.drawImage(kCell, 0, mask);
    return sheet;
}

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
QPainterPath DigitPath(int d)
{
    const QFont f = Font("Liberation Sans", 40, true);
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

QImage NumbersSheet()
{
    QImage sheet(10 * 20, kCell, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    for (int d = 0; d < 10; ++d) {
        p.save();
        p.setClipRect(QRect(d * 20 + 1, 1, 18, 38));
        p.translate(d * 20, 0);
        QLinearGradient g(0, 8, 0, 33);
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(1, QColor(228, 232, 240));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(DigitPath(d));
        p.restore();
    }
    return sheet;
}

QImage MovesPanel()
{
    QImage img(kCell, 2 * kCell, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Rounded frame around the whole panel, with a divider under the label.
    const QColor frame(204, 204, 196);
    p.setPen(QPen(frame, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.0, 8.5, 38.0, 70.5), 4.0, 4.0);
    p.drawLine(QPointF(4.0, 38.0), QPointF(36.0, 38.0));

    // "Moves" label.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 238, 150));
    p.drawPath(FittedText(QStringLiteral("Moves"), Font("Liberation Sans", 24, true),
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
    for (int y = 40; y < 77; ++y)
        for (int x = 3; x < 37; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

// ---------------------------------------------------------------------------
// Board background and grass
// ---------------------------------------------------------------------------

enum class Ground { Grass, Sand };

// Paints the cell (col, row) of the board into img at (ox, oy). Each cell
// has its own seed, so the board shows varied grass; grass.png is one of
// these cells exactly.
void PaintGroundCell(QImage& img, int ox, int oy, int col, int row, Ground kind)
{
    Rng rng(0xC0FFEEu + std::uint32_t(col) * 7919u + std::uint32_t(row) * 104729u);
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
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int n = rng.Range(-6, 6);
            img.setPixel(ox + x, oy + y,
                         qRgb(Clamp255(base.red() + n), Clamp255(base.green() + n),
                              Clamp255(base.blue() + n / 2)));
        }
    if (kind == Ground::Grass) {
        // Short blades, two or three pixels tall.
        for (int i = 0; i < 60; ++i) {
            const int x = rng.Range(2, kCell - 3);
            const int y = rng.Range(3, kCell - 3);
            const QColor c = (i % 3) ? bladeDark : bladeLight;
            const int h = rng.Range(2, 3);
            const int lean = rng.Range(-1, 1);
            for (int k = 0; k < h; ++k)
                img.setPixel(ox + x + (k == h - 1 ? lean : 0), oy + y - k, c.rgb());
        }
        // The odd flower.
        if (rng.Range(0, 3) == 0) {
            const int x = rng.Range(6, 33), y = rng.Range(6, 33);
            const QColor petal = rng.Range(0, 1) ? QColor(250, 250, 240) : QColor(250, 220, 90);
            img.setPixel(ox + x - 1, oy + y, petal.rgb());
            img.setPixel(ox + x + 1, oy + y, petal.rgb());
            img.setPixel(ox + x, oy + y - 1, petal.rgb());
            img.setPixel(ox + x, oy + y + 1, petal.rgb());
            img.setPixel(ox + x, oy + y, qRgb(240, 160, 40));
        }
    } else {
        // Pebbles and ripples in the sand.
        for (int i = 0; i < 14; ++i) {
            const int x = rng.Range(2, kCell - 4);
            const int y = rng.Range(2, kCell - 3);
            const QColor c = (i % 2) ? bladeDark : QColor(160, 150, 136);
            img.setPixel(ox + x, oy + y, c.rgb());
            img.setPixel(ox + x + 1, oy + y, bladeLight.rgb());
        }
        for (int i = 0; i < 5; ++i) {
            const int x = rng.Range(3, kCell - 10);
            const int y = rng.Range(4, kCell - 5);
            for (int k = 0; k < 6; ++k)
                img.setPixel(ox + x + k, oy + y + ((k == 0 || k == 5) ? 0 : -1 + (k > 1 && k < 4)),
                             bladeDark.rgb());
        }
    }
    // Bevel: light top and left edge, dark right and bottom edge; neighbouring
    // cells together make the board's grid lines.
    for (int i = 0; i < kCell; ++i) {
        img.setPixel(ox + i, oy, ridge.rgb());
        img.setPixel(ox, oy + i, ridge.rgb());
    }
    for (int i = 0; i < kCell; ++i) {
        img.setPixel(ox + i, oy + kCell - 1, groove.rgb());
        img.setPixel(ox + kCell - 1, oy + i, groove.rgb());
    }
}

void PaintRiver(QImage& img)
{
    const int x0 = 4 * kCell, x1 = 5 * kCell;  // 160 .. 199
    Rng rng(777);
    for (int y = 0; y < img.height(); ++y)
        for (int x = x0; x < x1; ++x) {
            const double u = (x - x0 + 0.5) / kCell;          // 0 .. 1 across
            const double depth = std::sin(u * M_PI);           // deepest in the middle
            const QColor shallow(58, 120, 176), deep(28, 74, 150);
            QColor c = Mix(shallow, deep, depth);
            const int n = rng.Range(-3, 3);
            c = Shift(c, n, n, n);
            img.setPixel(x, y, c.rgb());
        }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRect(x0, 0, kCell, img.height()));
    // Gentle ripples.
    for (int i = 0; i < 36; ++i) {
        const double x = x0 + 6 + rng.Unit() * 26;
        const double y = 3 + rng.Unit() * (img.height() - 6);
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
        const bool foamL = ((y / 3) + (y / 7)) % 3 != 0;
        const bool foamR = ((y / 4) + (y / 5)) % 3 != 1;
        img.setPixel(x0, y, foamL ? qRgb(214, 232, 240) : qRgb(120, 170, 200));
        img.setPixel(x0 + 1, y, qRgb(96, 150, 196));
        img.setPixel(x1 - 1, y, foamR ? qRgb(214, 232, 240) : qRgb(120, 170, 200));
        img.setPixel(x1 - 2, y, qRgb(96, 150, 196));
    }
}

// Wet sand darkens towards the water.
void WetEdge(QImage& img, int x, int dir)
{
    for (int y = 0; y < img.height(); ++y)
        for (int k = 0; k < 5; ++k) {
            const QColor c(img.pixel(x + dir * k, y));
            img.setPixel(x + dir * k, y, Mix(c, QColor(150, 128, 84), 0.55 - 0.11 * k).rgb());
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

QImage Background()
{
    QImage img(9 * kCell, 7 * kCell, QImage::Format_RGB32);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 9; ++col) {
            if (col == 4)
                continue;
            const Ground g = (col == 3 || col == 5) ? Ground::Sand : Ground::Grass;
            PaintGroundCell(img, col * kCell, row * kCell, col, row, g);
        }
    PaintRiver(img);
    WetEdge(img, 4 * kCell - 1, -1);
    WetEdge(img, 5 * kCell, +1);
    QPainter p(&img);
    PaintPortal(p, 0 * kCell + 20, 3 * kCell + 20, kBlue);
    PaintPortal(p, 8 * kCell + 20, 3 * kCell + 20, kRed);
    return img;
}

QImage GrassTile()
{
    QImage img(kCell, kCell, QImage::Format_RGB32);
    PaintGroundCell(img, 0, 0, 2, 0, Ground::Grass);
    return img;
}

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

QImage Title()
{
    QImage img(9 * kCell, 7 * kCell, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Dusk sky.
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(14, 18, 52));
    sky.setColorAt(0.45, QColor(58, 40, 100));
    sky.setColorAt(0.8, QColor(196, 86, 88));
    sky.setColorAt(1, QColor(250, 170, 90));
    p.fillRect(img.rect(), sky);

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
                                          Font("Liberation Serif", 96, true),
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
    p.setPen(QColor(255, 240, 210));
    p.setFont(Font("Liberation Serif", 15, true, true));
    p.drawText(QRectF(0, 96, 360, 20), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Version 1.0"));

    // Credits on a dark band at the bottom.
    QLinearGradient band(0, 222, 0, 280);
    band.setColorAt(0, QColor(0, 0, 0, 0));
    band.setColorAt(0.25, QColor(0, 0, 0, 150));
    band.setColorAt(1, QColor(0, 0, 0, 190));
    p.fillRect(QRectF(0, 218, 360, 62), band);
    p.setFont(Font("Liberation Sans", 12, true));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(0, 228, 360, 16), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("A game by the Turrion developers"));
    p.setFont(Font("Liberation Sans", 11, false));
    p.setPen(QColor(210, 220, 240));
    p.drawText(QRectF(0, 244, 360, 14), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Two players - hot-seat or NetPlay"));
    p.setFont(Font("Liberation Sans", 11, true));
    p.setPen(QColor(255, 214, 90));
    p.drawText(QRectF(0, 260, 360, 14), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Game > New > Two Player Game to start (Ctrl+N)"));
    return img;
}

// Window icon: a shield parted blue and red under a golden crown.
QImage Icon()
{
    constexpr int size = 64;
    QImage big(size * kSuper, size * kSuper, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kSuper, kSuper);
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
    return big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

bool Save(const QImage& img, const QDir& dir, const char* name, int w, int h)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (img.width() != w || img.height() != h) {
        std::fprintf(stderr, "artgen: %s has the wrong size %dx%d\n", name, img.width(),
                     img.height());
        return false;
    }
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), w, h);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets");
    QDir dir(outDir);
    if (!dir.exists() && !QDir().mkpath(outDir)) {
        std::fprintf(stderr, "artgen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const QFontInfo serif(Font("Liberation Serif", 20, true));
    const QFontInfo sans(Font("Liberation Sans", 20, true));
    if (serif.family() != QLatin1String("Liberation Serif") ||
        sans.family() != QLatin1String("Liberation Sans"))
        std::fprintf(stderr, "artgen: warning: fonts substituted (%s, %s)\n",
                     qPrintable(serif.family()), qPrintable(sans.family()));

    const QColor edge = kOutline;
    bool ok = true;
    ok &= Save(Background(), dir, "background.png", 360, 280);
    ok &= Save(Title(), dir, "title.png", 360, 280);
    ok &= Save(PieceSheet(PaintKing, true, edge, edge), dir, "king.png", 120, 40);
    ok &= Save(PieceSheet(PaintWizard, true, edge, edge), dir, "wizard.png", 120, 40);
    ok &= Save(PieceSheet(PaintSmith, true, edge, edge), dir, "smith.png", 120, 40);
    ok &= Save(PieceSheet(PaintWall, true, edge, edge), dir, "wall.png", 120, 40);
    ok &= Save(PieceSheet(PaintFire, false, kBlue.flame[0], kRed.flame[0]), dir, "fire.png",
               120, 40);
    ok &= Save(CannonSheet(), dir, "cannon.png", 160, 40);
    ok &= Save(CannonballSheet(), dir, "cannonball.png", 160, 80);
    ok &= Save(SelectorSheet(), dir, "selector.png", 80, 40);
    ok &= Save(MovesPanel(), dir, "moves.png", 40, 80);
    ok &= Save(NumbersSheet(), dir, "numbers.png", 200, 40);
    ok &= Save(GrassTile(), dir, "grass.png", 40, 40);
    ok &= Save(Icon(), dir, "icon.png", 64, 64);
    return ok ? 0 : 1;
}
