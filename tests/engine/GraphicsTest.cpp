// The graphics engine: picture and viewport numbers, its log lines, the three
// raster operations with clipping, the flip and text.
#include "EngineFixture.h"

#include "engine/PictureBox.h"

#include <QFont>
#include <chrono>
#include <climits>
#include <memory>

using namespace PavixGDI;
using PavixGames::StartEngine;

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

// A new workspace of the given size filled with one colour.
int MakeWorkspace(int width, int height, QRgb colour)
{
    const int n = NewPicNum();
    CreateWorkspace(n, width, height);
    if (QImage* surface = Surface(n))
        surface->fill(colour);
    return n;
}

QRgb At(int n, int x, int y)
{
    return Surface(n)->pixel(x, y);
}

// Every pixel of the picture differs from its neighbours, so any misplaced
// pixel shows.
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
    // The log lines after the seven opening lines of a start.
    QStringList LinesAfterStart() const
    {
        QStringList lines = ReadLines(EngineLogPath());
        return lines.mid(7);
    }
};

// ---- Numbers -----------------------------------------------------------------

TEST_F(GraphicsTest, FirstPictureNumberIsZeroAndNumbersCountUp)
{
    EXPECT_EQ(NewPicNum(), 0);
    EXPECT_EQ(NewPicNum(), 1);
    EXPECT_EQ(NewPicNum(), 2);
    EXPECT_EQ(Graphics().PicCount, 3);
    EXPECT_FALSE(Graphics().Pics[2].InUse);
    EXPECT_EQ(Surface(2), nullptr);
}

TEST_F(GraphicsTest, FirstViewportIsOneWithBackBufferPictureZero)
{
    StartEngine(1);
    PictureBox box(QStringLiteral("picViewPort"));
    EXPECT_EQ(NewViewport(&box, 360, 280), 1);
    EXPECT_EQ(ViewportPic(1), 0);
    ASSERT_NE(Surface(0), nullptr);
    EXPECT_EQ(Surface(0)->size(), QSize(360, 280));
    EXPECT_EQ(At(0, 0, 0), kBlack);
    EXPECT_EQ(At(0, 359, 279), kBlack);
    EXPECT_TRUE(Graphics().Pics[0].OwnsDC);
    EXPECT_EQ(Graphics().Viewports[1], &box);
    // The sprite sheets come after the back buffer.
    EXPECT_EQ(NewPicNum(), 1);

    PictureBox other(QStringLiteral("picOther"));
    EXPECT_EQ(NewViewport(&other, 10, 10), 2);
    EXPECT_EQ(ViewportPic(2), 2);
    EXPECT_EQ(ViewportPic(0), 0);
    EXPECT_EQ(ViewportPic(3), 0);
    EXPECT_EQ(ViewportPic(-1), 0);
}

// ---- Log lines ------------------------------------------------------------------

TEST_F(GraphicsTest, LevelOneLogsOnlyViewportsAndShutdown)
{
    StartEngine(1);
    PictureBox view(QStringLiteral("picViewPort"));
    PictureBox sheet(QStringLiteral("picKing"));
    sheet.SetPicture(QImage(160, 40, QImage::Format_RGB32));
    NewViewport(&view, 360, 280);
    const int king = NewPicNum();
    AssignPic(king, &sheet);
    const int scratch = NewPicNum();
    CreateWorkspace(scratch, 5, 5);
    CreateWorkspace(scratch, 6, 6);
    ClearPic(king);
    StopGraphics();

    const QStringList lines = LinesAfterStart();
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(IsStamped(lines[0], QStringLiteral(" ... >> New Viewport Initialized: picViewPort <<")))
        << lines[0].toStdString();
    EXPECT_TRUE(IsStamped(lines[1], QStringLiteral(" ...      Backbuffer set to 360x280")))
        << lines[1].toStdString();
    EXPECT_TRUE(IsStamped(lines[2], QStringLiteral(" ... >> PavixGDI Graphics Engine Shutdown <<")))
        << lines[2].toStdString();
}

