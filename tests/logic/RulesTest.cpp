// The rules on a bare game state, without a window.
#include "logic/GameState.h"
#include "logic/Keys.h"
#include "logic/Remote.h"
#include "logic/Rules.h"
#include "logic/SaveFormat.h"
#include "tests/support/LogicSupport.h"

#include <functional>
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
    using enum GateResult;
    constexpr int M = PhaseMove, O = PhaseOverlay, T = PhaseTurnStart, G = PhaseGameOver, N = PhaseNone;
    struct Case { bool ready, busy; int netColour, state, resume, moves; GateResult want; };
    const Case cases[] = {
        {true, false, 0, M, M, 5, Open}, {false, false, 0, M, M, 5, Consume}, {true, true, 0, M, M, 5, Consume},
        {true, false, Red, O, M, 5, CloseOverlay}, // the other side's turn waits behind the picture
        {true, false, Red, M, M, 5, Consume},      // and its move phase is not this keyboard's
        {true, false, Blue, O, N, 5, KeepOverlay},  {true, false, Blue, O, G, 5, KeepOverlay},
        {true, false, Blue, O, T, 5, CloseOverlay}, {true, false, Blue, O, M, 5, CloseOverlay},
        {true, false, Blue, T, M, 5, NotInPlay},    {true, false, 0, G, M, 5, NotInPlay},
        {true, false, Blue, M, M, 0, NoMoves},      {true, false, 0, M, M, -1, NoMoves},
    };
    for (const Case& c : cases) {
        State s = MovePhase(Blue, c.moves);
        s.Busy = c.busy, s.NetGame = c.netColour != 0, s.NetGameColor = c.netColour;
        s.GameState = c.state, s.ResumeState = c.resume;
        EXPECT_EQ(KeyGate(s, c.ready), c.want) << "case " << &c - cases;
    }
}

TEST(KeyGateTest, KeyTable)
{
    // Keypad digits (96..105), 0 and 9 mean nothing.
    using enum Command;
    const std::tuple<int, Command, int, int, int> cases[] = {
        {VK_UP, Arrow, 0, -1, 0}, {VK_DOWN, Arrow, 0, 1, 0}, {VK_LEFT, Arrow, -1, 0, 0}, {VK_RIGHT, Arrow, 1, 0, 0},
        {VK_TAB, Tab, 0, 0, 0},   {VK_0 + 1, Fire, 0, 0, 1}, {VK_0 + 8, Fire, 0, 0, 8},
        {VK_0, None, 0, 0, 0},    {VK_9, None, 0, 0, 0},     {99, None, 0, 0, 0}};
    for (const auto& [key, command, dc, dr, power] : cases) {
        const KeyCommand k = ClassifyKey(key);
        EXPECT_EQ(std::tuple(k.command, k.dCol, k.dRow, k.power), std::tuple(command, dc, dr, power)) << key;
    }
}

TEST(MovementTest, HalvesEdgesAndTheMiddleColumn)
{
    struct Case { int player, col, row, dc, dr; bool ok; };
    const Case cases[] = {
        {Blue, 3, 2, 1, 0, false},  {Blue, 3, 2, -1, 0, true}, // never into column 4
        {Blue, 0, 0, -1, 0, false}, {Blue, 0, 0, 0, -1, false}, {Blue, 0, 6, 0, 1, false}, {Blue, 0, 6, 0, -1, true},
        {Red, 5, 3, -1, 0, false},  {Red, 5, 3, 1, 0, true},    {Red, 8, 3, 1, 0, false},  {Red, 8, 3, -1, 0, true},
        {Red, 12, 3, -1, 0, false}, {Blue, 1, 1, 0, 0, false}, // a cursor off the board (a damaged game); no step
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, 9);
        Select(s, c.col, c.row);
        EXPECT_EQ(ArrowEdgeOk(s, c.dc, c.dr), c.ok) << c.col << "," << c.row << " " << c.dc << c.dr;
    }
}

