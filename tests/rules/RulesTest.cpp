// The rules on a bare game state, without a window.
#include "core/GameState.h"
#include "core/frmMain.h"
#include "rules/Rules.h"

#include <gtest/gtest.h>

using namespace Turrion;
using namespace Turrion::Rules;

namespace {

State MovePhase(int player, int moves)
{
    State s;
    s.CurrentPlayer = player;
    s.MovesLeft = moves;
    s.GameState = PhaseMove;
    s.ResumeState = PhaseMove;
    s.TurnNumber = 1;
    return s;
}

void Put(State& s, int c, int r, int owner, int piece)
{
    s.Owner[c][r] = owner;
    s.Board[c][r] = piece;
}

void Select(State& s, int c, int r)
{
    s.CursorCol = c;
    s.CursorRow = r;
}

} // namespace

TEST(KeyGateTest, OrderOfTheChecks)
{
    State s = MovePhase(Blue, 5);
    EXPECT_EQ(KeyGate(s, true), GateResult::Open);
    EXPECT_EQ(KeyGate(s, false), GateResult::Consume);
    s.Busy = true;
    EXPECT_EQ(KeyGate(s, true), GateResult::Consume);
    s.Busy = false;
    // The other NetPlay side is on turn: swallowed even with the overlay up.
    s.NetGame = true;
    s.NetGameColor = Red;
    s.GameState = PhaseOverlay;
    EXPECT_EQ(KeyGate(s, true), GateResult::Consume);
    s.NetGameColor = Blue;
    for (int resume : {0, 4})
    {
        s.ResumeState = resume;
        EXPECT_EQ(KeyGate(s, true), GateResult::KeepOverlay) << resume;
    }
    for (int resume : {1, 2})
    {
        s.ResumeState = resume;
        EXPECT_EQ(KeyGate(s, true), GateResult::CloseOverlay) << resume;
    }
    s.GameState = PhaseTurnStart;
    EXPECT_EQ(KeyGate(s, true), GateResult::NotInPlay);
    s.GameState = PhaseGameOver;
    EXPECT_EQ(KeyGate(s, true), GateResult::NotInPlay);
    s.GameState = PhaseMove;
    s.MovesLeft = 0;
    EXPECT_EQ(KeyGate(s, true), GateResult::NoMoves);
    s.MovesLeft = -1;
    EXPECT_EQ(KeyGate(s, true), GateResult::NoMoves);
}

TEST(KeyTableTest, CodesAndCommands)
{
    EXPECT_EQ(ClassifyKey(38).command, Command::Arrow);
    EXPECT_EQ(ClassifyKey(38).dRow, -1);
    EXPECT_EQ(ClassifyKey(40).dRow, 1);
    EXPECT_EQ(ClassifyKey(37).dCol, -1);
    EXPECT_EQ(ClassifyKey(39).dCol, 1);
    EXPECT_EQ(ClassifyKey(9).command, Command::Tab);
    for (int code = 49; code <= 56; ++code) {
        EXPECT_EQ(ClassifyKey(code).command, Command::Fire);
        EXPECT_EQ(ClassifyKey(code).power, code - 48);
    }
    // 0, 9, keypad digits and letters do nothing.
    for (int code : {48, 57, 96, 97, 104, 105, 65, 13, 0, 255})
        EXPECT_EQ(ClassifyKey(code).command, Command::None) << code;
}

TEST(MovementTest, HalvesEdgesAndTheMiddleColumn)
{
    State s = MovePhase(Blue, 9);
    Put(s, 3, 2, Blue, King);
    Select(s, 3, 2);
    EXPECT_FALSE(ArrowEdgeOk(s, 1, 0)); // never into column 4
    EXPECT_EQ(ApplyArrow(s, 1, 0, 0).outcome, ArrowOutcome::EdgeRefused);
    EXPECT_TRUE(ArrowEdgeOk(s, -1, 0));
    Select(s, 0, 0);
    EXPECT_FALSE(ArrowEdgeOk(s, -1, 0));
    EXPECT_FALSE(ArrowEdgeOk(s, 0, -1));
    Select(s, 0, 6);
    EXPECT_FALSE(ArrowEdgeOk(s, 0, 1));
    EXPECT_TRUE(ArrowEdgeOk(s, 0, -1));

    s.CurrentPlayer = Red;
    Select(s, 5, 3);
    EXPECT_FALSE(ArrowEdgeOk(s, -1, 0));
    EXPECT_TRUE(ArrowEdgeOk(s, 1, 0));
    Select(s, 8, 3);
    EXPECT_FALSE(ArrowEdgeOk(s, 1, 0));
    EXPECT_TRUE(ArrowEdgeOk(s, -1, 0));
    // A cursor off the board (a damaged game) acts on nothing.
    Select(s, 12, 3);
    EXPECT_FALSE(ArrowEdgeOk(s, -1, 0));
}