TEST_F(GraphicsTest, LevelTwoLogsEveryOperation)
{
    StartEngine(2);
    PictureBox view(QStringLiteral("picViewPort"));
    PictureBox sheet(QStringLiteral("picKing"));
    sheet.SetPicture(QImage(160, 40, QImage::Format_RGB32));
    NewViewport(&view, 360, 280);
    const int king = NewPicNum();
    AssignPic(king, &sheet);
    ClearPic(king);
    CreateWorkspace(0, 20, 10);
    StopGraphics();

    const QStringList lines = LinesAfterStart();
    const QString dcLine = QStringLiteral("^ ...      DC=[0-9]+, hBITMAP=[0-9]+$");
    const QStringList expected = {
        QStringLiteral(" ... >> New Viewport Initialized: picViewPort <<"),
        QStringLiteral(" ...      Backbuffer set to 360x280"),
        QStringLiteral(" ... Handed out new PicNum: 0"),
        QStringLiteral(" ... Creating Workspace for Pic #0: 360x280"),
        dcLine,
        QStringLiteral(" ... Handed out new PicNum: 1"),
        QStringLiteral(" ... Assigning existing Pic (1): picKing"),
        dcLine,
        QStringLiteral(" ... Cleared PicNum: 1"),
        QStringLiteral(" ... Creating Workspace for Pic #0: 20x10"),
        QStringLiteral(" ... Cleared PicNum: 0"),
        dcLine,
        QStringLiteral(" ... Cleared PicNum: 1"),
        QStringLiteral(" ... Cleared PicNum: 0"),
        QStringLiteral(" ... >> PavixGDI Graphics Engine Shutdown <<"),
    };
    ASSERT_EQ(lines.size(), expected.size()) << lines.join(QLatin1Char('|')).toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (expected[i] == dcLine) {
            const QString rest = lines[i].mid(lines[i].indexOf(QStringLiteral(" ... ")));
            EXPECT_TRUE(QRegularExpression(dcLine).match(rest).hasMatch()) << lines[i].toStdString();
        } else {
            EXPECT_TRUE(IsStamped(lines[i], expected[i])) << i << ": " << lines[i].toStdString();
        }
    }
}

TEST_F(GraphicsTest, FailedWorkspaceLogsItsErrorAtLevelOne)
{
    StartEngine(1);
    const int n = NewPicNum();
    CreateWorkspace(n, 0, 5);
    const QStringList lines = LinesAfterStart();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(IsStamped(lines[0], QStringLiteral(" ... ERROR: Failure to get hBITMAP for workspace")));
}

TEST_F(GraphicsTest, UnsupportedRasterOperationDrawsNothingAndLogs)
{
    StartEngine(1);
    const int src = MakeWorkspace(4, 4, kWhite);
    const int dst = MakeWorkspace(4, 4, 0xFF102030u);
    BlitPic(src, 0, 0, 4, 4, dst, 0, 0, 0x00330008); // NOTSRCCOPY
    EXPECT_EQ(At(dst, 1, 1), 0xFF102030u);
    const QStringList lines = LinesAfterStart();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(IsStamped(lines[0], QStringLiteral(" ... ERROR: Unsupported raster operation")));
}

// ---- Raster operations -------------------------------------------------------------

TEST_F(GraphicsTest, SrcCopyReplacesTheRectangleExactly)
{
    const int src = MakeWorkspace(8, 8, kBlack);
    PaintPattern(src);
    const int dst = MakeWorkspace(10, 10, 0xFF555555u);
    BlitPic(src, 2, 3, 4, 2, dst, 5, 1, SRCCOPY);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 5 && x < 9 && y >= 1 && y < 3;
            const QRgb want = inside ? At(src, x - 5 + 2, y - 1 + 3) : 0xFF555555u;
            EXPECT_EQ(At(dst, x, y), want) << x << "," << y;
        }
}