TEST(MovementTest, PlainMoveCostsOneAndAnyOccupantBlocks)
{
    State s = MovePhase(Blue, 6);
    s.FreshTurn = true;
    Put(s, 1, 3, Blue, King), Select(s, 1, 3);
    EXPECT_EQ(ApplyArrow(s, 0, -1, 0).outcome, ArrowOutcome::Moved);
    EXPECT_EQ(std::tuple(s.Board[1][2], s.Owner[1][2], s.Board[1][3], s.CursorRow, s.MovesLeft, s.FreshTurn),
              std::tuple(int(King), int(Blue), 0, 2, 5, false));
    // Own Wall, enemy Fire, own Wizard, enemy Wall all block; arrows on a Wall do nothing.
    Put(s, 1, 1, Blue, Wall), Put(s, 0, 2, Red, Fire), Put(s, 2, 2, Blue, Wizard), Put(s, 1, 3, Red, Wall);
    for (auto [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}})
        EXPECT_EQ(ApplyArrow(s, dc, dr, 0).outcome, ArrowOutcome::Nothing);
    EXPECT_EQ(std::pair(s.CursorRow, s.MovesLeft), std::pair(2, 5));
    Select(s, 1, 1);
    EXPECT_EQ(ApplyArrow(s, 0, 1, 0).outcome, ArrowOutcome::Nothing);
    // A fired Cannon and a Builder without modifiers move the same way and keep their kind.
    Put(s, 1, 4, Blue, Wall);
    for (auto [kind, dc, dr] : {std::tuple{int(CannonFired), 1, 0}, {int(Builder), 1, 0}, {int(Builder), 0, -1}}) {
        Put(s, 0, 5, Blue, kind), Put(s, dc, 5 + dr, 0, Empty), Select(s, 0, 5);
        const int moves = s.MovesLeft;
        EXPECT_EQ(ApplyArrow(s, dc, dr, 0).outcome, ArrowOutcome::Moved);
        EXPECT_EQ(std::tuple(s.Board[dc][5 + dr], s.Owner[dc][5 + dr], s.Board[0][5], s.Owner[0][5], s.CursorCol,
                             s.CursorRow, s.MovesLeft),
                  std::tuple(kind, int(Blue), 0, 0, dc, 5 + dr, moves - 1));
        EXPECT_EQ(ApplyArrow(s, 1 - dc, -1 - dr, 0).outcome, ArrowOutcome::Nothing); // onto the Wall
    }
}

TEST(WallTest, BuildRemoveAndTheColumnRule)
{
    using enum ArrowOutcome;
    // The Builder at (col, row) acts on its neighbour holding `piece` of `owner`.
    struct Case { int player, col, row, dc, dr, mods, owner, piece; ArrowOutcome want; };
    const Case cases[] = {
        {Blue, 2, 3, 1, 0, CtrlMask, 0, Empty, Nothing}, // would build in column 3
        {Blue, 2, 3, 0, -1, AltMask, 0, Empty, WallBuilt},
        {Blue, 2, 3, 0, -1, ShiftMask, Blue, Wall, WallRemoved}, {Blue, 2, 3, -1, 0, ShiftMask, Red, Wall, WallRemoved},
        {Blue, 2, 3, 0, 1, ShiftMask, Blue, King, Nothing}, {Blue, 2, 3, 0, 1, ShiftMask, Blue, CannonReady, Nothing},
        {Blue, 2, 3, 0, 1, ShiftMask, Red, Fire, Nothing},
        {Blue, 3, 4, 0, -1, ShiftMask, 0, Empty, Nothing}, // in column 3 only sideways
        {Blue, 3, 4, 0, 1, ShiftMask, 0, Empty, Nothing},        {Blue, 3, 4, -1, 0, ShiftMask, 0, Empty, WallBuilt},
        {Blue, 3, 0, 0, -1, ShiftMask, 0, Empty, EdgeRefused},
        {Red, 6, 2, -1, 0, ShiftMask, 0, Empty, Nothing}, // would build in column 5
        {Red, 6, 2, 1, 0, ShiftMask, 0, Empty, WallBuilt},
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, 3);
        Put(s, c.col, c.row, c.player, Builder), Select(s, c.col, c.row);
        const int tc = c.col + c.dc, tr = c.row + c.dr;
        if (tr >= 0)
            Put(s, tc, tr, c.owner, c.piece);
        const std::string what = "case " + std::to_string(&c - cases);
        EXPECT_EQ(ApplyArrow(s, c.dc, c.dr, c.mods).outcome, c.want) << what;
        // The Builder stays put and selected; only a changed Wall costs a move.
        const bool built = c.want == WallBuilt, changed = built || c.want == WallRemoved;
        EXPECT_EQ(std::tuple(s.Board[c.col][c.row], s.CursorCol, s.CursorRow, s.MovesLeft),
                  std::tuple(int(Builder), c.col, c.row, changed ? 2 : 3)) << what;
        if (tr >= 0) { // the neighbour: a new Wall of the player, an empty cell, or as it was
            const std::pair<int, int> want = built ? std::pair(int(Wall), c.player) : changed ? std::pair(0, 0)
                                                                                          : std::pair(c.piece, c.owner);
            EXPECT_EQ(std::pair(s.Board[tc][tr], s.Owner[tc][tr]), want) << what;
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
    for (int i = 0; i < 5 && SelectNextPiece(s); ++i)
        seen.push_back({s.CursorCol, s.CursorRow});
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{6, 4}, {7, 5}, {5, 6}, {8, 1}, {6, 4}}));
    // None eligible: the cursor stays. One: Tab stays on it.
    State one = MovePhase(Blue, 3);
    Put(one, 1, 1, Blue, Wall), Select(one, 3, 3);
    EXPECT_TRUE(!SelectNextPiece(one) && one.CursorCol == 3);
    Put(one, 2, 6, Blue, King);
    EXPECT_TRUE(SelectNextPiece(one) && SelectNextPiece(one) && one.CursorCol == 2 && one.CursorRow == 6);
}

