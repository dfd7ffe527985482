// The graphics engine: picture and viewport numbers, its log lines, the three
// raster operations with masks and clipping, the flip and text.
#include "EngineFixture.h"

#include "engine/PictureBox.h"

#include <QFont>
#include <climits>
#include <functional>

using namespace PavixGDI;
using PavixGames::StartEngine;

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

int MakeWorkspace(int width, int height, QRgb colour)
{
    const int n = NewPicNum();
    CreateWorkspace(n, width, height);
    if (QImage* surface = Surface(n))
        surface->fill(colour);
    return n;
}

QRgb At(int n, int x, int y) { return Surface(n)->pixel(x, y); }

// Every pixel differs from its neighbours, so any misplaced pixel shows.
void PaintPattern(int n)
{
    QImage* image = Surface(n);
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            image->setPixel(x, y, qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255));
}

} // namespace

class GraphicsTest : public EngineFixture {
protected:
    // The log lines after the seven opening lines of a start; "DC" stands for
    // a line naming a device context and bitmap.
    void ExpectLines(const QStringList& expected) const
    {
        const QStringList lines = ReadLines(EngineLogPath()).mid(7);
        ASSERT_EQ(lines.size(), expected.size()) << lines.join(QLatin1Char('|')).toStdString();
        static const QRegularExpression dc(QStringLiteral("^ ...      DC=[0-9]+, hBITMAP=[0-9]+$"));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (expected[i] == QLatin1String("DC"))
                EXPECT_TRUE(dc.match(lines[i].mid(lines[i].indexOf(QStringLiteral(" ... ")))).hasMatch())
                    << lines[i].toStdString();
            else
                EXPECT_TRUE(IsStamped(lines[i], expected[i])) << i << ": " << lines[i].toStdString();
        }
    }
};

TEST_F(GraphicsTest, PictureAndViewportNumbers)
{
    PictureBox box(QStringLiteral("picViewPort"));
    EXPECT_EQ(NewViewport(&box, 360, 280), 1);
    EXPECT_EQ(ViewportPic(1), 0);
    ASSERT_NE(Surface(0), nullptr);
    EXPECT_EQ(Surface(0)->size(), QSize(360, 280));
    EXPECT_EQ(NewPicNum(), 1) << "the sprite sheets come after the back buffer";
    PictureBox other(QStringLiteral("picOther"));
    EXPECT_EQ(NewViewport(&other, 10, 10), 2);
    EXPECT_EQ(ViewportPic(2), 2);
    for (int bad : {0, 3, -1})
        EXPECT_EQ(ViewportPic(bad), 0);
}

TEST_F(GraphicsTest, LogLinesAtLevelsOneAndTwo)
{
    for (int level : {1, 2}) {
        SCOPED_TRACE(level);
        PavixGDI::ResetForTests();
        StartEngine(level);
        PictureBox view(QStringLiteral("picViewPort"));
        PictureBox sheet(QStringLiteral("picKing"));
        sheet.SetPicture(QImage(160, 40, QImage::Format_RGB32));
        NewViewport(&view, 360, 280);
        const int king = NewPicNum();
        AssignPic(king, &sheet);
        ClearPic(king);
        CreateWorkspace(0, 20, 10);
        StopGraphics();
        if (level == 1) {
            ExpectLines({QStringLiteral(" ... >> New Viewport Initialized: picViewPort <<"),
                         QStringLiteral(" ...      Backbuffer set to 360x280"),
                         QStringLiteral(" ... >> PavixGDI Graphics Engine Shutdown <<")});
            continue;
        }
        ExpectLines({
            QStringLiteral(" ... >> New Viewport Initialized: picViewPort <<"),
            QStringLiteral(" ...      Backbuffer set to 360x280"),
            QStringLiteral(" ... Handed out new PicNum: 0"),
            QStringLiteral(" ... Creating Workspace for Pic #0: 360x280"),
            QStringLiteral("DC"),
            QStringLiteral(" ... Handed out new PicNum: 1"),
            QStringLiteral(" ... Assigning existing Pic (1): picKing"),
            QStringLiteral("DC"),
            QStringLiteral(" ... Cleared PicNum: 1"),
            QStringLiteral(" ... Creating Workspace for Pic #0: 20x10"),
            QStringLiteral(" ... Cleared PicNum: 0"),
            QStringLiteral("DC"),
            QStringLiteral(" ... Cleared PicNum: 1"),
            QStringLiteral(" ... Cleared PicNum: 0"),
            QStringLiteral(" ... >> PavixGDI Graphics Engine Shutdown <<"),
        });
    }
}