TEST(MovementTest, PlainMoveCostsOneAndAnyOccupantBlocks)
{
    State s = MovePhase(Blue, 4);
    s.FreshTurn = true;
    Put(s, 1, 3, Blue, King);
    Select(s, 1, 3);
    ArrowResult r = ApplyArrow(s, 0, -1, 0);
    EXPECT_EQ(r.outcome, ArrowOutcome::Moved);
    EXPECT_EQ(r.kind, King);
    EXPECT_EQ(s.Board[1][2], King);
    EXPECT_EQ(s.Owner[1][2], Blue);
    EXPECT_EQ(s.Board[1][3], Empty);
    EXPECT_EQ(s.Owner[1][3], NoPlayer);
    EXPECT_EQ(s.CursorRow, 2);
    EXPECT_EQ(s.MovesLeft, 3);
    EXPECT_FALSE(s.FreshTurn);

    // Own Wall, enemy Fire, own Wizard, enemy Wall: all block, nothing spent.
    Put(s, 1, 1, Blue, Wall);
    Put(s, 0, 2, Red, Fire);
    Put(s, 2, 2, Blue, Wizard);
    Put(s, 1, 3, Red, Wall);
    for (auto [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}}) {
        r = ApplyArrow(s, dc, dr, 0);
        EXPECT_EQ(r.outcome, ArrowOutcome::Nothing);
    }
    EXPECT_EQ(s.MovesLeft, 3);
    EXPECT_EQ(s.CursorCol, 1);
    EXPECT_EQ(s.CursorRow, 2);

    // A Cannon that has fired keeps its kind; Shift does not matter for it.
    Put(s, 2, 5, Blue, CannonFired);
    Select(s, 2, 5);
    r = ApplyArrow(s, 1, 0, ShiftMask);
    EXPECT_EQ(r.outcome, ArrowOutcome::Moved);
    EXPECT_EQ(s.Board[3][5], CannonFired);
    EXPECT_EQ(s.MovesLeft, 2);

    // Arrows on a cell holding no movable piece do nothing (but are taken).
    Put(s, 0, 6, Blue, Wall);
    Select(s, 0, 6);
    EXPECT_EQ(ApplyArrow(s, 1, 0, 0).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(s.MovesLeft, 2);
}