TEST(ShotTest, RangeByPowerMovesEdgeAndFirstWallThenTheLanding)
{
    using enum ShotEffect;
    struct WallAt { int col, owner; };
    // Where the ball comes down: a King of either side falls, the river takes nothing, the rest burns.
    struct Case { int player, col, moves, power; std::vector<WallAt> walls; int want; ShotEffect effect; };
    const Case cases[] = {
        {Blue, 3, 8, 8, {}, 5, Burn}, {Blue, 3, 3, 8, {}, 3, Burn}, {Blue, 3, 1, 3, {}, 1, River}, // edge, moves
        {Blue, 3, 8, 2, {}, 2, KingHit}, {Red, 8, 9, 3, {}, 3, KingHit},                          // power; own King
        {Blue, 3, 8, 8, {{7, Red}}, 4, Burn}, {Blue, 3, 8, 3, {{7, Red}}, 3, Burn}, // the first Wall within reach
        {Blue, 3, 8, 8, {{7, Red}, {6, Blue}}, 3, Burn}, {Blue, 3, 8, 8, {{4, Red}}, 1, River},
        {Red, 5, 9, 8, {}, 5, Burn}, {Red, 5, 9, 8, {{2, Blue}}, 3, Burn}, // Red comes down in column 0
        {Blue, 8, 5, 3, {}, 0, Burn}, // facing the edge (only from a damaged file): no shot
    };
    for (const Case& c : cases) {
        State s = MovePhase(c.player, c.moves);
        Put(s, 5, 2, Red, King); // pieces other than Walls are flown over
        Put(s, 6, 2, Red, Wizard), Put(s, 7, 2, Blue, Fire), Put(s, 1, 2, Red, Fire);
        for (const WallAt& w : c.walls)
            Put(s, w.col, 2, w.owner, Wall);
        Put(s, c.col, 2, c.player, CannonReady), Select(s, c.col, 2);
        const std::string what = "case " + std::to_string(&c - cases);
        EXPECT_EQ(ShotDistance(s, c.power), c.want) << what;
        // The whole shot without its flight: fired once, the distance paid, the landing resolved.
        const State before = s;
        ShotOutcome landed;
        ASSERT_EQ(FireShot(s, c.power, &landed), c.want > 0) << what;
        if (c.want == 0)
            continue;
        const int col = c.col + ShotDirection(c.player) * c.want;
        const bool king = c.effect == KingHit, burnt = c.effect == Burn;
        EXPECT_EQ(std::tuple(s.Board[c.col][2], s.MovesLeft, landed.col, landed.row, landed.effect),
                  std::tuple(int(CannonFired), c.moves - c.want, col, 2, c.effect)) << what;
        EXPECT_EQ(std::tuple(s.Board[col][2], s.Owner[col][2], s.CursorCol, s.GameState, s.ResumeState),
                  std::tuple(burnt ? int(Fire) : before.Board[col][2], burnt ? c.player : before.Owner[col][2],
                             king ? col : c.col, king ? int(PhaseGameOver) : int(PhaseMove),
                             king ? int(PhaseGameOver) : int(PhaseMove))) << what;
        s.GameState = PhaseMove;
        EXPECT_FALSE(FireShot(s, c.power)) << "a fired Cannon waits for its next turn";
    }
}