TEST_F(GraphicsTest, SrcAndAndsEveryColourBit)
{
    const int src = MakeWorkspace(3, 3, 0xFF3C66FFu);
    const int dst = MakeWorkspace(3, 3, 0xFFF0A05Au);
    BlitPic(src, 0, 0, 2, 2, dst, 1, 1, SRCAND);
    EXPECT_EQ(At(dst, 1, 1), 0xFF30205Au);
    EXPECT_EQ(At(dst, 2, 2), 0xFF30205Au);
    EXPECT_EQ(At(dst, 0, 0), 0xFFF0A05Au);
    EXPECT_EQ(At(dst, 0, 2), 0xFFF0A05Au);
    EXPECT_EQ(At(src, 0, 0), 0xFF3C66FFu) << "the source is only read";
}

TEST_F(GraphicsTest, SrcPaintOrsEveryColourBit)
{
    const int src = MakeWorkspace(5, 1, 0xFF3C66FFu);
    const int dst = MakeWorkspace(5, 1, 0xFFF0A05Au);
    BlitPic(src, 0, 0, 5, 1, dst, 0, 0, SRCPAINT);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(dst, x, 0), 0xFFFCE6FFu);
}

TEST_F(GraphicsTest, WideRowsGiveTheSameResultInEveryColumn)
{
    // Rows long enough for the wide inner loop plus an odd tail.
    const int src = MakeWorkspace(43, 2, kBlack);
    PaintPattern(src);
    const int dst = MakeWorkspace(43, 2, 0xFF808080u);
    BlitPic(src, 0, 0, 43, 2, dst, 0, 0, SRCPAINT);
    for (int x = 0; x < 43; ++x)
        EXPECT_EQ(At(dst, x, 1), (At(src, x, 1) | 0xFF808080u)) << x;
    BlitPic(src, 0, 0, 43, 2, dst, 0, 0, SRCAND);
    for (int x = 0; x < 43; ++x)
        EXPECT_EQ(At(dst, x, 1), At(src, x, 1)) << x;
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

TEST_F(GraphicsTest, MaskedBlitEqualsItsTwoPassesEvenAtTheEdges)
{
    // Sheet: sprite frames at x 0..5, mask at x 6..11; patterned so every
    // bit matters.
    const int sheet = MakeWorkspace(12, 6, kBlack);
    PaintPattern(sheet);
    for (int y = 0; y < 6; ++y)
        for (int x = 6; x < 12; ++x)
            Surface(sheet)->setPixel(x, y, (x + y) % 3 ? kWhite : kBlack);
    const int fused = MakeWorkspace(9, 7, kBlack);
    const int twoPass = MakeWorkspace(9, 7, kBlack);
    const QPoint places[] = {{0, 0}, {-2, -3}, {5, 4}, {8, 6}, {-5, 2}, {3, -5}, {9, 0}};
    const QPoint masks[] = {{6, 0}, {8, 1}, {10, 3}};
    for (const QPoint& mask : masks)
        for (const QPoint& at : places) {
            PaintPattern(fused);
            PaintPattern(twoPass);
            BlitMasked(sheet, 0, 0, 6, 6, sheet, mask.x(), mask.y(), fused, at.x(), at.y());
            BlitPic(sheet, mask.x(), mask.y(), 6, 6, twoPass, at.x(), at.y(), SRCAND);
            BlitPic(sheet, 0, 0, 6, 6, twoPass, at.x(), at.y(), SRCPAINT);
            EXPECT_EQ(*Surface(fused), *Surface(twoPass)) << at.x() << "," << at.y();
        }
}

TEST_F(GraphicsTest, BlitsAreClippedToTheDestination)
{
    const int src = MakeWorkspace(4, 4, kBlack);
    PaintPattern(src);
    const QRgb ground = 0xFF777777u;
    const int dst = MakeWorkspace(10, 10, ground);

    BlitPic(src, 0, 0, 4, 4, dst, -2, -1, SRCCOPY);
    BlitPic(src, 0, 0, 4, 4, dst, 8, 8, SRCCOPY);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            QRgb want = ground;
            if (x < 2 && y < 3)
                want = At(src, x + 2, y + 1);
            else if (x >= 8 && y >= 8)
                want = At(src, x - 8, y - 8);
            EXPECT_EQ(At(dst, x, y), want) << x << "," << y;
        }
}