TEST(WallTest, BuildRemoveAndTheColumnRule)
{
    State s = MovePhase(Blue, 9);
    Put(s, 2, 3, Blue, Builder);
    Select(s, 2, 3);
    // Right from column 2 would build in column 3: refused, nothing spent.
    EXPECT_EQ(ApplyArrow(s, 1, 0, CtrlMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(s.Board[3][3], Empty);
    EXPECT_EQ(s.MovesLeft, 9);
    // Alt alone counts as a modifier; the Builder stays put and selected.
    EXPECT_EQ(ApplyArrow(s, 0, -1, AltMask).outcome, ArrowOutcome::WallBuilt);
    EXPECT_EQ(s.Board[2][2], Wall);
    EXPECT_EQ(s.Owner[2][2], Blue);
    EXPECT_EQ(s.Board[2][3], Builder);
    EXPECT_EQ(s.CursorCol, 2);
    EXPECT_EQ(s.CursorRow, 3);
    EXPECT_EQ(s.MovesLeft, 8);
    // Again: the Wall comes down; again: it goes back up.
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::WallRemoved);
    EXPECT_EQ(s.Board[2][2], Empty);
    EXPECT_EQ(s.Owner[2][2], NoPlayer);
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::WallBuilt);
    EXPECT_EQ(s.MovesLeft, 6);
    // A Wall of the other side comes down just the same.
    Put(s, 1, 3, Red, Wall);
    EXPECT_EQ(ApplyArrow(s, -1, 0, ShiftMask).outcome, ArrowOutcome::WallRemoved);
    EXPECT_EQ(s.Board[1][3], Empty);
    // Own King, Cannon, Fire: refused.
    Put(s, 2, 4, Blue, King);
    EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing);
    Put(s, 2, 4, Blue, CannonReady);
    EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing);
    Put(s, 2, 4, Red, Fire);
    EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(s.MovesLeft, 5);
    // Without a modifier the Builder walks.
    Put(s, 2, 4, NoPlayer, Empty);
    EXPECT_EQ(ApplyArrow(s, 0, 1, 0).outcome, ArrowOutcome::Moved);
    EXPECT_EQ(s.Board[2][4], Builder);
    EXPECT_EQ(s.Owner[2][4], Blue);
    EXPECT_EQ(s.Board[2][3], Empty);
    EXPECT_EQ(s.CursorRow, 4);

    // A Builder in column 3: up and down would build in column 3.
    Put(s, 3, 4, Blue, Builder);
    Select(s, 3, 4);
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing);
    Put(s, 2, 4, NoPlayer, Empty);
    EXPECT_EQ(ApplyArrow(s, -1, 0, ShiftMask).outcome, ArrowOutcome::WallBuilt);
    // Shift+Up in row 0 fails the edge test.
    Select(s, 3, 0);
    Put(s, 3, 0, Blue, Builder);
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::EdgeRefused);

    // Red: Left from column 6 would build in column 5.
    State red = MovePhase(Red, 3);
    Put(red, 6, 2, Red, Builder);
    Select(red, 6, 2);
    EXPECT_EQ(ApplyArrow(red, -1, 0, ShiftMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(ApplyArrow(red, 1, 0, ShiftMask).outcome, ArrowOutcome::WallBuilt);
    EXPECT_EQ(red.Owner[7][2], Red);
    EXPECT_EQ(red.MovesLeft, 2);
}

TEST(TabTest, ReadingOrderWrapAndEligibility)
{
    State s = MovePhase(Red, 3);
    Put(s, 8, 1, Red, King);
    Put(s, 6, 0, Red, Wall);       // never selected
    Put(s, 7, 2, Red, Fire);       // never selected
    Put(s, 5, 2, Blue, Wizard);    // not Red's
    Put(s, 6, 4, Red, CannonFired); // fired Cannons are selectable
    Put(s, 5, 6, Red, Builder);
    Put(s, 7, 5, Red, Wizard);
    Select(s, 8, 1);
    std::vector<std::pair<int, int>> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SelectNextPiece(s));
        seen.push_back({s.CursorCol, s.CursorRow});
    }
    const std::vector<std::pair<int, int>> expected = {{6, 4}, {7, 5}, {5, 6}, {8, 1}, {6, 4}};
    EXPECT_EQ(seen, expected);

    // One own piece: Tab stays on it.
    State lone = MovePhase(Blue, 3);
    Put(lone, 2, 6, Blue, King);
    Put(lone, 1, 1, Blue, Wall);
    Select(lone, 2, 6);
    ASSERT_TRUE(SelectNextPiece(lone));
    EXPECT_EQ(lone.CursorCol, 2);
    EXPECT_EQ(lone.CursorRow, 6);
    // None at all: the cursor stays.
    State none = MovePhase(Blue, 3);
    Select(none, 3, 3);
    EXPECT_FALSE(SelectNextPiece(none));
    EXPECT_EQ(none.CursorCol, 3);
}

TEST(ShotTest, RangeByPowerMovesEdgeAndFirstWall)
{
    State s = MovePhase(Blue, 8);
    Put(s, 3, 2, Blue, CannonFired);
    Select(s, 3, 2);
    // Power 8 from column 3: the board's edge keeps it at 5 (column 8).
    EXPECT_EQ(ShotReach(s, 8), 5);
    EXPECT_EQ(ShotDistance(s, 8), 5);
    // Moves left bound it.
    s.MovesLeft = 3;
    EXPECT_EQ(ShotDistance(s, 8), 3);
    s.MovesLeft = 1;
    EXPECT_EQ(ShotDistance(s, 3), 1);
    s.MovesLeft = 8;
    EXPECT_EQ(ShotDistance(s, 2), 2);
    // Pieces other than Walls are flown over, Kings included.
    Put(s, 5, 2, Red, King);
    Put(s, 6, 2, Red, Wizard);
    EXPECT_EQ(ShotDistance(s, 4), 4);
    // The first Wall of either side stops it; one beyond the reach does not.
    Put(s, 7, 2, Red, Wall);
    EXPECT_EQ(ShotDistance(s, 8), 4);
    EXPECT_EQ(ShotDistance(s, 3), 3);
    Put(s, 6, 2, Blue, Wall);
    EXPECT_EQ(ShotDistance(s, 8), 3);
    // A Wall right next to the Cannon: distance 1.
    Put(s, 4, 2, Red, Wall);
    EXPECT_EQ(ShotDistance(s, 8), 1);

    State red = MovePhase(Red, 9);
    Put(red, 5, 0, Red, CannonReady);
    Select(red, 5, 0);
    EXPECT_EQ(ShotDirection(Red), -1);
    EXPECT_EQ(ShotDistance(red, 8), 5); // comes down in column 0
    Put(red, 2, 0, Blue, Wall);
    EXPECT_EQ(ShotDistance(red, 8), 3);

    // A Cannon facing the edge (only from a damaged game file) cannot fire.
    State edge = MovePhase(Blue, 5);
    Put(edge, 8, 0, Blue, CannonReady);
    Select(edge, 8, 0);
    EXPECT_EQ(ShotReach(edge, 3), 0);
    EXPECT_EQ(ShotDistance(edge, 3), 0);
}

