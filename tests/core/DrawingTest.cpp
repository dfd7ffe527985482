// What the board drawing puts into the back buffer, pixel for pixel.
#include "assets/Art.h"
#include "core/Drawing.h"
#include "core/frmGraphics.h"
#include "core/frmMain.h"
#include "engine/PavixGDI.h"
#include "engine/PictureBox.h"
#include "tests/TestSupport.h"

#include <utility>

using namespace Turrion;

namespace {

const QImage& Sheet(PictureBox* box) { return box->Picture(); }

// The cell as a masked draw must leave it: background AND mask, OR sprite,
// at the current number of screen pixels per game pixel.
QImage Composite(const QImage& background, int col, int row, const QImage& sheet, int frameX,
                 int maskX)
{
    const int k = PixelScale(), n = 40 * k;
    QImage out = background.copy(col * n, row * n, n, n).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            QRgb bg = out.pixel(x, y) & 0xFFFFFF;
            QRgb mask = sheet.pixel(maskX * k + x, y) & 0xFFFFFF;
            QRgb sprite = sheet.pixel(frameX * k + x, y) & 0xFFFFFF;
            out.setPixel(x, y, 0xFF000000 | ((bg & mask) | sprite));
        }
    return out;
}

bool SameRgb(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

class Drawing : public TestSupport::GameTest {
protected:
    const QImage& Background() { return Sheet(GraphicsForm()->picBackground); }

    // The 40x80 panel region as DrawMovesPanel must leave it over the
    // background for a count.
    QImage ExpectedPanel(int moves, int panelY)
    {
        QImage out = Background().copy(160, panelY, 40, 80);
        const QImage& panel = Sheet(GraphicsForm()->picMoves);
        const QImage& digits = Sheet(GraphicsForm()->picNumbers);
        auto orRect = [&](const QImage& src, int sx, int sy, int w, int h, int dx, int dy) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    out.setPixel(dx + x, dy + y,
                                 0xFF000000 | (out.pixel(dx + x, dy + y) | src.pixel(sx + x, sy + y)));
        };
        orRect(panel, 0, 0, 40, 80, 0, 0);
        if (moves / 10 > 0)
            orRect(digits, 20 * (moves / 10), 0, 20, 40, 0, 40);
        orRect(digits, 20 * (moves % 10), 0, 20, 40, 20, 40);
        return out;
    }
};

} // namespace

TEST_F(Drawing, SpriteNumbersFollowTheLoadingOrder)
{
    // Sprite numbers follow the viewport's back buffer in loading order.
    EXPECT_EQ(PavixGDI::ViewportPic(S().ViewPort), 0);
    EXPECT_EQ(S().PicTitle, 1);
    EXPECT_EQ(S().PicBackground, 2);
    EXPECT_EQ(S().PieceSprite[CannonFired], S().PieceSprite[CannonReady]);
    EXPECT_EQ(S().PicNumbers, 12);
}

TEST_F(Drawing, SheetsRepaintInPlaceAtAnotherScale)
{
    frmGraphics* g = GraphicsForm();
    const std::pair<PictureBox*, Art::Sheet> boxes[] = {
        {g->picTitleScreen, Art::Sheet::Title}, {g->picBackground, Art::Sheet::Background},
        {g->picKing, Art::Sheet::King},         {g->picWizard, Art::Sheet::Wizard},
        {g->picSmith, Art::Sheet::Smith},       {g->picWall, Art::Sheet::Wall},
        {g->picFire, Art::Sheet::Fire},         {g->picCannon, Art::Sheet::Cannon},
        {g->picCannonBall, Art::Sheet::CannonBall}, {g->picSelector, Art::Sheet::Selector},
        {g->picMoves, Art::Sheet::Moves},       {g->picNumbers, Art::Sheet::Numbers},
        {g->picGrass, Art::Sheet::Grass},
    };
    const QImage* kingPicture = &g->picKing->Picture();
    for (int scale : {2, 1}) {
        EXPECT_EQ(g->PaintSheets(scale), scale);
        for (const auto& [box, art] : boxes) {
            const std::string name = box->ControlName().toStdString();
            EXPECT_TRUE(box->Picture() == Art::Paint(art, scale)) << name;
            EXPECT_EQ(box->size(), Art::BaseSize(art) * scale) << name;
        }
    }
    EXPECT_EQ(&g->picKing->Picture(), kingPicture) << "the engine draws from the same image";
}

