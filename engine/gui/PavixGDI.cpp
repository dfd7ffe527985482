#include "engine/gui/PavixGDI.h"

#include "engine/PavixGames.h"
#include "engine/gui/PictureBox.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QPointer>
#include <algorithm>
#include <cstring>

namespace PavixGDI {

namespace {

GraphicsState g_graphics;

// Guards beside the public slot lists: a picture box may be destroyed while
// its number or viewport is still registered, and its borrowed image must
// then stop being drawn to.
std::vector<QPointer<PictureBox>> g_picBoxes;      // by picture number, assigned pictures
std::vector<QPointer<PictureBox>> g_viewportBoxes; // by viewport number

// Larger workspaces are refused like a failed allocation: the game needs a
// few hundred pixels across, and a wild size must not exhaust memory.
constexpr int kMaxSide = 32767;
constexpr qint64 kMaxPixels = qint64(1) << 26;

constexpr std::uint32_t kOpaque = 0xFF000000u;

void Log(int minLevel, const QString& text)
{
    if (PavixGames::LogLevel() >= minLevel)
        PavixGames::WriteLog(PavixGames::Engine().EngineLog, text, true);
}

bool ValidPic(int n)
{
    return n >= 0 && std::size_t(n) < g_graphics.Pics.size();
}

QString HandleText(const void* pointer)
{
    return QString::number(quint32(quintptr(pointer)));
}

QString BitmapText(const QImage* image)
{
    return QString::number(image ? quint32(quint64(image->cacheKey()) >> 32) : 0u);
}

void LogHandles(const PicSlot& slot)
{
    Log(2, QStringLiteral("     DC=") + HandleText(slot.hDC) + QStringLiteral(", hBITMAP=") +
               BitmapText(slot.hDC));
}

// ---- Pixel rows ----------------------------------------------------------
// Four pixels at a time with the compiler's vector extension; the memcpy
// loads and stores keep it free of alignment and aliasing assumptions and
// compile to plain vector moves.

typedef std::uint32_t Quad __attribute__((vector_size(16)));

// dst = op(dst, src) for every pixel, kept opaque.
template <typename Op>
void RowCombine(std::uint32_t* dst, const std::uint32_t* src, int count, Op op)
{
    const Quad opaque = {kOpaque, kOpaque, kOpaque, kOpaque};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Quad d, s;
        std::memcpy(&d, dst + i, sizeof d);
        std::memcpy(&s, src + i, sizeof s);
        d = op(d, s) | opaque;
        std::memcpy(dst + i, &d, sizeof d);
    }
    for (; i < count; ++i)
        dst[i] = op(dst[i], src[i]) | kOpaque;
}

void RowAnd(std::uint32_t* dst, const std::uint32_t* src, int count)
{
    RowCombine(dst, src, count, [](auto d, auto s) { return d & s; });
}

void RowOr(std::uint32_t* dst, const std::uint32_t* src, int count)
{
    RowCombine(dst, src, count, [](auto d, auto s) { return d | s; });
}

void RowCopy(std::uint32_t* dst, const std::uint32_t* src, int count)
{
    std::memcpy(dst, src, std::size_t(count) * sizeof(std::uint32_t));
}

// Clips one axis of a transfer of `length` pixels from source offset `from`
// to destination offset `to` against both extents. Returns the first and
// one-past-last step along the transfer that lie inside both surfaces.
bool ClipAxis(qint64 from, qint64 to, qint64 length, qint64 srcExtent, qint64 dstExtent,
              qint64& first, qint64& last)
{
    first = std::max<qint64>({0, -from, -to});
    last = std::min<qint64>({length, srcExtent - from, dstExtent - to});
    return first < last;
}

// The part of a width x height transfer that lies inside both surfaces, as
// offsets from the rectangle's corner: columns [x0, x1), rows [y0, y1).
struct Span {
    qint64 x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool operator==(const Span&) const = default;
};

bool ClipTransfer(const QImage& src, int srcX, int srcY, int width, int height, const QImage& dst,
                  int dstX, int dstY, Span& span)
{
    return width > 0 && height > 0 &&
           ClipAxis(srcX, dstX, width, src.width(), dst.width(), span.x0, span.x1) &&
           ClipAxis(srcY, dstY, height, src.height(), dst.height(), span.y0, span.y1);
}

void RowMasked(std::uint32_t* dst, const std::uint32_t* mask, const std::uint32_t* src, int count)
{
    const Quad opaque = {kOpaque, kOpaque, kOpaque, kOpaque};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Quad d, m, s;
        std::memcpy(&d, dst + i, sizeof d);
        std::memcpy(&m, mask + i, sizeof m);
        std::memcpy(&s, src + i, sizeof s);
        d = (d & m) | s | opaque;
        std::memcpy(dst + i, &d, sizeof d);
    }
    for (; i < count; ++i)
        dst[i] = (dst[i] & mask[i]) | src[i] | kOpaque;
}

