// The graphics engine: picture and viewport numbers, its log lines, the three
// raster operations with clipping, the flip and text.
#include "EngineFixture.h"

#include "engine/PictureBox.h"

#include <QFont>
#include <climits>
#include <functional>
#include <memory>

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

QImage BoxImage(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class GraphicsTest : public EngineFixture {
protected:
    // The log lines after the seven opening lines of a start.
    QStringList LinesAfterStart() const { return ReadLines(EngineLogPath()).mid(7); }

    void ExpectLines(const QStringList& expected) const
    {
        const QStringList lines = LinesAfterStart();
        ASSERT_EQ(lines.size(), expected.size()) << lines.join(QLatin1Char('|')).toStdString();
        static const QRegularExpression dc(QStringLiteral("^ ...      DC=[0-9]+, hBITMAP=[0-9]+$"));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (expected[i] == QLatin1String("DC")) {
                const QString rest = lines[i].mid(lines[i].indexOf(QStringLiteral(" ... ")));
                EXPECT_TRUE(dc.match(rest).hasMatch()) << lines[i].toStdString();
            } else {
                EXPECT_TRUE(IsStamped(lines[i], expected[i])) << i << ": " << lines[i].toStdString();
            }
        }
    }
};

TEST_F(GraphicsTest, PictureAndViewportNumbers)
{
    EXPECT_EQ(NewPicNum(), 0);
    EXPECT_EQ(NewPicNum(), 1);
    EXPECT_FALSE(Graphics().Pics[1].InUse);
    EXPECT_EQ(Surface(1), nullptr);

    PavixGDI::ResetForTests();
    StartEngine(1);
    PictureBox box(QStringLiteral("picViewPort"));
    EXPECT_EQ(NewViewport(&box, 360, 280), 1);
    EXPECT_EQ(ViewportPic(1), 0);
    ASSERT_NE(Surface(0), nullptr);
    EXPECT_EQ(Surface(0)->size(), QSize(360, 280));
    EXPECT_EQ(At(0, 359, 279), kBlack);
    EXPECT_TRUE(Graphics().Pics[0].OwnsDC);
    EXPECT_EQ(NewPicNum(), 1) << "the sprite sheets come after the back buffer";
    PictureBox other(QStringLiteral("picOther"));
    EXPECT_EQ(NewViewport(&other, 10, 10), 2);
    EXPECT_EQ(ViewportPic(2), 2);
    for (int bad : {0, 3, -1})
        EXPECT_EQ(ViewportPic(bad), 0);
}

// ---- Log lines ------------------------------------------------------------------

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
    for (const QSize size : {QSize(0, 5), QSize(5, 0), QSize(-3, 4), QSize(100000, 100000),
                             QSize(INT_MAX, 1)}) {
        CreateWorkspace(n, size.width(), size.height());
        EXPECT_FALSE(Graphics().Pics[n].InUse);
        EXPECT_EQ(Surface(n), nullptr);
    }
    const int src = MakeWorkspace(4, 4, kWhite);
    const int dst = MakeWorkspace(4, 4, 0xFF102030u);
    BlitPic(src, 0, 0, 4, 4, dst, 0, 0, 0x00330008); // NOTSRCCOPY
    EXPECT_EQ(At(dst, 1, 1), 0xFF102030u);
    const QString failed = QStringLiteral(" ... ERROR: Failure to get hBITMAP for workspace");
    ExpectLines({failed, failed, failed, failed, failed,
                 QStringLiteral(" ... ERROR: Unsupported raster operation")});
}

// ---- Raster operations -------------------------------------------------------------

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