TEST_F(GraphicsTest, ImpossibleWorkspacesAndUnsupportedOperationsAreLoggedErrors)
{
    StartEngine(1);
    const int n = MakeWorkspace(4, 4, kWhite);
    CreateWorkspace(n, 100000, 100000);
    EXPECT_EQ(Surface(n), nullptr);
    const int src = MakeWorkspace(4, 4, kWhite);
    const int dst = MakeWorkspace(4, 4, 0xFF102030u);
    BlitPic(src, 0, 0, 4, 4, dst, 0, 0, 0x00330008); // NOTSRCCOPY
    EXPECT_EQ(At(dst, 1, 1), 0xFF102030u);
    ExpectLines({QStringLiteral(" ... ERROR: Failure to get hBITMAP for workspace"),
                 QStringLiteral(" ... ERROR: Unsupported raster operation")});
}

TEST_F(GraphicsTest, RasterOperationsCombineEveryBitOfTheRectangle)
{
    const struct {
        std::uint32_t rop;
        QRgb plain; // the result for source 3C66FF over F0A05A
        std::function<QRgb(QRgb, QRgb)> op;
    } cases[] = {
        {SRCCOPY, 0xFF3C66FFu, [](QRgb s, QRgb) { return s; }},
        {SRCAND, 0xFF30205Au, [](QRgb s, QRgb d) { return s & d; }},
        {SRCPAINT, 0xFFFCE6FFu, [](QRgb s, QRgb d) { return s | d; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rop);
        PavixGDI::ResetForTests();
        const int a = MakeWorkspace(1, 1, 0xFF3C66FFu);
        const int b = MakeWorkspace(1, 1, 0xFFF0A05Au);
        BlitPic(a, 0, 0, 1, 1, b, 0, 0, c.rop);
        EXPECT_EQ(At(b, 0, 0), c.plain);
        EXPECT_EQ(At(a, 0, 0), 0xFF3C66FFu) << "the source is only read";

        // Rows long enough for the wide inner loop plus an odd tail, placed
        // at an offset in both pictures.
        const int src = MakeWorkspace(48, 6, kBlack);
        PaintPattern(src);
        const int dst = MakeWorkspace(50, 6, kBlack);
        PaintPattern(dst);
        Surface(dst)->invertPixels();
        const QImage before = Surface(dst)->copy();
        BlitPic(src, 2, 3, 43, 2, dst, 5, 1, c.rop);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 50; ++x) {
                const bool inside = x >= 5 && x < 48 && y >= 1 && y < 3;
                const QRgb want =
                    inside ? c.op(At(src, x - 3, y + 2), before.pixel(x, y)) : before.pixel(x, y);
                ASSERT_EQ(At(dst, x, y), want) << x << "," << y;
            }
    }
}

TEST_F(GraphicsTest, MaskedBlitShowsTheBoardWhereTheMaskIsWhite)
{
    // A sheet laid out like the game's: a 40x40 frame at x 0 with a blue
    // square on black, its mask at x 80, white except black under the square.
    const int sheet = MakeWorkspace(160, 40, kBlack);
    QImage& image = *Surface(sheet);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool body = x >= 10 && x < 29 && y >= 12 && y < 30;
            image.setPixel(x, y, body ? 0xFF0000FFu : kBlack);
            image.setPixel(80 + x, y, body ? kBlack : kWhite);
        }
    const QRgb grass = 0xFF00C000u;
    const int board = MakeWorkspace(120, 80, grass);
    BlitMasked(sheet, 0, 0, 40, 40, sheet, 80, 0, board, 40, 40);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool body = x >= 50 && x < 69 && y >= 52 && y < 70;
            ASSERT_EQ(At(board, x, y), body ? 0xFF0000FFu : grass) << x << "," << y;
        }
}

