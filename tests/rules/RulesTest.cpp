// The rules on a bare game state, without a window.
#include "core/GameState.h"
#include "rules/Keys.h"
#include "rules/Rules.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace Turrion;
using namespace Turrion::Rules;

namespace {
State MovePhase(int player, int moves)
{
    State s;
    s.CurrentPlayer = player, s.MovesLeft = moves, s.TurnNumber = 1;
    s.GameState = s.ResumeState = PhaseMove;
    return s;
}
void Put(State& s, int c, int r, int owner, int piece) { s.Owner[c][r] = owner, s.Board[c][r] = piece; }
void Select(State& s, int c, int r) { s.CursorCol = c, s.CursorRow = r; }
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
        s.Busy = c.busy, s.NetGame = c.netColour != 0, s.NetGameColor = c.netColour;
        s.GameState = c.state, s.ResumeState = c.resume;
        EXPECT_EQ(KeyGate(s, c.ready), c.want) << "case " << i;
    }
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
}

TEST(MovementTest, PlainMoveCostsOneAndAnyOccupantBlocks)
{
    State s = MovePhase(Blue, 4);
    s.FreshTurn = true;
    Put(s, 1, 3, Blue, King);
    Select(s, 1, 3);
    EXPECT_EQ(ApplyArrow(s, 0, -1, 0).outcome, ArrowOutcome::Moved);
    EXPECT_EQ(std::tuple(s.Board[1][2], s.Owner[1][2], s.Board[1][3], s.CursorRow, s.MovesLeft, s.FreshTurn),
              std::tuple(int(King), int(Blue), 0, 2, 3, false));
    // Own Wall, enemy Fire, own Wizard, enemy Wall all block; arrows on a Wall do nothing.
    Put(s, 1, 1, Blue, Wall), Put(s, 0, 2, Red, Fire), Put(s, 2, 2, Blue, Wizard), Put(s, 1, 3, Red, Wall);
    for (auto [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}})
        EXPECT_EQ(ApplyArrow(s, dc, dr, 0).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(std::pair(s.CursorRow, s.MovesLeft), std::pair(2, 3));
    Select(s, 1, 1);
    EXPECT_EQ(ApplyArrow(s, 0, 1, 0).outcome, ArrowOutcome::Nothing);
}

TEST(WallTest, BuildRemoveAndTheColumnRule)
{
    struct Case {
        int player, col, row, dc, dr, mods;
        int owner, piece; // what stands on the target cell
        ArrowOutcome want;
    };
    const Case cases[] = {
        {Blue, 2, 3, 1, 0, CtrlMask, 0, Empty, ArrowOutcome::Nothing}, // would build in column 3
        {Blue, 2, 3, 0, -1, AltMask, 0, Empty, ArrowOutcome::WallBuilt},
        {Blue, 2, 3, 0, -1, ShiftMask, Blue, Wall, ArrowOutcome::WallRemoved},
        {Blue, 2, 3, -1, 0, ShiftMask, Red, Wall, ArrowOutcome::WallRemoved},
        {Blue, 2, 3, 0, 1, ShiftMask, Blue, King, ArrowOutcome::Nothing},
        {Blue, 2, 3, 0, 1, ShiftMask, Blue, CannonReady, ArrowOutcome::Nothing},
        {Blue, 2, 3, 0, 1, ShiftMask, Red, Fire, ArrowOutcome::Nothing},
        {Blue, 3, 4, 0, -1, ShiftMask, 0, Empty, ArrowOutcome::Nothing}, // in column 3 only sideways
        {Blue, 3, 4, 0, 1, ShiftMask, 0, Empty, ArrowOutcome::Nothing},
        {Blue, 3, 4, -1, 0, ShiftMask, 0, Empty, ArrowOutcome::WallBuilt},
        {Blue, 3, 0, 0, -1, ShiftMask, 0, Empty, ArrowOutcome::EdgeRefused},
        {Red, 6, 2, -1, 0, ShiftMask, 0, Empty, ArrowOutcome::Nothing}, // would build in column 5
        {Red, 6, 2, 1, 0, ShiftMask, 0, Empty, ArrowOutcome::WallBuilt},
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, 3);
        Put(s, c.col, c.row, c.player, Builder);
        Select(s, c.col, c.row);
        const int tc = c.col + c.dc, tr = c.row + c.dr;
        if (tr >= 0)
            Put(s, tc, tr, c.owner, c.piece);
        const std::string what = std::to_string(c.col * 1000 + c.row * 100 + c.dc * 10 + c.dr);
        EXPECT_EQ(ApplyArrow(s, c.dc, c.dr, c.mods).outcome, c.want) << what;
        // The Builder stays put and selected; only a changed Wall costs a move.
        EXPECT_EQ(s.Board[c.col][c.row], Builder) << what;
        EXPECT_EQ(std::pair(s.CursorCol, s.CursorRow), std::pair(c.col, c.row)) << what;
        const bool built = c.want == ArrowOutcome::WallBuilt, removed = c.want == ArrowOutcome::WallRemoved;
        EXPECT_EQ(s.MovesLeft, built || removed ? 2 : 3) << what;
        if (built || removed) {
            EXPECT_EQ(std::pair(s.Board[tc][tr], s.Owner[tc][tr]),
                      built ? std::pair(int(Wall), c.player) : std::pair(0, 0)) << what;
        }
    }
}

