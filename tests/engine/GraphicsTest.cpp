// The graphics engine: the three raster operations and the masked blit with
// clipping, the flip and text.
#include "EngineFixture.h"

#include "engine/gui/PictureBox.h"

#include <QFont>
#include <array>
#include <climits>

using namespace PavixGDI;

namespace {

// Every pixel differs from its neighbours, so any misplaced pixel shows.
void PaintPattern(QImage& image, int seed)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 29 + seed) & 255, (y * 31 + seed) & 255, (x * 7 + y * 13 + seed) & 255));
}

int PatternWorkspace(int width, int height, int seed)
{
    const int n = NewPicNum();
    CreateWorkspace(n, width, height), PaintPattern(*Surface(n), seed);
    return n;
}

} // namespace

class GraphicsTest : public EngineFixture {};

TEST_F(GraphicsTest, RasterOperationsCombineEveryBitInsideBothPictures)
{
    // Inside both pictures with rows long enough for the wide inner loop and an odd tail; across
    // every edge; empty; with extreme numbers.
    struct Rect { int sx, sy, w, h, dx, dy; };
    const Rect rects[] = {{2, 1, 13, 3, 5, 2},   {0, 0, 16, 6, -3, -2}, {0, 0, 16, 6, 12, 7},
                          {-2, -1, 9, 4, 1, 1},  {9, 3, 20, 20, 0, 0},  {0, 0, -5, -5, 0, 0},
                          {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN}};
    const int src = PatternWorkspace(16, 6, 0), mask = PatternWorkspace(16, 6, 77);
    const int dst = PatternWorkspace(20, 10, 140);
    const QImage source = Surface(src)->copy(), before = Surface(dst)->copy();
    const std::array<std::uint32_t, 3> rops = {SRCCOPY, SRCAND, SRCPAINT};
    // The masked blit ANDs the mask (read one pixel further left), then ORs the source.
    for (int op = 0; op < 4; ++op)
        for (const Rect& r : rects) {
            *Surface(dst) = before.copy();
            if (op < 3)
                BlitPic(src, r.sx, r.sy, r.w, r.h, dst, r.dx, r.dy, rops[op]);
            else
                BlitMasked(src, r.sx, r.sy, r.w, r.h, mask, r.sx - 1, r.sy, dst, r.dx, r.dy);
            int wrong = 0;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 20; ++x) {
                    const qint64 px = qint64(x) - r.dx, py = qint64(y) - r.dy, fx = px + r.sx, fy = py + r.sy;
                    const bool inRect = px >= 0 && py >= 0 && px < r.w && py < r.h && fy >= 0 && fy < 6;
                    const bool fromSource = inRect && fx >= 0 && fx < 16;
                    const bool fromMask = op == 3 && inRect && fx >= 1 && fx <= 16;
                    const QRgb s = fromSource ? source.pixel(int(fx), int(fy)) : 0, d = before.pixel(x, y);
                    const QRgb m = fromMask ? Surface(mask)->pixel(int(fx - 1), int(fy)) : 0xFFFFFFFFu;
                    const QRgb want = !fromSource && op < 3 ? d : op == 0 ? s : op == 1 ? (d & s) : ((d & m) | s);
                    wrong += Surface(dst)->pixel(x, y) != want;
                }
            EXPECT_EQ(wrong, 0) << "operation " << op << ", rectangle " << &r - rects;
        }
    EXPECT_EQ(*Surface(src), source) << "the source is only read";
}

TEST_F(GraphicsTest, TheLogGivesTheViewportInGamePixelsAtAnyScale)
{
    PavixGames::StartEngine(1);
    PictureBox box(QStringLiteral("picViewPort"));
    for (int scale : {1, 2, 3})
        NewViewport(&box, 360 * scale, 280 * scale, scale);
    PavixGames::StopEngine();
    const QByteArray log = TestSupport::ReadAll(Path("engine.log"));
    EXPECT_EQ(log.count("Backbuffer set to 360x280\r\n"), 3) << log.toStdString();
}

TEST_F(GraphicsTest, OneFlipCopiesTheBackBufferToTheBoxWithNearestPixels)
{
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 360, 280);
    QImage& back = *Surface(ViewportPic(v));
    PaintPattern(back, 0);
    for (const QSize size : {QSize(360, 280), QSize(720, 560), QSize(180, 140)}) {
        box.resize(size);
        FlipViewport(v);
        ASSERT_EQ(box.Picture().size(), size);
        int wrong = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                wrong += box.Picture().pixel(x, y) != back.pixel(x * 360 / size.width(), y * 280 / size.height());
        EXPECT_EQ(wrong, 0) << size.width();
    }
    // The box keeps the frame while the next one is drawn.
    const QImage shown = box.Picture().copy();
    back.fill(Qt::white);
    EXPECT_EQ(box.Picture(), shown);
}

TEST_F(GraphicsTest, TextHasItsTopLeftCornerAtThePointAndTheGivenColour)
{
    const int back = NewPicNum();
    CreateWorkspace(back, 120, 60); // black
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12), font.setBold(true);
    DrawPicText(back, font, RGB(255, 0, 0), 20, 10, QStringLiteral("TTT"));
    int top = INT_MAX, left = INT_MAX, fullRed = 0, otherColour = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (const QRgb p = Surface(back)->pixel(x, y); p != 0xFF000000u)
                top = std::min(top, y), left = std::min(left, x),
                otherColour += (p & 0xFFFF) != 0, fullRed += qRed(p) == 255;
    EXPECT_TRUE(otherColour == 0 && fullRed > 0) << otherColour << " pixels with green or blue";
    // The capital's top sits just below the line's top.
    EXPECT_TRUE(top >= 10 && top <= 14 && left >= 20 && left <= 23) << left << "," << top;
}