// A damaged file, a received game or a hostile message must not hand the
// mover an enemy piece or take a King outside a shot.
TEST(InputCannotBendTheRules, OnlyOwnPiecesActAndKingsStay)
{
    using LogicSupport::Bytes;
    // Saves in progress need both Kings (Blue's at 0,1 = 10 11; Red's at
    // 8,1 = 18 21); a Blue Wizard at 3,3 stands in for the missing one.
    const std::tuple<const char*, QByteArray, const char*> files[] = {
        {"both Kings", Bytes({1, 1, 13, 10, 11, 18, 21, 33, 12}), ""},
        {"mover without a King", Bytes({1, 1, 13, 18, 21, 33, 12}), "Blue has no King"},
        {"Red to move without a King", Bytes({2, 1, 13, 10, 11, 33, 12}), "Red has no King"},
        {"Blue's King owned by Red", Bytes({1, 1, 13, 10, 21, 18, 21}), "Blue has no King"},
        {"finished, winner's King gone", Bytes({3, 4, 0, 25, 21}), ""},
    };
    for (const auto& [name, bytes, why] : files) {
        SavedGame g;
        EXPECT_TRUE(ParseGame(bytes, g).contains(why)) << name << ": " << ParseGame(bytes, g).toStdString();
        EXPECT_EQ(ParseGame(bytes, g).isEmpty(), *why == 0) << name;
    }

    // The other side's messages: only onto empty cells, never a King taken;
    // a move is one step of a piece of the player on turn, in its own half.
    struct Remote { const char* name; std::function<void(State&)> act; int col, row, wantKind, wantOwner; };
    const Remote remote[] = {
        {"AP on a King", [](State& s) { NetPlay::PlacePiece(s, Red, Wall, 0, 1); }, 0, 1, King, Blue},
        {"AP on a Wizard", [](State& s) { NetPlay::PlacePiece(s, Red, Builder, 2, 2); }, 2, 2, Wizard, Blue},
        {"AP of a Wall in the mover's half", [](State& s) { NetPlay::PlacePiece(s, Red, Wall, 6, 6); }, 6, 6, Wall, Red},
        {"AP of a Wall beside the river", [](State& s) { NetPlay::PlacePiece(s, Red, Wall, 5, 6); }, 5, 6, int(Empty), NoPlayer},
        {"AP of a Wall in the other half", [](State& s) { NetPlay::PlacePiece(s, Red, Wall, 1, 6); }, 1, 6, int(Empty), NoPlayer},
        {"AP of the waiting side's piece", [](State& s) { NetPlay::PlacePiece(s, Blue, Wall, 6, 6); }, 6, 6, int(Empty), NoPlayer},
        {"AP of a recruit on the portal", [](State& s) { NetPlay::PlacePiece(s, Red, Builder, 8, 3); }, 8, 3, Builder, Red},
        {"AP of a recruit off the portal", [](State& s) { NetPlay::PlacePiece(s, Red, Builder, 8, 4); }, 8, 4, int(Empty), NoPlayer},
        {"AP of a second King", [](State& s) { NetPlay::PlacePiece(s, Red, King, 8, 3); }, 8, 3, int(Empty), NoPlayer},
        {"MP onto a King", [](State& s) { NetPlay::MovePiece(s, 8, 1, 0, 1); }, 0, 1, King, Blue},
        {"MP onto a Wall", [](State& s) { NetPlay::MovePiece(s, 8, 1, 7, 1); }, 7, 1, Wall, Red},
        {"MP leaves the blocked piece", [](State& s) { NetPlay::MovePiece(s, 8, 1, 7, 1); }, 8, 1, King, Red},
        {"MP onto an empty cell", [](State& s) { NetPlay::MovePiece(s, 8, 1, 8, 2); }, 8, 2, King, Red},
        {"MP of the waiting side's King", [](State& s) { NetPlay::MovePiece(s, 0, 1, 0, 2); }, 0, 1, King, Blue},
        {"MP of the waiting side's Wizard", [](State& s) { NetPlay::MovePiece(s, 2, 2, 2, 3); }, 2, 2, Wizard, Blue},
        {"MP of two cells", [](State& s) { NetPlay::MovePiece(s, 8, 1, 8, 3); }, 8, 1, King, Red},
        {"MP diagonally", [](State& s) { NetPlay::MovePiece(s, 8, 1, 7, 2); }, 8, 1, King, Red},
        {"MP into the river column",
         [](State& s) { Put(s, 5, 3, Red, Wizard), NetPlay::MovePiece(s, 5, 3, 4, 3); }, 5, 3, Wizard, Red},
        {"MP of an empty cell", [](State& s) { NetPlay::MovePiece(s, 6, 6, 6, 5); }, 6, 5, int(Empty), NoPlayer},
        {"RP on a King", [](State& s) { NetPlay::RemovePiece(s, 0, 1); }, 0, 1, King, Blue},
        {"FC from a ready Cannon burns a Wizard",
         [](State& s) { Put(s, 6, 2, Red, CannonReady), NetPlay::LandShot(s, 2, 2, Red); }, 2, 2, Fire, Red},
        {"FC with no Cannon behind", [](State& s) { NetPlay::LandShot(s, 2, 2, Red); }, 2, 2, Wizard, Blue},
        {"FC past a Wall", [](State& s) { Put(s, 8, 2, Red, CannonReady), Put(s, 6, 2, Red, Wall),
                                          NetPlay::LandShot(s, 2, 2, Red); }, 2, 2, Wizard, Blue},
        {"FC by the waiting side", [](State& s) { Put(s, 1, 2, Blue, CannonReady), NetPlay::LandShot(s, 2, 2, Blue); },
         2, 2, Wizard, Blue},
    };
    for (const Remote& r : remote) {
        State s = MovePhase(Red, 3);
        Put(s, 0, 1, Blue, King), Put(s, 2, 2, Blue, Wizard), Put(s, 8, 1, Red, King), Put(s, 7, 1, Red, Wall);
        r.act(s);
        EXPECT_EQ(std::pair(s.Board[r.col][r.row], s.Owner[r.col][r.row]), std::pair(r.wantKind, r.wantOwner)) << r.name;
    }

    // Keys (and the computer, through the same rules) with an enemy piece
    // under the cursor: nothing moves, is built or fires, no move is spent.
    struct Key { const char* name; int piece, dc, mods, power; };
    const Key keys[] = {
        {"arrow on an enemy King", King, -1, 0, 0}, {"arrow on an enemy Builder", Builder, -1, 0, 0},
        {"wall key on an enemy Builder", Builder, -1, ShiftMask, 0}, {"digit on an enemy Cannon", CannonReady, 0, 0, 3},
    };
    for (const Key& k : keys) {
        State s = MovePhase(Blue, 6);
        Put(s, 0, 1, Blue, King), Put(s, 3, 3, Red, k.piece), Select(s, 3, 3);
        if (k.power)
            EXPECT_FALSE(FireShot(s, k.power)) << k.name;
        else
            EXPECT_EQ(ApplyArrow(s, k.dc, 0, k.mods).outcome, ArrowOutcome::Nothing) << k.name;
        EXPECT_EQ(std::tuple(s.Board[3][3], s.Owner[3][3], s.Board[2][3], s.MovesLeft),
                  std::tuple(k.piece, Red, int(Empty), 6)) << k.name;
        // The same key on Blue's own piece does act.
        Put(s, 3, 3, Blue, k.piece);
        if (k.power)
            EXPECT_TRUE(FireShot(s, k.power)) << k.name;
        else
            EXPECT_NE(ApplyArrow(s, k.dc, 0, k.mods).outcome, ArrowOutcome::Nothing) << k.name;
    }
}
