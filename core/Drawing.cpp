#include "core/Drawing.h"

#include "core/GameState.h"
#include "core/frmGraphics.h"
#include "engine/PavixGDI.h"
#include "engine/PictureBox.h"

using namespace PavixGDI;

namespace Turrion {

namespace {
int BackBuffer() { return ViewportPic(Game().ViewPort); }

int MaskX(int kind, int player)
{
    if (kind == CannonReady || kind == CannonFired)
        return player == Blue ? 80 : 120;
    return 80;
}
} // namespace

QFont MainFont()
{
    // 12 points at the usual 96 dots per inch. Set in pixels so the board's
    // texts come out the same size whatever the screen reports.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

void LoadGraphics()
{
    State& s = Game();
    frmGraphics* g = GraphicsForm();
    auto bind = [](PictureBox* box) {
        int n = NewPicNum();
        AssignPic(n, box);
        return n;
    };
    s.PicTitle = bind(g->picTitleScreen);
    s.PicBackground = bind(g->picBackground);
    s.PieceSprite[King] = bind(g->picKing);
    s.PieceSprite[Wizard] = bind(g->picWizard);
    s.PieceSprite[Builder] = bind(g->picSmith);
    s.PieceSprite[Wall] = bind(g->picWall);
    s.PieceSprite[Fire] = bind(g->picFire);
    s.PieceSprite[CannonReady] = bind(g->picCannon);
    s.PieceSprite[CannonFired] = s.PieceSprite[CannonReady];
    s.PicCannonBall = bind(g->picCannonBall);
    s.PicSelector = bind(g->picSelector);
    s.PicMoves = bind(g->picMoves);
    s.PicNumbers = bind(g->picNumbers);
}

void DrawPieceSprite(int kind, int player, int col, int row)
{
    const State& s = Game();
    if (kind < 1 || kind > 7)
        return;
    int sheet = s.PieceSprite[kind];
    int frameX = player == Blue ? 0 : 40;
    BlitMasked(sheet, frameX, 0, CellSize, CellSize, sheet, MaskX(kind, player), 0, BackBuffer(),
               col * CellSize, row * CellSize);
}

void DrawBoard()
{
    const State& s = Game();
    BlitPic(s.PicBackground, 0, 0, ViewWidth, ViewHeight, BackBuffer(), 0, 0, SRCCOPY);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            if (s.Board[c][r] != Empty)
                DrawPieceSprite(s.Board[c][r], s.Owner[c][r], c, r);
}

void DrawMovesPanel()
{
    State& s = Game();
    int tens = s.MovesLeft / 10;
    int units = s.MovesLeft % 10;
    s.MovesPanelX = 160;
    s.MovesPanelY = s.CursorRow < 4 ? 160 : 0;
    int dst = BackBuffer();
    BlitPic(s.PicMoves, 0, 0, 40, 80, dst, s.MovesPanelX, s.MovesPanelY, SRCPAINT);
    // The strip holds 0..9 only; a count outside 0..99 shows no digit rather
    // than reading beyond the strip.
    if (tens > 0 && tens <= 9)
        BlitPic(s.PicNumbers, 20 * tens, 0, 20, 40, dst, s.MovesPanelX, s.MovesPanelY + 40, SRCPAINT);
    if (units >= 0)
        BlitPic(s.PicNumbers, 20 * units, 0, 20, 40, dst, s.MovesPanelX + 20, s.MovesPanelY + 40,
                SRCPAINT);
}

void EraseMovesPanel()
{
    const State& s = Game();
    BlitPic(s.PicBackground, s.MovesPanelX, s.MovesPanelY, 40, 80, BackBuffer(), s.MovesPanelX,
            s.MovesPanelY, SRCCOPY);
}

void DrawSelector()
{
    const State& s = Game();
    BlitMasked(s.PicSelector, 0, 0, CellSize, CellSize, s.PicSelector, 40, 0, BackBuffer(),
               s.CursorCol * CellSize, s.CursorRow * CellSize);
}

void DrawTitle()
{
    BlitPic(Game().PicTitle, 0, 0, ViewWidth, ViewHeight, BackBuffer(), 0, 0, SRCCOPY);
}

void ClearCell(int col, int row)
{
    BlitPic(Game().PicBackground, col * CellSize, row * CellSize, CellSize, CellSize, BackBuffer(),
            col * CellSize, row * CellSize, SRCCOPY);
}

void DrawGameText(const QString& text, int x, int y, std::uint32_t colour)
{
    DrawPicText(BackBuffer(), MainFont(), colour, x, y, text);
}

void Show()
{
    if (Game().GameState != PhaseOverlay)
        FlipViewport(Game().ViewPort);
}

void ShowTitle()
{
    DrawTitle();
    FlipViewport(Game().ViewPort);
}

void RedrawAll()
{
    DrawBoard();
    DrawMovesPanel();
    DrawSelector();
    Show();
}

} // namespace Turrion