TEST_F(GraphicsTest, BlitsAreClippedToTheSource)
{
    const int src = MakeWorkspace(4, 4, kBlack);
    PaintPattern(src);
    const QRgb ground = 0xFF777777u;
    const int dst = MakeWorkspace(10, 10, ground);
    BlitPic(src, -1, -1, 3, 3, dst, 5, 5, SRCCOPY);
    BlitPic(src, 3, 2, 5, 5, dst, 0, 0, SRCCOPY);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            QRgb want = ground;
            if (x >= 6 && x < 8 && y >= 6 && y < 8)
                want = At(src, x - 6, y - 6);
            else if (x == 0 && y < 2)
                want = At(src, 3, y + 2);
            EXPECT_EQ(At(dst, x, y), want) << x << "," << y;
        }
}

TEST_F(GraphicsTest, BlitsWhollyOutsideOrWithWildNumbersChangeNothing)
{
    const int src = MakeWorkspace(4, 4, kWhite);
    const int dst = MakeWorkspace(10, 10, kBlack);
    BlitPic(src, 0, 0, 4, 4, dst, 10, 0, SRCCOPY);
    BlitPic(src, 0, 0, 4, 4, dst, -4, 3, SRCCOPY);
    BlitPic(src, 4, 0, 4, 4, dst, 0, 0, SRCCOPY);
    BlitPic(src, 0, 0, 0, 4, dst, 0, 0, SRCCOPY);
    BlitPic(src, 0, 0, -5, -5, dst, 0, 0, SRCCOPY);
    BlitPic(src, INT_MAX, INT_MAX, INT_MAX, INT_MAX, dst, INT_MIN, INT_MIN, SRCPAINT);
    BlitPic(src, INT_MIN, 0, INT_MAX, 4, dst, INT_MAX, 0, SRCAND);
    BlitMasked(src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, src, INT_MAX, 0, dst, 0, INT_MIN);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(At(dst, x, y), kBlack) << x << "," << y;

    // A huge rectangle at the origin still copies exactly the overlap.
    BlitPic(src, 0, 0, INT_MAX, INT_MAX, dst, 0, 0, SRCCOPY);
    EXPECT_EQ(At(dst, 3, 3), kWhite);
    EXPECT_EQ(At(dst, 4, 3), kBlack);
    EXPECT_EQ(At(dst, 3, 4), kBlack);
}

TEST_F(GraphicsTest, InvalidPictureNumbersDrawNothing)
{
    const int good = MakeWorkspace(4, 4, kWhite);
    const int dst = MakeWorkspace(4, 4, kBlack);
    const int empty = NewPicNum();
    const int cleared = MakeWorkspace(4, 4, kWhite);
    ClearPic(cleared);
    for (int bad : {-1, 99, INT_MAX, INT_MIN, empty, cleared}) {
        BlitPic(bad, 0, 0, 4, 4, dst, 0, 0, SRCCOPY);
        BlitPic(good, 0, 0, 4, 4, bad, 0, 0, SRCCOPY);
        BlitMasked(bad, 0, 0, 4, 4, bad, 0, 0, dst, 0, 0);
        DrawPicText(bad, QFont(), 0xFFFFFF, 0, 0, QStringLiteral("T"));
        ClearPic(bad);
    }
    PictureBox box(QStringLiteral("picStray"));
    for (int unknown : {-1, 99, INT_MAX, INT_MIN}) {
        CreateWorkspace(unknown, 4, 4);
        AssignPic(unknown, &box);
    }
    AssignPic(empty, nullptr);
    EXPECT_EQ(At(dst, 2, 2), kBlack);
    EXPECT_EQ(Graphics().PicCount, 4);
    EXPECT_EQ(Graphics().Pics.size(), 4u);
    EXPECT_FALSE(Graphics().Pics[empty].InUse);
}