void Transfer(const QImage& src, int srcX, int srcY, int width, int height, QImage& dst, int dstX,
              int dstY, std::uint32_t rop)
{
    Span span;
    if (!ClipTransfer(src, srcX, srcY, width, height, dst, dstX, dstY, span))
        return;
    const auto [x0, x1, y0, y1] = span;

    // bits() first: it may detach the destination, after which the source's
    // bytes are read from wherever they now live.
    uchar* dstBase = dst.bits();
    const uchar* srcBase = src.constBits();
    const qsizetype dstStride = dst.bytesPerLine();
    const qsizetype srcStride = src.bytesPerLine();
    const int count = int(x1 - x0);

    void (*row)(std::uint32_t*, const std::uint32_t*, int) =
        rop == SRCAND ? RowAnd : rop == SRCPAINT ? RowOr : RowCopy;
    for (qint64 y = y0; y < y1; ++y) {
        auto* d = reinterpret_cast<std::uint32_t*>(dstBase + (dstY + y) * dstStride) + (dstX + x0);
        auto* s = reinterpret_cast<const std::uint32_t*>(srcBase + (srcY + y) * srcStride) +
                  (srcX + x0);
        row(d, s, count);
    }
}

// Copies or nearest-neighbour scales `from` into `to`, reusing the target's
// memory when it already has the right size.
void CopyScaled(const QImage& from, QImage& to, int width, int height)
{
    if (to.size() != QSize(width, height) || to.format() != QImage::Format_RGB32)
        to = QImage(width, height, QImage::Format_RGB32);
    if (to.isNull())
        return;
    uchar* toBase = to.bits();
    const qsizetype toStride = to.bytesPerLine();
    const uchar* fromBase = from.constBits();
    const qsizetype fromStride = from.bytesPerLine();

    if (from.size() == to.size()) {
        for (int y = 0; y < height; ++y)
            std::memcpy(toBase + y * toStride, fromBase + y * fromStride,
                        std::size_t(width) * sizeof(std::uint32_t));
        return;
    }
    const qint64 fromWidth = from.width();
    const qint64 fromHeight = from.height();
    std::vector<int> column(std::size_t(width), 0);
    for (int x = 0; x < width; ++x)
        column[std::size_t(x)] = int(qint64(x) * fromWidth / width);
    for (int y = 0; y < height; ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(
            fromBase + (qint64(y) * fromHeight / height) * fromStride);
        auto* d = reinterpret_cast<std::uint32_t*>(toBase + y * toStride);
        for (int x = 0; x < width; ++x)
            d[x] = s[column[std::size_t(x)]];
    }
}

} // namespace

GraphicsState& Graphics()
{
    return g_graphics;
}

int NewViewport(PictureBox* box, int width, int height, double pixelsPerGamePixel)
{
    const QString name = box ? box->ControlName() : QString();
    Log(1, QStringLiteral(">> New Viewport Initialized: ") + name + QStringLiteral(" <<"));
    // The log tells the view's size in game pixels, whatever the zoom and the
    // screen's density make of it.
    const double scale = pixelsPerGamePixel >= 1 ? pixelsPerGamePixel : 1;
    Log(1, QStringLiteral("     Backbuffer set to ") + QString::number(qRound(width / scale)) +
               QLatin1Char('x') + QString::number(qRound(height / scale)));

    // Registered before its back buffer exists, so the first viewport is
    // already known when the buffer is created.
    const int v = ++g_graphics.ViewportCount;
    const std::size_t size = std::size_t(v) + 1;
    if (g_graphics.Viewports.size() < size)
        g_graphics.Viewports.resize(size, nullptr);
    if (g_graphics.ViewportPicNums.size() < size)
        g_graphics.ViewportPicNums.resize(size, 0);
    if (g_viewportBoxes.size() < size)
        g_viewportBoxes.resize(size);
    g_graphics.Viewports[v] = box;
    g_viewportBoxes[v] = box;

    const int pic = NewPicNum();
    g_graphics.ViewportPicNums[v] = pic;
    CreateWorkspace(pic, width, height);
    return v;
}

int NewPicNum()
{
    const int n = g_graphics.PicCount++;
    if (g_graphics.Pics.size() < std::size_t(g_graphics.PicCount))
        g_graphics.Pics.resize(std::size_t(g_graphics.PicCount));
    if (g_picBoxes.size() < std::size_t(g_graphics.PicCount))
        g_picBoxes.resize(std::size_t(g_graphics.PicCount));
    g_graphics.Pics[n].InUse = false;
    Log(2, QStringLiteral("Handed out new PicNum: ") + QString::number(n));
    return n;
}

