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
    s.GameState = s.ResumeState = PhaseMove;
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
    struct Case {
        bool ready, busy;
        int netColour, state, resume, moves;
        GateResult want;
    };
    const Case cases[] = {
        {true, false, 0, PhaseMove, PhaseMove, 5, GateResult::Open},
        {false, false, 0, PhaseMove, PhaseMove, 5, GateResult::Consume},
        {true, true, 0, PhaseMove, PhaseMove, 5, GateResult::Consume},
        // The other NetPlay side is on turn: swallowed even with the overlay up.
        {true, false, Red, PhaseOverlay, PhaseMove, 5, GateResult::Consume},
        {true, false, Blue, PhaseOverlay, PhaseNone, 5, GateResult::KeepOverlay},
        {true, false, Blue, PhaseOverlay, PhaseGameOver, 5, GateResult::KeepOverlay},
        {true, false, Blue, PhaseOverlay, PhaseTurnStart, 5, GateResult::CloseOverlay},
        {true, false, Blue, PhaseOverlay, PhaseMove, 5, GateResult::CloseOverlay},
        {true, false, Blue, PhaseTurnStart, PhaseMove, 5, GateResult::NotInPlay},
        {true, false, 0, PhaseGameOver, PhaseMove, 5, GateResult::NotInPlay},
        {true, false, Blue, PhaseMove, PhaseMove, 0, GateResult::NoMoves},
        {true, false, 0, PhaseMove, PhaseMove, -1, GateResult::NoMoves},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        State s = MovePhase(Blue, c.moves);
        s.Busy = c.busy;
        s.NetGame = c.netColour != 0;
        s.NetGameColor = c.netColour;
        s.GameState = c.state;
        s.ResumeState = c.resume;
        EXPECT_EQ(KeyGate(s, c.ready), c.want) << "case " << i;
    }
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
    struct Case { int player, col, row, dc, dr; bool ok; };
    const Case cases[] = {
        {Blue, 3, 2, 1, 0, false}, {Blue, 3, 2, -1, 0, true}, // never into column 4
        {Blue, 0, 0, -1, 0, false}, {Blue, 0, 0, 0, -1, false},
        {Blue, 0, 6, 0, 1, false},  {Blue, 0, 6, 0, -1, true},
        {Red, 5, 3, -1, 0, false},  {Red, 5, 3, 1, 0, true},
        {Red, 8, 3, 1, 0, false},   {Red, 8, 3, -1, 0, true},
        {Red, 12, 3, -1, 0, false}, // a cursor off the board (a damaged game)
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, 9);
        Select(s, c.col, c.row);
        EXPECT_EQ(ArrowEdgeOk(s, c.dc, c.dr), c.ok) << c.col << "," << c.row << " " << c.dc << c.dr;
    }
    State s = MovePhase(Blue, 9);
    Put(s, 3, 2, Blue, King);
    Select(s, 3, 2);
    EXPECT_EQ(ApplyArrow(s, 1, 0, 0).outcome, ArrowOutcome::EdgeRefused);
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
    for (auto [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}})
        EXPECT_EQ(ApplyArrow(s, dc, dr, 0).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(s.MovesLeft, 3);
    EXPECT_EQ(s.CursorCol, 1);
    EXPECT_EQ(s.CursorRow, 2);

    // A fired Cannon keeps its kind; Shift does not matter for it.
    Put(s, 2, 5, Blue, CannonFired);
    Select(s, 2, 5);
    EXPECT_EQ(ApplyArrow(s, 1, 0, ShiftMask).outcome, ArrowOutcome::Moved);
    EXPECT_EQ(s.Board[3][5], CannonFired);
    // Arrows on a Wall do nothing.
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
    EXPECT_EQ(s.CursorRow, 3);
    // Again: the Wall comes down; again: it goes back up.
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::WallRemoved);
    EXPECT_EQ(s.Owner[2][2], NoPlayer);
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::WallBuilt);
    EXPECT_EQ(s.MovesLeft, 6);
    // A Wall of the other side comes down just the same.
    Put(s, 1, 3, Red, Wall);
    EXPECT_EQ(ApplyArrow(s, -1, 0, ShiftMask).outcome, ArrowOutcome::WallRemoved);
    EXPECT_EQ(s.Board[1][3], Empty);
    // A King, a Cannon, a Fire: refused.
    for (auto [owner, piece] : {std::pair{Blue, int(King)}, {Blue, int(CannonReady)}, {Red, int(Fire)}}) {
        Put(s, 2, 4, owner, piece);
        EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing) << piece;
    }
    EXPECT_EQ(s.MovesLeft, 5);

    // A Builder in column 3: up and down would build in column 3.
    Put(s, 2, 4, NoPlayer, Empty);
    Put(s, 3, 4, Blue, Builder);
    Select(s, 3, 4);
    EXPECT_EQ(ApplyArrow(s, 0, -1, ShiftMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(ApplyArrow(s, 0, 1, ShiftMask).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(ApplyArrow(s, -1, 0, ShiftMask).outcome, ArrowOutcome::WallBuilt);
    // Shift+Up in row 0 fails the edge test.
    Put(s, 3, 0, Blue, Builder);
    Select(s, 3, 0);
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
    Put(s, 6, 0, Red, Wall);        // never selected
    Put(s, 7, 2, Red, Fire);        // never selected
    Put(s, 5, 2, Blue, Wizard);     // not Red's
    Put(s, 6, 4, Red, CannonFired); // fired Cannons are selectable
    Put(s, 5, 6, Red, Builder);
    Put(s, 7, 5, Red, Wizard);
    Select(s, 8, 1);
    std::vector<std::pair<int, int>> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SelectNextPiece(s));
        seen.push_back({s.CursorCol, s.CursorRow});
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{6, 4}, {7, 5}, {5, 6}, {8, 1}, {6, 4}}));

    // One own piece: Tab stays on it. None: the cursor stays.
    State one = MovePhase(Blue, 3);
    Put(one, 1, 1, Blue, Wall);
    Select(one, 3, 3);
    EXPECT_FALSE(SelectNextPiece(one));
    EXPECT_EQ(one.CursorCol, 3);
    Put(one, 2, 6, Blue, King);
    ASSERT_TRUE(SelectNextPiece(one));
    ASSERT_TRUE(SelectNextPiece(one));
    EXPECT_EQ(std::pair(one.CursorCol, one.CursorRow), std::pair(2, 6));
}