TEST_F(GraphicsTest, OverlappingBlitWithinOneSurfaceReadsBeforeWriting)
{
    const int n = MakeWorkspace(6, 1, kBlack);
    for (int x = 0; x < 6; ++x)
        Surface(n)->setPixel(x, 0, qRgb(x, x, x));
    BlitPic(n, 0, 0, 5, 1, n, 1, 0, SRCCOPY);
    const int want[6] = {0, 0, 1, 2, 3, 4};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(qRed(At(n, x, 0)), want[x]) << x;
}

// ---- Assigned pictures ------------------------------------------------------------

TEST_F(GraphicsTest, AssignedPictureIsTheBoxsOwnImage)
{
    PictureBox sheet(QStringLiteral("picWall"));
    QImage image(8, 4, QImage::Format_ARGB32); // loaded images need not be 32-bit RGB
    image.fill(0xFF204060u);
    sheet.Picture() = image;
    const int n = NewPicNum();
    AssignPic(n, &sheet);
    EXPECT_FALSE(Graphics().Pics[n].OwnsDC);
    EXPECT_EQ(Graphics().Pics[n].Width, 8);
    EXPECT_EQ(Graphics().Pics[n].Height, 4);

    const int dst = MakeWorkspace(2, 2, kBlack);
    BlitPic(n, 3, 1, 2, 2, dst, 0, 0, SRCCOPY);
    EXPECT_EQ(At(dst, 1, 1), 0xFF204060u);

    const int red = MakeWorkspace(1, 1, 0xFFFF0000u);
    BlitPic(red, 0, 0, 1, 1, n, 7, 3, SRCPAINT);
    EXPECT_EQ(sheet.Picture().pixel(7, 3), 0xFFFF4060u);
    EXPECT_EQ(sheet.Picture().pixel(6, 3), 0xFF204060u);
}