TEST_F(GraphicsTest, MaskedBlitEqualsItsTwoPassesEvenAtTheEdges)
{
    // Sprite frames at x 0..5, patterned masks at x 6..11.
    const int sheet = MakeWorkspace(12, 6, kBlack);
    PaintPattern(sheet);
    for (int y = 0; y < 6; ++y)
        for (int x = 6; x < 12; ++x)
            Surface(sheet)->setPixel(x, y, (x + y) % 3 ? kWhite : kBlack);
    const int fused = MakeWorkspace(9, 7, kBlack);
    const int twoPass = MakeWorkspace(9, 7, kBlack);
    const QPoint places[] = {{0, 0}, {-2, -3}, {5, 4}, {8, 6}, {-5, 2}, {3, -5}, {9, 0}};
    for (const QPoint& mask : {QPoint(6, 0), QPoint(8, 1), QPoint(10, 3)})
        for (const QPoint& at : places) {
            PaintPattern(fused);
            PaintPattern(twoPass);
            BlitMasked(sheet, 0, 0, 6, 6, sheet, mask.x(), mask.y(), fused, at.x(), at.y());
            BlitPic(sheet, mask.x(), mask.y(), 6, 6, twoPass, at.x(), at.y(), SRCAND);
            BlitPic(sheet, 0, 0, 6, 6, twoPass, at.x(), at.y(), SRCPAINT);
            EXPECT_EQ(*Surface(fused), *Surface(twoPass)) << at.x() << "," << at.y();
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
        {0, 0, 4, 4, -2, -1},  {0, 0, 4, 4, 8, 8},   {-1, -1, 3, 3, 5, 5}, {3, 2, 5, 5, 0, 0},
        {0, 0, 4, 4, 10, 0},   {0, 0, 4, 4, -4, 3},  {4, 0, 4, 4, 0, 0},   {0, 0, 0, 4, 0, 0},
        {0, 0, -5, -5, 0, 0},  {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        {INT_MIN, 0, INT_MAX, 4, INT_MAX, 0},   {0, 0, INT_MAX, INT_MAX, 0, 0},
    };
    for (const Case& c : cases) {
        Surface(dst)->fill(ground);
        BlitPic(src, c.sx, c.sy, c.w, c.h, dst, c.dx, c.dy, SRCCOPY);
        BlitMasked(src, c.sx, c.sy, c.w, c.h, src, c.sx, c.sy, dst, c.dx, c.dy);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                // The source pixel for (x, y), if the requested rectangle
                // and both pictures hold it.
                const qint64 px = qint64(x) - c.dx, py = qint64(y) - c.dy;
                const qint64 fx = px + c.sx, fy = py + c.sy;
                const bool copied = px >= 0 && py >= 0 && px < c.w && py < c.h && fx >= 0 &&
                                    fy >= 0 && fx < 4 && fy < 4;
                const QRgb want = copied ? At(src, int(fx), int(fy)) : ground;
                ASSERT_EQ(At(dst, x, y), want)
                    << c.sx << " " << c.sy << " " << c.w << " " << c.h << " " << c.dx << " "
                    << c.dy << " at " << x << "," << y;
            }
    }
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

// ---- Assigned pictures and workspaces -----------------------------------------------

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

    // Clearing forgets the picture but leaves the box's image alone.
    ClearPic(n);
    EXPECT_FALSE(Graphics().Pics[n].InUse);
    EXPECT_TRUE(Graphics().Pics[n].Cleared);
    EXPECT_EQ(Surface(n), nullptr);
    EXPECT_EQ(sheet.Picture().size(), QSize(8, 4));
    EXPECT_EQ(sheet.Picture().pixel(0, 0), 0xFF204060u);
}

TEST_F(GraphicsTest, WorkspacesAreReplacedClearedAndMadeAgain)
{
    const int n = MakeWorkspace(10, 10, kWhite);
    CreateWorkspace(n, 20, 5);
    ASSERT_NE(Surface(n), nullptr);
    EXPECT_EQ(Graphics().Pics[n].Width, 20);
    EXPECT_EQ(Graphics().Pics[n].Height, 5);
    EXPECT_EQ(Surface(n)->size(), QSize(20, 5));
    EXPECT_EQ(At(n, 0, 0), kBlack) << "a new workspace starts black";

    ClearPic(n);
    const PicSlot& slot = Graphics().Pics[n];
    EXPECT_FALSE(slot.InUse);
    EXPECT_TRUE(slot.Cleared);
    EXPECT_TRUE(slot.OwnsDC) << "the flag keeps its value";
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

// ---- Flip and text -----------------------------------------------------------------

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

    // Without a back buffer, or for a wrong number, nothing is shown.
    PictureBox empty(QStringLiteral("picEmpty"));
    empty.resize(30, 20);
    const int none = NewViewport(&empty, 0, 0);
    FlipViewport(none);
    EXPECT_TRUE(empty.Picture().isNull());
    for (int bad : {0, none + 1, -7})
        FlipViewport(bad);
}

TEST_F(GraphicsTest, TextHasItsTopLeftCornerAtThePointAndTheGivenColour)
{
    const int back = MakeWorkspace(120, 60, kBlack);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    font.setBold(true);
    DrawPicText(back, font, RGB(255, 0, 0), 20, 10, QStringLiteral("TTT"));

    int top = INT_MAX, left = INT_MAX, lit = 0, fullRed = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const QRgb p = At(back, x, y);
            if (p == kBlack)
                continue;
            ++lit;
            top = std::min(top, y);
            left = std::min(left, x);
            EXPECT_EQ(p & 0xFFFF, 0u) << x << "," << y << " has green or blue";
            fullRed += qRed(p) == 255;
        }
    ASSERT_GT(lit, 0);
    EXPECT_GT(fullRed, 0);
    EXPECT_GE(top, 10);
    EXPECT_LE(top, 14) << "the capital's top sits just below the line's top";
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 23);
}

TEST_F(GraphicsTest, StopGraphicsEmptiesEverythingButLeavesBoxImages)
{
    PictureBox view(QStringLiteral("picViewPort"));
    PictureBox sheet(QStringLiteral("picKing"));
    sheet.SetPicture(BoxImage(2, 2, 0xFF010203u));
    const int v = NewViewport(&view, 8, 8);
    const int king = NewPicNum();
    AssignPic(king, &sheet);
    StopGraphics();
    EXPECT_TRUE(Graphics().Pics.empty());
    EXPECT_TRUE(Graphics().Viewports.empty());
    EXPECT_EQ(Surface(king), nullptr);
    EXPECT_EQ(ViewportPic(v), 0);
    EXPECT_EQ(sheet.Picture().pixel(1, 1), 0xFF010203u);
    FlipViewport(v);
    BlitPic(king, 0, 0, 2, 2, 0, 0, 0, SRCCOPY);
}