TEST(ShotTest, RangeByPowerMovesEdgeAndFirstWall)
{
    struct WallAt { int col, owner; };
    struct Case { int player, col, moves, power; std::vector<WallAt> walls; int want; };
    const Case cases[] = {
        {Blue, 3, 8, 8, {}, 5}, // the board's edge (column 8)
        {Blue, 3, 3, 8, {}, 3}, // moves left bound it
        {Blue, 3, 1, 3, {}, 1},
        {Blue, 3, 8, 2, {}, 2},
        {Blue, 3, 8, 8, {{7, Red}}, 4}, // the first Wall stops it
        {Blue, 3, 8, 3, {{7, Red}}, 3}, // one beyond the reach does not
        {Blue, 3, 8, 8, {{7, Red}, {6, Blue}}, 3},
        {Blue, 3, 8, 8, {{4, Red}}, 1},
        {Red, 5, 9, 8, {}, 5}, // comes down in column 0
        {Red, 5, 9, 8, {{2, Blue}}, 3},
        {Blue, 8, 5, 3, {}, 0}, // facing the edge (only from a damaged file)
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, c.moves);
        Put(s, 5, 2, Red, King); // pieces other than Walls are flown over
        Put(s, 6, 2, Red, Wizard);
        for (const WallAt& w : c.walls)
            Put(s, w.col, 2, w.owner, Wall);
        Put(s, c.col, 2, c.player, CannonReady);
        Select(s, c.col, 2);
        EXPECT_EQ(ShotDistance(s, c.power), c.want) << c.player << " from " << c.col << " power "
                                                    << c.power << " moves " << c.moves;
    }
    State s = MovePhase(Blue, 8);
    Select(s, 3, 2);
    EXPECT_EQ(ShotReach(s, 8), 5);
    Select(s, 8, 0);
    EXPECT_EQ(ShotReach(s, 3), 0);
    EXPECT_EQ(ShotDirection(Red), -1);
}

TEST(ShotTest, OutcomeOnTheLandingCell)
{
    State s = MovePhase(Red, 4);
    Select(s, 6, 3);
    Put(s, 2, 3, Blue, Builder);
    EXPECT_EQ(ResolveShot(s, 2, 3).effect, ShotEffect::Burn);
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
    EXPECT_EQ(ResolveShot(s, 7, 3).effect, ShotEffect::KingHit);
    EXPECT_EQ(s.Board[7][3], King);
    EXPECT_EQ(s.CursorCol, 7);
    EXPECT_EQ(s.GameState, PhaseGameOver);
    EXPECT_EQ(s.ResumeState, PhaseGameOver);
    EXPECT_EQ(s.CurrentPlayer, Red);
}