TEST_F(Drawing, PiecesAppearInTheirOwnersFramesAndLeaveTheBoardVisible)
{
    // At 2x too: sheets and back buffer painted at the zoom, the same picture.
    for (int zoom : {1, 2}) {
        SCOPED_TRACE(zoom);
        form->SetZoom(zoom);
        ASSERT_EQ(PixelScale(), zoom);
        const auto Cell = [zoom](const QImage& image, int col, int row) {
            return image.copy(col * 40 * zoom, row * 40 * zoom, 40 * zoom, 40 * zoom);
        };
        ClearBoard();
        Put(1, 2, Blue, King);
        Put(7, 2, Red, King);
        Put(2, 4, NoPlayer, Wall); // no owner: Red's frame
        Put(0, 0, Blue, CannonReady);
        Put(0, 6, Blue, CannonFired);
        Put(8, 0, Red, CannonReady);
        DrawBoard();
        const QImage& bb = BackBuffer();
        const QImage& king = Sheet(GraphicsForm()->picKing);
        const QImage& wall = Sheet(GraphicsForm()->picWall);
        const QImage& cannon = Sheet(GraphicsForm()->picCannon);
        EXPECT_TRUE(SameRgb(Cell(bb, 1, 2), Composite(Background(), 1, 2, king, 0, 80)));
        EXPECT_TRUE(SameRgb(Cell(bb, 7, 2), Composite(Background(), 7, 2, king, 40, 80)));
        EXPECT_FALSE(SameRgb(Composite(Background(), 1, 2, king, 0, 80),
                             Composite(Background(), 1, 2, king, 40, 80)))
            << "the two sides must look different";
        EXPECT_TRUE(SameRgb(Cell(bb, 2, 4), Composite(Background(), 2, 4, wall, 40, 80)));
        EXPECT_TRUE(SameRgb(Cell(bb, 8, 0), Composite(Background(), 8, 0, cannon, 40, 120)));
        // A ready and a fired Cannon of the same player look the same.
        EXPECT_TRUE(SameRgb(Cell(bb, 0, 0).copy(), Composite(Background(), 0, 0, cannon, 0, 80)));
        EXPECT_TRUE(SameRgb(Composite(Background(), 0, 6, cannon, 0, 80), Cell(bb, 0, 6)));
        // Empty cells are plain background.
        EXPECT_TRUE(SameRgb(Cell(bb, 3, 3), Cell(Background(), 3, 3)));
    }
}

TEST_F(Drawing, MovesPanelShowsOneOrTwoDigitsAwayFromTheCursor)
{
    ClearBoard();
    S().CursorRow = 3;
    for (int moves : {7, 10, 0, 42}) {
        DrawBoard();
        S().MovesLeft = moves;
        DrawMovesPanel();
        EXPECT_EQ(S().MovesPanelX, 160);
        EXPECT_EQ(S().MovesPanelY, 160);
        EXPECT_TRUE(SameRgb(BackBuffer().copy(160, 160, 40, 80), ExpectedPanel(moves, 160))) << moves;
    }
    // With 7 the tens place stays bare background.
    DrawBoard();
    S().MovesLeft = 7;
    DrawMovesPanel();
    QImage withoutTens = ExpectedPanel(7, 160);
    EXPECT_TRUE(SameRgb(BackBuffer().copy(160, 200, 20, 40), withoutTens.copy(0, 40, 20, 40)));

    // Cursor from row 3 to row 4: the panel jumps from y 160 to y 0.
    EraseMovesPanel();
    EXPECT_TRUE(SameRgb(BackBuffer().copy(160, 160, 40, 80), Background().copy(160, 160, 40, 80)))
        << "erasing restores the background";
    S().CursorRow = 4;
    DrawMovesPanel();
    EXPECT_EQ(S().MovesPanelY, 0);
    EXPECT_TRUE(SameRgb(BackBuffer().copy(160, 0, 40, 80), ExpectedPanel(7, 0)));
    EXPECT_TRUE(SameRgb(BackBuffer().copy(160, 160, 40, 80), Background().copy(160, 160, 40, 80)));
}

TEST_F(Drawing, SelectorTitleAndTextsReachTheScreenOnlyOnShow)
{
    ClearBoard();
    S().GameState = PhaseMove;
    S().CursorCol = 2;
    S().CursorRow = 5;
    DrawBoard();
    DrawSelector();
    const QImage& sel = Sheet(GraphicsForm()->picSelector);
    EXPECT_TRUE(SameRgb(Cell(BackBuffer(), 2, 5), Composite(Background(), 2, 5, sel, 0, 40)));
    EXPECT_FALSE(SameRgb(Screen(), BackBuffer())) << "nothing is drawn on the screen before Show";
    Show();
    EXPECT_TRUE(SameRgb(Screen(), BackBuffer()));

    DrawGameText("End of Turn ...", 20, 20, White);
    int white = 0;
    for (int y = 20; y < 45; ++y)
        for (int x = 20; x < 200; ++x)
            white += (BackBuffer().pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_GT(white, 50);

    DrawTitle();
    EXPECT_TRUE(SameRgb(BackBuffer(), Sheet(GraphicsForm()->picTitleScreen)));
}

TEST_F(Drawing, StartUpShowsTheTitlePicture)
{
    EXPECT_TRUE(SameRgb(Screen(), Sheet(GraphicsForm()->picTitleScreen)));
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_EQ(S().ResumeState, PhaseNone);
}
