#include "game/Drawing.h"
#include "game/Screen.h"

#include "logic/GameState.h"
#include "game/frmGraphics.h"
#include "engine/gui/PavixGDI.h"
#include "engine/gui/PictureBox.h"

#include <cmath>

using namespace PavixGDI;

namespace Turrion {

namespace {
double g_pixelScale = 1;

int BackBuffer() { return ViewportPic(TheScreen().ViewPort); }

// A game pixel's edge in pixels of the back buffer and the sheets. At a
// fractional scale (1.5 on a desktop scaled by 150 %) edges are floored, so
// that areas side by side still meet; cells and frames, multiples of 20,
// are whole at every scale the art paints.
int Px(int gamePixels)
{
    return int(std::floor(gamePixels * g_pixelScale));
}

// The raster operations in game pixels: the game draws on its 360 by 280
// board whatever the size of a pixel on the screen, and every sheet is
// painted at the same scale as the back buffer.
void Blit(int src, int srcX, int srcY, int width, int height, int dstX, int dstY,
          std::uint32_t rop)
{
    BlitPic(src, Px(srcX), Px(srcY), Px(dstX + width) - Px(dstX), Px(dstY + height) - Px(dstY),
            BackBuffer(), Px(dstX), Px(dstY), rop);
}

void Masked(int sheet, int frameX, int maskX, int dstX, int dstY)
{
    BlitMasked(sheet, Px(frameX), 0, Px(CellSize), Px(CellSize), sheet, Px(maskX), 0, BackBuffer(),
               Px(dstX), Px(dstY));
}

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

namespace {
// Every sheet's picture number with its box, in the order they are numbered.
template <typename Bind>
void ForEachSheet(Screen& v, Bind bind)
{
    frmGraphics* g = GraphicsForm();
    bind(v.PicTitle, g->picTitleScreen);
    bind(v.PicBackground, g->picBackground);
    bind(v.PieceSprite[King], g->picKing);
    bind(v.PieceSprite[Wizard], g->picWizard);
    bind(v.PieceSprite[Builder], g->picSmith);
    bind(v.PieceSprite[Wall], g->picWall);
    bind(v.PieceSprite[Fire], g->picFire);
    bind(v.PieceSprite[CannonReady], g->picCannon);
    bind(v.PicCannonBall, g->picCannonBall);
    bind(v.PicSelector, g->picSelector);
    bind(v.PicMoves, g->picMoves);
    bind(v.PicNumbers, g->picNumbers);
}
} // namespace

void LoadGraphics()
{
    Screen& v = TheScreen();
    ForEachSheet(v, [](int& n, PictureBox* box) {
        n = NewPicNum();
        AssignPic(n, box);
    });
    v.PieceSprite[CannonFired] = v.PieceSprite[CannonReady];
}

void RescaleGraphics(double scale)
{
    SetPixelScale(GraphicsForm()->PaintSheets(scale));
    // The engine keeps each picture's size: the repainted sheets are assigned
    // again under their numbers, and the back buffer is made at the new size.
    ForEachSheet(TheScreen(), [](int& n, PictureBox* box) { AssignPic(n, box); });
    if (TheScreen().ViewPort)
        CreateWorkspace(BackBuffer(), Px(ViewWidth), Px(ViewHeight));
}

void DrawPieceSprite(int kind, int player, int col, int row)
{
    if (kind < 1 || kind > 7)
        return;
    Masked(TheScreen().PieceSprite[kind], player == Blue ? 0 : 40, MaskX(kind, player), col * CellSize,
           row * CellSize);
}

void DrawBoard()
{
    const State& s = Game();
    Blit(TheScreen().PicBackground, 0, 0, ViewWidth, ViewHeight, 0, 0, SRCCOPY);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            if (s.Board[c][r] != Empty)
                DrawPieceSprite(s.Board[c][r], s.Owner[c][r], c, r);
}

void DrawMovesPanel()
{
    DrawMovesPanel(Game().MovesLeft);
}

void DrawMovesPanel(int moves)
{
    const State& s = Game();
    Screen& v = TheScreen();
    int tens = moves / 10;
    int units = moves % 10;
    v.MovesPanelX = 160;
    v.MovesPanelY = s.CursorRow < 4 ? 160 : 0;
    Blit(v.PicMoves, 0, 0, 40, 80, v.MovesPanelX, v.MovesPanelY, SRCPAINT);
    // The strip holds 0..9 only; a count outside 0..99 shows no digit rather
    // than reading beyond the strip.
    if (tens > 0 && tens <= 9)
        Blit(v.PicNumbers, 20 * tens, 0, 20, 40, v.MovesPanelX, v.MovesPanelY + 40, SRCPAINT);
    if (units >= 0)
        Blit(v.PicNumbers, 20 * units, 0, 20, 40, v.MovesPanelX + 20, v.MovesPanelY + 40, SRCPAINT);
}

void EraseMovesPanel()
{
    const Screen& v = TheScreen();
    Blit(v.PicBackground, v.MovesPanelX, v.MovesPanelY, 40, 80, v.MovesPanelX, v.MovesPanelY,
         SRCCOPY);
}

void DrawSelector()
{
    const State& s = Game();
    Masked(TheScreen().PicSelector, 0, 40, s.CursorCol * CellSize, s.CursorRow * CellSize);
}

void DrawTitle()
{
    Blit(TheScreen().PicTitle, 0, 0, ViewWidth, ViewHeight, 0, 0, SRCCOPY);
}

void ClearCell(int col, int row)
{
    Blit(TheScreen().PicBackground, col * CellSize, row * CellSize, CellSize, CellSize, col * CellSize,
         row * CellSize, SRCCOPY);
}

quint64 BackBufferKey()
{
    const QImage* back = Surface(BackBuffer());
    return back ? back->cacheKey() : 0;
}

void DrawGameText(const QString& text, int x, int y, std::uint32_t colour)
{
    QFont font = MainFont();
    font.setPixelSize(qRound(font.pixelSize() * g_pixelScale));
    DrawPicText(BackBuffer(), font, colour, Px(x), Px(y), text);
}

void DrawBallFrame(int frameX, int frameY, int x, int y)
{
    Blit(TheScreen().PicCannonBall, frameX, frameY, CellSize, CellSize, x, y, SRCAND);
}

double PixelScale()
{
    return g_pixelScale;
}

void SetPixelScale(double scale)
{
    g_pixelScale = scale >= 1 ? scale : 1; // also NaN
}

void Show()
{
    if (Game().GameState != PhaseOverlay)
        FlipViewport(TheScreen().ViewPort);
}

void ShowTitle()
{
    DrawTitle();
    FlipViewport(TheScreen().ViewPort);
}

void RedrawAll()
{
    DrawBoard();
    DrawMovesPanel();
    DrawSelector();
    Show();
}

} // namespace Turrion