TEST(TabTest, ReadingOrderWrapAndEligibility)
{
    State s = MovePhase(Red, 3);
    Put(s, 8, 1, Red, King), Put(s, 5, 6, Red, Builder), Put(s, 7, 5, Red, Wizard);
    Put(s, 6, 0, Red, Wall), Put(s, 7, 2, Red, Fire), Put(s, 5, 2, Blue, Wizard); // never selected
    Put(s, 6, 4, Red, CannonFired); // fired Cannons are selectable
    Select(s, 8, 1);
    std::vector<std::pair<int, int>> seen;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SelectNextPiece(s));
        seen.push_back({s.CursorCol, s.CursorRow});
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{6, 4}, {7, 5}, {5, 6}, {8, 1}, {6, 4}}));

    // None eligible: the cursor stays. One: Tab stays on it.
    State one = MovePhase(Blue, 3);
    Put(one, 1, 1, Blue, Wall);
    Select(one, 3, 3);
    EXPECT_FALSE(SelectNextPiece(one));
    EXPECT_EQ(one.CursorCol, 3);
    Put(one, 2, 6, Blue, King);
    EXPECT_TRUE(SelectNextPiece(one) && SelectNextPiece(one));
    EXPECT_EQ(std::pair(one.CursorCol, one.CursorRow), std::pair(2, 6));
}

TEST(ShotTest, RangeByPowerMovesEdgeAndFirstWall)
{
    struct WallAt { int col, owner; };
    struct Case { int player, col, moves, power; std::vector<WallAt> walls; int want; };
    const Case cases[] = {
        {Blue, 3, 8, 8, {}, 5}, {Blue, 3, 3, 8, {}, 3}, {Blue, 3, 1, 3, {}, 1}, {Blue, 3, 8, 2, {}, 2}, // edge, moves, power
        {Blue, 3, 8, 8, {{7, Red}}, 4}, {Blue, 3, 8, 3, {{7, Red}}, 3}, // the first Wall within reach stops it
        {Blue, 3, 8, 8, {{7, Red}, {6, Blue}}, 3}, {Blue, 3, 8, 8, {{4, Red}}, 1},
        {Red, 5, 9, 8, {}, 5}, {Red, 5, 9, 8, {{2, Blue}}, 3}, // Red comes down in column 0
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
        // The whole shot without its flight: fired once, the distance paid.
        ShotOutcome landed;
        EXPECT_EQ(FireShot(s, c.power, &landed), c.want > 0);
        if (c.want > 0) {
            EXPECT_EQ(s.Board[c.col][2], CannonFired);
            EXPECT_EQ(s.MovesLeft, c.moves - c.want);
            EXPECT_EQ(landed.col, c.col + ShotDirection(c.player) * c.want);
            EXPECT_FALSE(FireShot(s, c.power)) << "a fired Cannon waits for its next turn";
        }
    }
}