TEST(ShotTest, OutcomeOnTheLandingCell)
{
    State s = MovePhase(Red, 4);
    Select(s, 6, 3);
    Put(s, 2, 3, Blue, Builder);
    ShotOutcome o = ResolveShot(s, 2, 3);
    EXPECT_EQ(o.effect, ShotEffect::Burn);
    EXPECT_EQ(s.Board[2][3], Fire);
    EXPECT_EQ(s.Owner[2][3], Red);
    // An empty cell burns too; the middle column never does.
    EXPECT_EQ(ResolveShot(s, 1, 3).effect, ShotEffect::Burn);
    EXPECT_EQ(s.Owner[1][3], Red);
    EXPECT_EQ(ResolveShot(s, 4, 3).effect, ShotEffect::River);
    EXPECT_EQ(s.Board[4][3], Empty);
    EXPECT_EQ(s.GameState, PhaseMove);
    // A King of either colour ends the game; the cursor goes onto it and the
    // board keeps the King.
    Put(s, 7, 3, Red, King);
    o = ResolveShot(s, 7, 3);
    EXPECT_EQ(o.effect, ShotEffect::KingHit);
    EXPECT_EQ(s.Board[7][3], King);
    EXPECT_EQ(s.CursorCol, 7);
    EXPECT_EQ(s.GameState, PhaseGameOver);
    EXPECT_EQ(s.ResumeState, PhaseGameOver);
    EXPECT_EQ(s.CurrentPlayer, Red);
}

TEST(MessageTest, FixedWidthFields)
{
    EXPECT_EQ(MoveMessage(2, 3, 2, 2), "MP}02030202");
    EXPECT_EQ(BuildWallMessage(1, 2, 4), "AP}140204" "1");
    EXPECT_EQ(RemoveWallMessage(7, 0), "RP}0700");
    EXPECT_EQ(FireMessage(7, 3, 1), "FC}07031");
    EXPECT_EQ(FireMessage(0, 6, 2), "FC}00062");
}

TEST(TurnChangeTest, FiresCannonsPortalsAndNumbering)
{
    State s = MovePhase(Blue, 0);
    s.TurnNumber = 1;
    Put(s, 2, 2, Red, Fire);   // Red's fire: gone as Red's next turn begins
    Put(s, 6, 6, Blue, Fire);  // Blue's fire: survives until Blue's next turn
    Put(s, 8, 3, Blue, Fire);  // portal fires go out at any turn end
    Put(s, 5, 0, Red, CannonFired);
    Put(s, 1, 0, Blue, CannonFired);
    Put(s, 0, 4, Blue, Wizard);
    Put(s, 8, 5, Red, Wizard);
    Put(s, 8, 6, Red, Wizard);
    PassTurn(s);
    EXPECT_EQ(s.CurrentPlayer, Red);
    EXPECT_EQ(s.TurnNumber, 1);
    EXPECT_EQ(s.GameState, PhaseTurnStart);
    EXPECT_EQ(s.Board[2][2], Empty); // Red's own fire burns out as Red's turn begins
    EXPECT_EQ(s.Board[6][6], Fire);
    EXPECT_EQ(s.Board[8][3], Empty);
    EXPECT_EQ(s.Owner[8][3], NoPlayer);
    EXPECT_EQ(s.Board[5][0], CannonReady);
    EXPECT_EQ(s.Board[1][0], CannonReady);
    EXPECT_EQ(s.MovesLeft, 9);
    PassTurn(s);
    EXPECT_EQ(s.CurrentPlayer, Blue);
    EXPECT_EQ(s.TurnNumber, 2);
    EXPECT_EQ(s.Board[6][6], Empty);
    EXPECT_EQ(s.MovesLeft, 6);
}
