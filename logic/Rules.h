// The rules a player meets during a turn, as plain operations on the game
// state. Nothing here draws, plays a sound or talks to NetPlay: each operation
// changes the state and reports what happened, and the key handler turns that
// into drawing and messages. So the rules can be exercised without a window.
#pragma once

#include "logic/GameState.h"


namespace Turrion::Rules {

// ---- The key gate ----------------------------------------------------------

enum class GateResult {
    Consume,      // the other NetPlay side is on turn, a shot is flying, or the
                  // latch is closed: the key is swallowed
    KeepOverlay,  // the title picture is up with no game or a finished game
    CloseOverlay, // the picture over a running game goes away
    NotInPlay,    // not the move phase: the key passes through untouched
    NoMoves,      // the move phase with no moves left: nothing works
    Open,         // the key table applies
};

GateResult KeyGate(const State& s, bool keyReady);

// ---- The key table ---------------------------------------------------------

enum class Command { None, Arrow, Tab, Fire };

struct KeyCommand {
    Command command = Command::None;
    int dCol = 0; // arrows: the step
    int dRow = 0;
    int power = 0; // digits 1..8
};

// What a virtual-key code means in the move phase. Keypad digits have codes
// of their own and mean nothing; so do the digits 0 and 9.
KeyCommand ClassifyKey(int keyCode);

// The arrow's edge test for the player on turn: the cursor may step that way
// without leaving the board or the player's half.
bool ArrowEdgeOk(const State& s, int dCol, int dRow);

// ---- Arrows: moves and walls -----------------------------------------------

enum class ArrowOutcome {
    EdgeRefused, // the edge test failed: nothing happened, the latch stays open
    Nothing,     // the latch closes but nothing moved or was built
    Moved,
    WallBuilt,
    WallRemoved,
};

struct ArrowResult {
    ArrowOutcome outcome = ArrowOutcome::EdgeRefused;
    int fromCol = 0, fromRow = 0; // the selected cell S
    int toCol = 0, toRow = 0;     // its neighbour T
    int kind = Empty;             // the piece that moved
};

// The whole arrow command on the state: edge test, then by the selected
// piece a plain move, a Builder move or (Builder with any modifier) a wall
// action. Board, Owner, the cursor and the moves are updated. A piece the
// player to move does not own does nothing (Nothing).
ArrowResult ApplyArrow(State& s, int dCol, int dRow, int modifiers);

// A King, Wizard or Cannon steps from the cursor onto the empty cell T; any
// occupant blocks. A Cannon keeps its kind. Returns false when blocked.
bool PlainMove(State& s, int toCol, int toRow);

enum class WallOutcome { Refused, Built, Removed };
// A Builder's wall action on the cell T next to it: build on an empty cell
// outside columns 3 and 5, remove a Wall of either side, refuse the rest.
WallOutcome WallAction(State& s, int col, int row);

// ---- Tab -------------------------------------------------------------------

// The next own selectable piece (King, Wizard, Builder, Cannon) after the
// cursor in reading order, wrapping round; the cursor's own cell comes last.
// Returns false (cell untouched) when the player has none.
bool NextOwnPiece(const State& s, int& col, int& row);
// Moves the cursor there; returns whether it found one.
bool SelectNextPiece(State& s);

// A cell the player on turn may select (by Tab or by a click).
bool Selectable(const State& s, int col, int row);

// ---- Cannon fire -----------------------------------------------------------

// +1 for Blue (shoots towards higher columns), -1 for Red.
int ShotDirection(int player);
// The reach of a shot from the cursor: the power, lowered to the moves left,
// then to what keeps the landing cell on the board. 0 means no shot at all,
// also when the cursor's cell is not the player's own.
int ShotReach(const State& s, int power);
// Where the ball comes down, as a distance from the Cannon: the first Wall
// (of either owner) within the reach, else the reach itself; other pieces
// are flown over. 0 when there is no shot (reach 0).
int ShotDistance(const State& s, int power);
// The same for a ball fired by `player` from (col, row) with `moves` in hand,
// whoever stands there: what a planner asks of a Cannon it may yet move.
int ShotReachFrom(int player, int col, int power, int moves);
int ShotDistanceFrom(const State& s, int player, int col, int row, int power, int moves);

enum class ShotEffect { KingHit, River, Burn };
struct ShotOutcome {
    ShotEffect effect = ShotEffect::River;
    int col = 0, row = 0;
};
// The landing at (col, row) by the player on turn: a King of either side ends
// the game (cursor onto it, game over); the middle column takes nothing; any
// other cell becomes Fire owned by the shooter, whatever stood there.
ShotOutcome ResolveShot(State& s, int col, int row);
// One shot, decided before anything moves: the ready Cannon under the cursor
// fires with power 1..8 and comes down `distance` cells away at (col, row).
// distance 0: there is no shot (no ready Cannon, no moves, nowhere to land).
struct ShotPlan {
    int distance = 0;
    int fromCol = 0, fromRow = 0;
    int col = 0, row = 0;
};
ShotPlan PlanShot(const State& s, int power);
// The shot leaves: its Cannon is marked as fired.
void StartShot(State& s, const ShotPlan& plan);
// The shot comes down: the cells flown cost one move each (the landing cell
// included), and the landing is resolved.
ShotOutcome FinishShot(State& s, const ShotPlan& plan);
// A whole shot without its flight: plan, start and finish at once. Every
// shot, a player's, the computer's or the opponent's planning, goes through
// these three; the window's flight only animates the plan between start and
// finish. Returns false, changing nothing, when there is no shot.
bool FireShot(State& s, int power, ShotOutcome* outcome = nullptr);

} // namespace Turrion::Rules