TEST_F(GraphicsTest, ClearPicOnAnAssignedPictureLeavesTheBoxAlone)
{
    PictureBox sheet(QStringLiteral("picFire"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(0xFF123456u);
    sheet.SetPicture(image);
    const int n = NewPicNum();
    AssignPic(n, &sheet);
    ClearPic(n);
    const PicSlot& slot = Graphics().Pics[n];
    EXPECT_FALSE(slot.InUse);
    EXPECT_TRUE(slot.Cleared);
    EXPECT_FALSE(slot.OwnsDC);
    EXPECT_EQ(slot.hDC, nullptr);
    EXPECT_EQ(Surface(n), nullptr);
    EXPECT_EQ(sheet.Picture().size(), QSize(4, 4));
    EXPECT_EQ(sheet.Picture().pixel(3, 3), 0xFF123456u);
}

TEST_F(GraphicsTest, ClearPicOnAWorkspaceReleasesItsSurface)
{
    const int n = MakeWorkspace(4, 4, kWhite);
    ClearPic(n);
    const PicSlot& slot = Graphics().Pics[n];
    EXPECT_FALSE(slot.InUse);
    EXPECT_TRUE(slot.Cleared);
    EXPECT_TRUE(slot.OwnsDC) << "the flag keeps its value";
    EXPECT_EQ(slot.hDC, nullptr);
    EXPECT_EQ(slot.hBitmap, nullptr);
    EXPECT_EQ(Surface(n), nullptr);

    CreateWorkspace(n, 2, 2);
    EXPECT_TRUE(Graphics().Pics[n].InUse);
    EXPECT_FALSE(Graphics().Pics[n].Cleared);
}

TEST_F(GraphicsTest, DestroyedBoxIsNoLongerDrawnTo)
{
    auto sheet = std::make_unique<PictureBox>(QStringLiteral("picGone"));
    sheet->SetPicture(QImage(4, 4, QImage::Format_RGB32));
    const int n = NewPicNum();
    AssignPic(n, sheet.get());
    const int view = NewViewport(sheet.get(), 4, 4);
    sheet.reset();
    const int other = MakeWorkspace(4, 4, kWhite);
    BlitPic(other, 0, 0, 4, 4, n, 0, 0, SRCCOPY);
    BlitPic(n, 0, 0, 4, 4, other, 0, 0, SRCAND);
    FlipViewport(view);
    EXPECT_EQ(Surface(n), nullptr);
    EXPECT_EQ(At(other, 0, 0), kWhite);
    StopGraphics();
}

// ---- Workspaces --------------------------------------------------------------------

TEST_F(GraphicsTest, CreateWorkspaceReplacesOneOfAnotherSize)
{
    const int n = MakeWorkspace(10, 10, kWhite);
    CreateWorkspace(n, 20, 5);
    const PicSlot& slot = Graphics().Pics[n];
    EXPECT_EQ(slot.Width, 20);
    EXPECT_EQ(slot.Height, 5);
    EXPECT_TRUE(slot.InUse);
    ASSERT_NE(Surface(n), nullptr);
    EXPECT_EQ(Surface(n)->size(), QSize(20, 5));
    EXPECT_EQ(At(n, 19, 4), kBlack);
    EXPECT_EQ(At(n, 0, 0), kBlack) << "a new workspace starts black";
}

TEST_F(GraphicsTest, ImpossibleWorkspaceLeavesTheNumberWithoutSurface)
{
    StartEngine(1);
    const int n = MakeWorkspace(4, 4, kWhite);
    for (const QSize size : {QSize(0, 5), QSize(5, 0), QSize(-3, 4), QSize(100000, 100000),
                             QSize(INT_MAX, 1)}) {
        CreateWorkspace(n, size.width(), size.height());
        EXPECT_FALSE(Graphics().Pics[n].InUse);
        EXPECT_EQ(Surface(n), nullptr);
    }
    EXPECT_EQ(LinesAfterStart().size(), 5);
}

// ---- Flip --------------------------------------------------------------------------

TEST_F(GraphicsTest, FlipCopiesTheBackBufferToABoxOfItsSize)
{
    PictureBox box(QStringLiteral("picViewPort"));
    box.resize(360, 280);
    const int v = NewViewport(&box, 360, 280);
    const int back = ViewportPic(v);
    PaintPattern(back);
    FlipViewport(v);
    ASSERT_EQ(box.Picture().size(), QSize(360, 280));
    EXPECT_EQ(box.Picture(), *Surface(back));

    // The box keeps the frame while the next one is drawn.
    const QImage shown = box.Picture().copy();
    Surface(back)->fill(kWhite);
    EXPECT_EQ(box.Picture(), shown);
}

TEST_F(GraphicsTest, FlipStretchesToAnEnlargedBoxWithNearestPixels)
{
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 360, 280);
    PaintPattern(ViewportPic(v));
    box.resize(720, 560);
    FlipViewport(v);
    const QImage& shown = box.Picture();
    ASSERT_EQ(shown.size(), QSize(720, 560));
    const QImage& back = *Surface(ViewportPic(v));
    int wrong = 0;
    for (int y = 0; y < 560; ++y)
        for (int x = 0; x < 720; ++x)
            wrong += shown.pixel(x, y) != back.pixel(x / 2, y / 2);
    EXPECT_EQ(wrong, 0);
}

TEST_F(GraphicsTest, FlipShrinksToASmallerBox)
{
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 360, 280);
    PaintPattern(ViewportPic(v));
    box.resize(180, 140);
    FlipViewport(v);
    const QImage& shown = box.Picture();
    ASSERT_EQ(shown.size(), QSize(180, 140));
    const QImage& back = *Surface(ViewportPic(v));
    int wrong = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 180; ++x)
            wrong += shown.pixel(x, y) != back.pixel(2 * x, 2 * y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(GraphicsTest, FlipWithoutBackBufferShowsNothingNew)
{
    PictureBox box(QStringLiteral("picViewPort"));
    box.resize(30, 20);
    const int v = NewViewport(&box, 0, 0);
    EXPECT_EQ(Surface(ViewportPic(v)), nullptr);
    FlipViewport(v);
    EXPECT_TRUE(box.Picture().isNull());
    FlipViewport(0);
    FlipViewport(v + 1);
    FlipViewport(-7);
}

// ---- Text ------------------------------------------------------------------------

TEST_F(GraphicsTest, TextHasItsTopLeftCornerAtThePointAndTheGivenColour)
{
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 120, 60);
    const int back = ViewportPic(v);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    font.setBold(true);
    DrawPicText(back, font, RGB(255, 0, 0), 20, 10, QStringLiteral("TTT"));

    const QImage& image = *Surface(back);
    int top = INT_MAX, left = INT_MAX, lit = 0, fullRed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == kBlack)
                continue;
            ++lit;
            top = std::min(top, y);
            left = std::min(left, x);
            EXPECT_EQ(qGreen(p), 0) << x << "," << y;
            EXPECT_EQ(qBlue(p), 0) << x << "," << y;
            fullRed += qRed(p) == 255;
        }
    ASSERT_GT(lit, 0);
    EXPECT_GT(fullRed, 0);
    EXPECT_GE(top, 10);
    EXPECT_LE(top, 14) << "the capital's top sits just below the line's top";
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 23);
}

