// Drawing the board into the back buffer of the game's viewport. Nothing here
// flips: callers decide when a finished frame is shown (Show()).
#pragma once

#include <QFont>
#include <QString>
#include <QtGlobal>
#include <cstdint>

namespace Turrion {

// Gives every sprite sheet of the sprite window its picture number.
void LoadGraphics();
// Paints every sheet and the back buffer afresh at `scale` screen pixels per
// game pixel, under the same picture numbers.
void RescaleGraphics(double scale);
// The background and every piece.
void DrawBoard();
// The "Moves" panel with the two-digit MovesLeft, in the middle column, away
// from the cursor's half.
void DrawMovesPanel();
// The panel showing `moves` (a shot in flight counts down before it lands).
void DrawMovesPanel(int moves);
// Wipes the panel where it was last drawn (it is drawn by OR).
void EraseMovesPanel();
// The selector at the cursor cell.
void DrawSelector();
// The whole title picture.
void DrawTitle();
// A cell back to plain background.
void ClearCell(int col, int row);
// A piece sprite at a cell in a player's colour frame (any owner other than
// Blue draws Red's frame).
void DrawPieceSprite(int kind, int player, int col, int row);
// Tells the back buffer's contents apart: it changes whenever anything is
// drawn into it.
quint64 BackBufferKey();
// Text in the main window's font, top-left corner at (x, y); colour 0x00BBGGRR.
void DrawGameText(const QString& text, int x, int y, std::uint32_t colour);
// The cannonball frame at (frameX, frameY) of its sheet, ANDed at (x, y).
void DrawBallFrame(int frameX, int frameY, int x, int y);
// Shows the finished frame, unless the About picture is up: it stays on the
// screen until the player takes it away, whatever changes behind it.
void Show();
// Shows the title picture.
void ShowTitle();
// The usual full redraw: board, panel, selector, show.
void RedrawAll();

// The main window's font: Arial, 12 point, bold.
QFont MainFont();

// Everything above works in game pixels (the board is 360 by 280); the back
// buffer and the sheets have this many screen pixels per game pixel.
double PixelScale();
void SetPixelScale(double scale);

constexpr std::uint32_t White = 0x00FFFFFF;
constexpr std::uint32_t Yellow = 0x0000FFFF;

} // namespace Turrion