TEST_F(GraphicsTest, BlitsAreClippedToBothPicturesWhateverTheNumbers)
{
    const int src = MakeWorkspace(4, 4, kBlack);
    PaintPattern(src);
    const QRgb ground = 0xFF777777u;
    const int dst = MakeWorkspace(10, 10, ground);
    struct Case {
        int sx, sy, w, h, dx, dy;
    };
    const Case cases[] = {
        {0, 0, 4, 4, -2, -1}, {0, 0, 4, 4, 8, 8},  {-1, -1, 3, 3, 5, 5}, {3, 2, 5, 5, 0, 0},
        {0, 0, -5, -5, 0, 0}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
    };
    for (const Case& c : cases) {
        Surface(dst)->fill(ground);
        BlitPic(src, c.sx, c.sy, c.w, c.h, dst, c.dx, c.dy, SRCCOPY);
        // The source as its own mask: a masked blit must copy the same pixels.
        BlitMasked(src, c.sx, c.sy, c.w, c.h, src, c.sx, c.sy, dst, c.dx, c.dy);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const qint64 px = qint64(x) - c.dx, py = qint64(y) - c.dy;
                const qint64 fx = px + c.sx, fy = py + c.sy;
                const bool copied = px >= 0 && py >= 0 && px < c.w && py < c.h && fx >= 0 &&
                                    fy >= 0 && fx < 4 && fy < 4;
                ASSERT_EQ(At(dst, x, y), copied ? At(src, int(fx), int(fy)) : ground)
                    << c.sx << " " << c.sy << " " << c.w << " " << c.h << " " << c.dx << " "
                    << c.dy << " at " << x << "," << y;
            }
    }
}

TEST_F(GraphicsTest, AssignedPicturesAreTheBoxsOwnImageAndWorkspacesAreRemade)
{
    PictureBox sheet(QStringLiteral("picWall"));
    QImage image(8, 4, QImage::Format_ARGB32); // loaded images need not be 32-bit RGB
    image.fill(0xFF204060u);
    sheet.Picture() = image;
    const int n = NewPicNum();
    AssignPic(n, &sheet);
    const int red = MakeWorkspace(1, 1, 0xFFFF0000u);
    BlitPic(red, 0, 0, 1, 1, n, 7, 3, SRCPAINT);
    EXPECT_EQ(sheet.Picture().pixel(7, 3), 0xFFFF4060u);
    EXPECT_EQ(sheet.Picture().pixel(6, 3), 0xFF204060u);
    ClearPic(n);
    EXPECT_EQ(Surface(n), nullptr);

    CreateWorkspace(red, 20, 5);
    ASSERT_NE(Surface(red), nullptr);
    EXPECT_EQ(At(red, 0, 0), kBlack) << "a new workspace starts black";
    StopGraphics();
    EXPECT_TRUE(Graphics().Pics.empty());
    EXPECT_EQ(sheet.Picture().pixel(0, 0), 0xFF204060u) << "the box keeps its image";
}

TEST_F(GraphicsTest, FlipScalesTheBackBufferToTheBoxWithNearestPixels)
{
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 360, 280);
    const int back = ViewportPic(v);
    PaintPattern(back);
    for (const QSize size : {QSize(360, 280), QSize(720, 560), QSize(180, 140)}) {
        box.resize(size);
        FlipViewport(v);
        const QImage& shown = box.Picture();
        ASSERT_EQ(shown.size(), size);
        int wrong = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                wrong += shown.pixel(x, y) !=
                         At(back, x * 360 / size.width(), y * 280 / size.height());
        EXPECT_EQ(wrong, 0) << size.width();
    }
    // The box keeps the frame while the next one is drawn.
    const QImage shown = box.Picture().copy();
    Surface(back)->fill(kWhite);
    EXPECT_EQ(box.Picture(), shown);
}

TEST_F(GraphicsTest, TextHasItsTopLeftCornerAtThePointAndTheGivenColour)
{
    const int back = MakeWorkspace(120, 60, kBlack);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    font.setBold(true);
    DrawPicText(back, font, RGB(255, 0, 0), 20, 10, QStringLiteral("TTT"));

    int top = INT_MAX, left = INT_MAX, fullRed = 0, otherColour = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            if (const QRgb p = At(back, x, y); p != kBlack) {
                top = std::min(top, y);
                left = std::min(left, x);
                otherColour += (p & 0xFFFF) != 0;
                fullRed += qRed(p) == 255;
            }
    EXPECT_EQ(otherColour, 0) << "pixels with green or blue";
    EXPECT_GT(fullRed, 0);
    EXPECT_TRUE(top >= 10 && top <= 14) << top << ": the capital's top sits just below the line's top";
    EXPECT_TRUE(left >= 20 && left <= 23) << left;
}