// ---- Shutdown ---------------------------------------------------------------------

TEST_F(GraphicsTest, StopGraphicsEmptiesEverythingButLeavesBoxImages)
{
    PictureBox view(QStringLiteral("picViewPort"));
    PictureBox sheet(QStringLiteral("picKing"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(0xFF010203u);
    sheet.SetPicture(image);
    const int v = NewViewport(&view, 8, 8);
    const int king = NewPicNum();
    AssignPic(king, &sheet);
    StopGraphics();
    EXPECT_TRUE(Graphics().Pics.empty());
    EXPECT_TRUE(Graphics().Viewports.empty());
    EXPECT_EQ(Surface(0), nullptr);
    EXPECT_EQ(Surface(king), nullptr);
    EXPECT_EQ(ViewportPic(v), 0);
    EXPECT_EQ(sheet.Picture().pixel(1, 1), 0xFF010203u);
    FlipViewport(v);
    BlitPic(king, 0, 0, 2, 2, 0, 0, 0, SRCCOPY);
}

// ---- Speed -------------------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
#define TURRION_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TURRION_SLOW_BUILD 1
#endif
#endif

TEST_F(GraphicsTest, FullBoardRedrawTakesWellUnderATenthOfAMillisecond)
{
#if defined(TURRION_SLOW_BUILD) || !defined(__OPTIMIZE__)
    GTEST_SKIP() << "timing is only meaningful in an optimised build";
#endif
    PictureBox box(QStringLiteral("picViewPort"));
    const int v = NewViewport(&box, 360, 280);
    const int back = ViewportPic(v);
    const int background = MakeWorkspace(360, 280, 0xFF206020u);
    const int sheet = MakeWorkspace(160, 40, kBlack);
    PaintPattern(sheet);

    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int batch = 0; batch < 10; ++batch) {
        const auto start = Clock::now();
        constexpr int kRedraws = 50;
        for (int r = 0; r < kRedraws; ++r) {
            BlitPic(background, 0, 0, 360, 280, back, 0, 0, SRCCOPY);
            for (int cell = 0; cell < 63; ++cell)
                BlitMasked(sheet, 0, 0, 40, 40, sheet, 80, 0, back, (cell % 9) * 40,
                           (cell / 9) * 40);
        }
        const double micros =
            std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kRedraws;
        best = std::min(best, micros);
    }
    EXPECT_LT(best, 100.0);
    RecordProperty("redraw_microseconds", std::to_string(best));
}