void CreateWorkspace(int n, int width, int height)
{
    if (!ValidPic(n))
        return;
    Log(2, QStringLiteral("Creating Workspace for Pic #") + QString::number(n) +
               QStringLiteral(": ") + QString::number(width) + QLatin1Char('x') +
               QString::number(height));
    if (g_graphics.Pics[n].InUse)
        ClearPic(n);

    std::unique_ptr<QImage> image;
    if (width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
        qint64(width) * height <= kMaxPixels) {
        image = std::make_unique<QImage>(width, height, QImage::Format_RGB32);
        if (image->isNull())
            image.reset();
    }
    if (!image) {
        Log(1, QStringLiteral("ERROR: Failure to get hBITMAP for workspace"));
        return;
    }
    image->fill(Qt::black);

    PicSlot& slot = g_graphics.Pics[n];
    slot.hBitmap = std::move(image);
    slot.hDC = slot.hBitmap.get();
    slot.Width = width;
    slot.Height = height;
    slot.InUse = true;
    slot.Cleared = false;
    slot.OwnsDC = true;
    g_picBoxes[n] = nullptr;
    LogHandles(slot);
}

void AssignPic(int n, PictureBox* box)
{
    if (!ValidPic(n) || !box)
        return;
    Log(2, QStringLiteral("Assigning existing Pic (") + QString::number(n) + QStringLiteral("): ") +
               box->ControlName());
    PicSlot& slot = g_graphics.Pics[n];
    slot.Cleared = false;
    slot.InUse = true;
    slot.Width = box->Picture().width();
    slot.Height = box->Picture().height();
    slot.OwnsDC = false;
    slot.hBitmap.reset();
    slot.hDC = &box->Picture();
    g_picBoxes[n] = box;
    LogHandles(slot);
}

void ClearPic(int n)
{
    if (!ValidPic(n))
        return;
    PicSlot& slot = g_graphics.Pics[n];
    // An assigned picture's image belongs to its box; only the slot lets go.
    slot.hBitmap.reset();
    slot.hDC = nullptr;
    slot.InUse = false;
    slot.Cleared = true;
    if (std::size_t(n) < g_picBoxes.size())
        g_picBoxes[n] = nullptr;
    Log(2, QStringLiteral("Cleared PicNum: ") + QString::number(n));
}

QImage* Surface(int n)
{
    if (!ValidPic(n))
        return nullptr;
    PicSlot& slot = g_graphics.Pics[n];
    if (!slot.InUse || !slot.hDC)
        return nullptr;
    if (!slot.OwnsDC && (std::size_t(n) >= g_picBoxes.size() || g_picBoxes[n].isNull()))
        return nullptr;
    QImage* image = slot.hDC;
    if (image->isNull())
        return nullptr;
    // The raster operations work on 32-bit pixels; a picture loaded in any
    // other format is brought to it once, in place.
    if (image->format() != QImage::Format_RGB32) {
        image->convertTo(QImage::Format_RGB32);
        if (image->format() != QImage::Format_RGB32 || image->isNull())
            return nullptr;
    }
    return image;
}

void BlitPic(int src, int srcX, int srcY, int width, int height, int dst, int dstX, int dstY,
             std::uint32_t rop)
{
    if (rop != SRCCOPY && rop != SRCAND && rop != SRCPAINT) {
        Log(1, QStringLiteral("ERROR: Unsupported raster operation"));
        return;
    }
    QImage* from = Surface(src);
    QImage* to = Surface(dst);
    if (!from || !to)
        return;
    if (from == to) {
        // Within one surface the rectangles may overlap; reading from a copy
        // gives the result of a transfer that reads everything first.
        const QImage copy = from->copy();
        Transfer(copy, srcX, srcY, width, height, *to, dstX, dstY, rop);
        return;
    }
    Transfer(*from, srcX, srcY, width, height, *to, dstX, dstY, rop);
}

