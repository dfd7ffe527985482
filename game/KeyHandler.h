// The key handler's actions without the key gate and the latch. The
// computer plays its turn through them, so that its moves, Walls and shots
// are drawn, sent and sounded exactly as a player's keys would do them.
#pragma once

namespace Turrion {

class frmMain;

// An arrow with the piece under the cursor: a move, or with `shift` (a
// Builder) a Wall built or removed. False when the step would leave the
// board or the player's half (the key is then not used up).
bool PlayArrow(int dCol, int dRow, int shift);
// One of the player's own pieces selected, as a click selects it.
void PlaySelect(int col, int row);
// The ready Cannon under the cursor fires with power 1..8; the Game, Turn
// and Help menus are locked while the ball flies.
void PlayShot(frmMain& form, int power);

} // namespace Turrion
