// What the board drawing puts into the back buffer, pixel for pixel, against
// the art painted at the same scale, and when it reaches the screen.
#include "art/Art.h"
#include "game/Screen.h"
#include "game/Drawing.h"
#include "game/frmMain.h"
#include "engine/gui/PictureBox.h"
#include "tests/support/TestSupport.h"

#include <map>
#include <tuple>

using namespace Turrion;
using A = Art::Sheet;

namespace {

bool SameRgb(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// The art at a scale, painted once.
const QImage& Painted(A sheet, double k)
{
    static std::map<std::pair<A, double>, QImage> painted;
    auto [at, isNew] = painted.try_emplace({sheet, k});
    return isNew ? at->second = Art::Paint(sheet, k) : at->second;
}

// The cell at `k` screen pixels per game pixel (whole at the art's quarter steps).
int Px(int gamePixels, double k) { return int(gamePixels * k); }
QImage CellAt(const QImage& image, int col, int row, double k)
{
    return image.copy(Px(col * 40, k), Px(row * 40, k), Px(40, k), Px(40, k));
}

// The cell as a masked draw must leave it: background AND mask, OR sprite.
QImage Composite(int col, int row, A sheet, int frameX, int maskX, double k)
{
    const QImage& art = Painted(sheet, k);
    QImage out = CellAt(Painted(A::Background, k), col, row, k);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, (out.pixel(x, y) & art.pixel(Px(maskX, k) + x, y)) | art.pixel(Px(frameX, k) + x, y));
    return out;
}

using Drawing = TestSupport::GameTest;

} // namespace

TEST_F(Drawing, PiecesAndTheSelectorAppearInTheirFramesAtEveryZoomOnceShown)
{
    EXPECT_TRUE(SameRgb(Screen(), Painted(A::Title, 1))) << "start-up shows the title picture";
    const struct { int col, row, owner, piece; A art; int frameX, maskX; } pieces[] = {
        {1, 2, Blue, King, A::King, 0, 80},          {7, 2, Red, King, A::King, 40, 80},
        {2, 4, NoPlayer, Wall, A::Wall, 40, 80},     // no owner: Red's frame
        {3, 5, Blue, Wizard, A::Wizard, 0, 80},      {5, 5, Red, Builder, A::Builder, 40, 80},
        {6, 6, Blue, Fire, A::Fire, 0, 80},          {0, 0, Blue, CannonReady, A::Cannon, 0, 80},
        {0, 6, Blue, CannonFired, A::Cannon, 0, 80}, {8, 0, Red, CannonReady, A::Cannon, 40, 120},
    };
    S().GameState = PhaseMove;
    // Sheets and back buffer are painted at the zoom: the same picture; also
    // at 1.5, a desktop scaled by 150 % (pixels of the view at 1x).
    for (double k : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(k);
        const int zoom = int(k);
        form->SetZoom(zoom); // shows the board with the selector where it was
        if (k != zoom) {
            form->picViewPort->SetPixelRatio(k / zoom);
            RescaleGraphics(k);
        }
        S().CursorCol = 2 + zoom, S().CursorRow = 3;
        ClearBoard();
        for (const auto& p : pieces)
            Put(p.col, p.row, p.owner, p.piece);
        DrawBoard();
        for (const auto& p : pieces)
            EXPECT_TRUE(SameRgb(CellAt(BackBuffer(), p.col, p.row, k), Composite(p.col, p.row, p.art, p.frameX, p.maskX, k)))
                << p.col << "," << p.row;
        EXPECT_TRUE(SameRgb(CellAt(BackBuffer(), 4, 4, k), CellAt(Painted(A::Background, k), 4, 4, k))) << "empty";
        DrawSelector();
        EXPECT_TRUE(SameRgb(CellAt(BackBuffer(), 2 + zoom, 3, k), Composite(2 + zoom, 3, A::Selector, 0, 40, k)));
        EXPECT_FALSE(SameRgb(Screen(), BackBuffer())) << "nothing reaches the screen before Show";
        Show();
        EXPECT_TRUE(SameRgb(Screen(), BackBuffer()));
    }
}

TEST_F(Drawing, MovesPanelShowsOneOrTwoDigitsAwayFromTheCursor)
{
    const QImage &panel = Painted(A::Moves, 1), &digits = Painted(A::Numbers, 1);
    ClearBoard();
    // The cursor in rows 0 to 3 puts the panel at y 160, below them at y 0.
    for (auto [row, moves, y] : {std::tuple(3, 7, 160), std::tuple(3, 10, 160), std::tuple(0, 0, 160),
                                 std::tuple(4, 42, 0)}) {
        S().CursorRow = row;
        S().MovesLeft = moves;
        DrawBoard();
        DrawMovesPanel();
        EXPECT_EQ(std::pair(TheScreen().MovesPanelX, TheScreen().MovesPanelY), std::pair(160, y));
        // The background OR the panel, OR the tens (none below 10) and the units.
        QImage want = Painted(A::Background, 1).copy(160, y, 40, 80);
        for (int py = 0; py < 80; ++py)
            for (int px = 0; px < 40; ++px) {
                QRgb v = want.pixel(px, py) | panel.pixel(px, py);
                if (py >= 40 && (px >= 20 || moves >= 10))
                    v |= digits.pixel(20 * (px < 20 ? moves / 10 : moves % 10) + px % 20, py - 40);
                want.setPixel(px, py, v);
            }
        EXPECT_TRUE(SameRgb(BackBuffer().copy(160, y, 40, 80), want)) << moves;
        EraseMovesPanel();
        EXPECT_TRUE(SameRgb(BackBuffer(), Painted(A::Background, 1))) << "erasing restores the background";
    }
}