void BlitMasked(int src, int srcX, int srcY, int width, int height, int mask, int maskX,
                int maskY, int dst, int dstX, int dstY)
{
    // The mask is white where the background shows through and black under
    // the sprite; the sprite itself sits on black, so OR paints it in.
    QImage* sprite = Surface(src);
    QImage* holes = Surface(mask);
    QImage* to = Surface(dst);
    Span spriteSpan, maskSpan;
    if (sprite && holes && to && sprite != to && holes != to &&
        ClipTransfer(*sprite, srcX, srcY, width, height, *to, dstX, dstY, spriteSpan) &&
        ClipTransfer(*holes, maskX, maskY, width, height, *to, dstX, dstY, maskSpan) &&
        spriteSpan == maskSpan) {
        // Both passes cover the same pixels: do them in one sweep over the
        // destination, which halves the memory traffic of a board redraw.
        const auto [x0, x1, y0, y1] = spriteSpan;
        uchar* toBase = to->bits();
        const uchar* spriteBase = sprite->constBits();
        const uchar* maskBase = holes->constBits();
        const qsizetype toStride = to->bytesPerLine();
        const qsizetype spriteStride = sprite->bytesPerLine();
        const qsizetype maskStride = holes->bytesPerLine();
        for (qint64 y = y0; y < y1; ++y) {
            RowMasked(
                reinterpret_cast<std::uint32_t*>(toBase + (dstY + y) * toStride) + (dstX + x0),
                reinterpret_cast<const std::uint32_t*>(maskBase + (maskY + y) * maskStride) +
                    (maskX + x0),
                reinterpret_cast<const std::uint32_t*>(spriteBase + (srcY + y) * spriteStride) +
                    (srcX + x0),
                int(x1 - x0));
        }
        return;
    }
    BlitPic(mask, maskX, maskY, width, height, dst, dstX, dstY, SRCAND);
    BlitPic(src, srcX, srcY, width, height, dst, dstX, dstY, SRCPAINT);
}

void FlipViewport(int viewport)
{
    if (viewport < 1 || std::size_t(viewport) >= g_viewportBoxes.size())
        return;
    PictureBox* box = g_viewportBoxes[viewport].data();
    if (!box)
        return;
    const QImage* back = Surface(ViewportPic(viewport));
    if (!back)
        return;
    // A box of the back buffer's size gets a plain copy; any other size gets
    // the frame stretched to fill it, so a resized view still shows it whole.
    const int width = box->ScaleWidth();
    const int height = box->ScaleHeight();
    if (width > 0 && height > 0 && qint64(width) * height <= kMaxPixels)
        CopyScaled(*back, box->Picture(), width, height);
    box->update();
}

void DrawPicText(int n, const QFont& font, std::uint32_t colour, int x, int y,
                 const QString& text)
{
    QImage* surface = Surface(n);
    if (!surface || text.isEmpty())
        return;
    // Surfaces are measured in game pixels, so a font given in points is
    // sized at the classic 96 dots per inch whatever the screen's density.
    QFont pixelFont = font;
    if (font.pixelSize() <= 0 && font.pointSizeF() > 0)
        pixelFont.setPixelSize(std::max(1, qRound(font.pointSizeF() * 96.0 / 72.0)));

    // The game draws the same few texts again and again: each is laid out
    // once. The cache is bounded, whatever texts come.
    static QHash<QString, QStaticText> laidOut;
    const QString key = pixelFont.key() + QLatin1Char('\n') + text;
    auto it = laidOut.find(key);
    if (it == laidOut.end()) {
        if (laidOut.size() >= 256)
            laidOut.clear();
        QStaticText prepared(text);
        prepared.setTextFormat(Qt::PlainText);
        prepared.setPerformanceHint(QStaticText::AggressiveCaching);
        prepared.prepare(QTransform(), pixelFont);
        it = laidOut.insert(key, prepared);
    }

    QPainter painter(surface);
    painter.setFont(pixelFont);
    painter.setPen(QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
    painter.setBackgroundMode(Qt::TransparentMode);
    // The text's top-left corner at (x, y): its baseline one ascent below.
    painter.drawStaticText(QPoint(x, y), *it);
}

void StopGraphics()
{
    const int count = std::min<int>(g_graphics.PicCount, int(g_graphics.Pics.size()));
    for (int n = count - 1; n >= 0; --n)
        ClearPic(n);
    const int views = std::min<int>(g_graphics.ViewportCount, int(g_graphics.Viewports.size()) - 1);
    for (int v = views; v >= 1; --v)
        g_graphics.Viewports[v] = nullptr;
    g_graphics.Pics.clear();
    g_graphics.Viewports.clear();
    g_graphics.ViewportPicNums.clear();
    g_picBoxes.clear();
    g_viewportBoxes.clear();
    Log(1, QStringLiteral(">> PavixGDI Graphics Engine Shutdown <<"));
}

int ViewportPic(int viewport)
{
    if (viewport < 1 || std::size_t(viewport) >= g_graphics.ViewportPicNums.size())
        return 0;
    return g_graphics.ViewportPicNums[viewport];
}

void ResetForTests()
{
    g_graphics = GraphicsState{};
    g_picBoxes.clear();
    g_viewportBoxes.clear();
}

} // namespace PavixGDI
