// The computer opponent on small positions, written from Blue's side and
// played from both sides by mirroring the board.
#include "ai/Opponent.h"
#include "ai/Search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

using namespace Turrion;
using namespace Turrion::AI;

namespace {

struct Placed { int col, row, owner, kind; };

// A turn start with `pieces` (seen from Blue); `red` mirrors the board so
// that Red plays the position Blue would.
State Position(const std::vector<Placed>& pieces, bool red)
{
    State s;
    for (const Placed& p : pieces) {
        const int col = red ? Cols - 1 - p.col : p.col;
        s.Board[col][p.row] = p.kind, s.Owner[col][p.row] = red ? Blue + Red - p.owner : p.owner;
    }
    s.TurnNumber = 5, s.CurrentPlayer = red ? Red : Blue;
    s.GameState = s.ResumeState = PhaseTurnStart;
    CountMoves(s);
    return s;
}

// The decision played as the window plays it; false when the rules refuse
// an action.
bool Play(State& s, const Decision& d)
{
    StartTurn(s, d.recruit);
    return std::all_of(d.actions.begin(), d.actions.end(), [&](const Action& a) { return Apply(s, a); });
}

bool KingOfFell(const State& s, int player)
{
    return s.GameState == PhaseGameOver && s.Board[s.CursorCol][s.CursorRow] == King &&
           s.Owner[s.CursorCol][s.CursorRow] == player;
}

constexpr int B = Blue, R = Red;

} // namespace

TEST(OpponentTest, TakesTheKingShotWithinReach)
{
    const std::pair<const char*, std::vector<Placed>> cases[] = {
        // Six moves, six cells to fly.
        {"straight", {{0, 0, B, King}, {0, 3, B, Wizard}, {2, 2, B, CannonReady},
                      {8, 2, R, King}, {7, 1, R, Wall}, {7, 5, R, Wall}}},
        // Nine moves: three steps into the King's row, then five cells.
        {"walk first", {{0, 0, B, King}, {0, 3, B, Wizard}, {0, 4, B, Wizard}, {3, 5, B, CannonReady},
                        {8, 2, R, King}, {7, 5, R, Wall}}},
        // Twelve moves: one Cannon burns the Wall, the other flies over the Fire.
        {"burn the wall", {{0, 0, B, King}, {0, 3, B, Wizard}, {0, 4, B, Wizard}, {0, 5, B, Wizard},
                           {1, 2, B, CannonReady}, {2, 2, B, CannonReady}, {8, 2, R, King}, {7, 2, R, Wall}}},
    };
    for (const auto& [name, pieces] : cases)
        for (bool red : {false, true})
            for (Policy p : {Policy::Greedy, Policy::Sniper, Policy::Normal, Policy::Hard}) {
                State s = Position(pieces, red);
                ASSERT_TRUE(Play(s, Decide(s, p, 7))) << name << " " << PolicyName(p);
                EXPECT_TRUE(KingOfFell(s, red ? Blue : Red)) << name << " " << PolicyName(p) << " red " << red;
            }
}

TEST(OpponentTest, ShieldsItsKingFromTheShotThatWouldComeNext)
{
    const std::vector<Placed> positions[] = {
        // Red can burn the Wall at (1, 1) from (5, 1) and hit the King from
        // (6, 1) with 10 of its 12 moves. The Cannons would follow a King
        // that steps aside; a second Wall in the row stops them.
        {{0, 1, B, King}, {1, 1, B, Wall}, {1, 2, B, Builder}, {0, 3, B, Wizard},
         {8, 5, R, King}, {5, 1, R, CannonReady}, {6, 1, R, CannonReady},
         {7, 3, R, Wizard}, {7, 4, R, Wizard}, {8, 4, R, Wizard}},
        // The Cannon at (5, 1) is walled in and can only fire along row 1:
        // the King has to leave the row.
        {{0, 1, B, King}, {0, 3, B, Wizard}, {8, 6, R, King}, {8, 5, R, Wizard},
         {5, 1, R, CannonReady}, {5, 0, R, Wall}, {5, 2, R, Wall}, {6, 1, R, Wall}},
    };
    // Without an answer the threat is real; Normal and Hard answer it.
    const std::optional<Policy> answers[] = {std::nullopt, Policy::Normal, Policy::Hard};
    for (const auto& pieces : positions)
        for (bool red : {false, true})
            for (const std::optional<Policy>& answer : answers) {
                State s = Position(pieces, red);
                ASSERT_TRUE(Play(s, answer ? Decide(s, *answer, 3) : Decision{}));
                ASSERT_NE(s.GameState, PhaseGameOver);
                PassTurn(s);
                ASSERT_TRUE(Play(s, Decide(s, Policy::Greedy, 1)));
                EXPECT_EQ(KingOfFell(s, red ? Red : Blue), !answer) << (answer ? PolicyName(*answer) : "idle") << red;
            }
}

TEST(OpponentTest, ShortGamesStayInsideTheRules)
{
    // Every action goes through Apply and must be taken; pieces keep to their
    // halves, the river stays empty, and a recruit is chosen only for a free
    // portal.
    const std::tuple<Policy, Policy, int, int> matches[] = { // Blue, Red, games, turns
        {Policy::Random, Policy::Greedy, 160, 10}, {Policy::Easy, Policy::Random, 40, 8},
        {Policy::Normal, Policy::Easy, 12, 6}, {Policy::Hard, Policy::Normal, 1, 3},
        {Policy::Sniper, Policy::Random, 20, 8}, {Policy::Greedy, Policy::Sniper, 20, 8}};
    int decisions = 0;
    for (const auto& [blue, red, games, turns] : matches)
        for (int game = 0; game < games; ++game) {
            State s;
            StartNewGame(s);
            while (s.GameState != PhaseGameOver && s.TurnNumber <= turns) {
                const Policy p = s.CurrentPlayer == Blue ? blue : red;
                const Decision d = Decide(s, p, std::uint32_t(game * 1000 + decisions++));
                ASSERT_TRUE(s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty || d.recruit == Empty)
                    << PolicyName(p);
                ASSERT_TRUE(Play(s, d)) << PolicyName(p) << " game " << game;
                for (int c = 0; c < Cols; ++c)
                    for (int r = 0; r < Rows; ++r)
                        ASSERT_TRUE(s.Board[c][r] == Empty || (c != MiddleColumn && (s.Board[c][r] == Fire ||
                                                                (s.Owner[c][r] == Blue) == (c < MiddleColumn))))
                            << PolicyName(p) << " left its half or entered the river at " << c << "," << r;
                ASSERT_EQ(InvariantBreach(s), "");
                if (s.GameState != PhaseGameOver)
                    PassTurn(s);
            }
        }
}

TEST(OpponentTest, SameSeedSameTurn)
{
    State s;
    StartNewGame(s);
    for (int turn = 0; turn < 6; ++turn) { // a few random turns into the game
        ASSERT_TRUE(Play(s, Decide(s, Policy::Random, std::uint32_t(turn))));
        PassTurn(s);
    }
    auto plain = [](const Decision& d) {
        std::vector<std::tuple<int, int, int, int, int, bool, int>> out{{d.recruit, 0, 0, 0, 0, false, 0}};
        for (const Action& a : d.actions)
            out.push_back({a.kind, a.col, a.row, a.dCol, a.dRow, a.wall, a.power});
        return out;
    };
    for (Strength strength : {Strength::Easy, Strength::Normal, Strength::Hard})
        for (std::uint32_t seed : {1u, 99u})
            EXPECT_EQ(plain(Decide(s, strength, seed)), plain(Decide(s, strength, seed))) << int(strength);
    EXPECT_FALSE(Decide(s, Policy::Random, 5).actions.empty()) << "random plays, too";
}

TEST(OpponentTest, InvariantBreachesAreNamed)
{
    // Each change breaks one rule of a game in play; the arena stops on it.
    const std::pair<const char*, void (*)(State&)> breaches[] = {
        {"river", [](State& s) { s.Board[4][2] = Wall, s.Owner[4][2] = Blue; }},
        {"half", [](State& s) { s.Board[6][2] = Wizard, s.Owner[6][2] = Blue; }},
        {"kings", [](State& s) { s.Board[2][2] = King, s.Owner[2][2] = Blue; }},
        {"fired", [](State& s) { s.Board[6][2] = CannonFired, s.Owner[6][2] = Red; }},
        {"owner", [](State& s) { s.Owner[2][2] = Blue; }},
        {"moves", [](State& s) { s.GameState = PhaseTurnStart, s.MovesLeft = 2; }},
        {"cursor", [](State& s) { s.CursorCol = 9; }},
    };
    State good;
    StartNewGame(good);
    StartTurn(good, Empty);
    ASSERT_EQ(InvariantBreach(good), "");
    for (const auto& [what, breach] : breaches) {
        State s = good;
        breach(s);
        EXPECT_NE(InvariantBreach(s), "") << what;
    }
}

TEST(OpponentTest, ApplyRefusesWhatTheKeysRefuse)
{
    State s;
    StartNewGame(s);
    StartTurn(s, Empty); // Blue, cursor on its King at (0, 1), Wall at (1, 1)
    s.Board[2][4] = CannonReady, s.Owner[2][4] = Blue;
    const Action refused[] = {
        {Action::Select, 8, 1},       {Action::Select, 1, 1},       // the enemy King, a Wall
        {Action::Arrow, 0, 0, 1, 0},  {Action::Arrow, 0, 0, -1, 0}, // into the own Wall, off the board
        {Action::Arrow, 0, 0, 1, 1},                                // not one of the four steps
        {Action::Fire, 0, 0, 0, 0, false, 3},                       // a King does not fire
    };
    const State before = s;
    for (const Action& a : refused) {
        EXPECT_FALSE(Apply(s, a)) << int(a.kind);
        EXPECT_EQ(s.MovesLeft, before.MovesLeft);
        EXPECT_EQ(std::memcmp(s.Board, before.Board, sizeof s.Board), 0);
    }
    // A ready Cannon fires with power 1..8 only, in the move phase with moves left.
    ASSERT_TRUE(Apply(s, {Action::Select, 2, 4}));
    EXPECT_FALSE(Apply(s, {Action::Fire, 0, 0, 0, 0, false, 0}) || Apply(s, {Action::Fire, 0, 0, 0, 0, false, 9}));
    s.GameState = PhaseTurnStart;
    EXPECT_FALSE(Apply(s, {Action::Fire, 0, 0, 0, 0, false, 1}) || Apply(s, {Action::Select, 0, 1}));
    s.GameState = PhaseMove, s.MovesLeft = 0;
    EXPECT_FALSE(Apply(s, {Action::Arrow, 0, 0, 0, 1}) || Apply(s, {Action::Fire, 0, 0, 0, 0, false, 1}));
    s.MovesLeft = 1;
    State other = s;
    EXPECT_TRUE(Apply(s, {Action::Fire, 0, 0, 0, 0, false, 1}) && Apply(other, {Action::Fire, 0, 0, 0, 0, false, 8}));
}

TEST(OpponentTest, KeepsItsRecruitsOutOfTheSnipersRows)
{
    // A sniper's Cannons wait at (5, 2) and (5, 4), each one step from three
    // rows, with the moves to hit anything in rows 1 to 5, the portal's
    // recruit first. Hard, on turn with a free portal, must leave nothing
    // there for them: walk out, wall off, recruit nothing or take a shooter.
    const std::vector<Placed> sniper = {{8, 6, R, King}, {7, 6, R, Wall}, {8, 5, R, Wizard},
                                        {5, 2, R, CannonReady}, {5, 4, R, CannonReady}};
    auto with = [&](std::vector<Placed> own) {
        own.insert(own.end(), sniper.begin(), sniper.end());
        return own;
    };
    const std::pair<const char*, std::vector<Placed>> cases[] = {
        // Three moves: no recruit reaches a safe row.
        {"no way out", with({{0, 0, B, King}, {1, 0, B, Wall}, {0, 6, B, Wall}})},
        // Six moves: the recruit can walk to row 6.
        {"way out", with({{0, 0, B, King}, {1, 0, B, Wall}, {2, 6, B, Wizard}})},
        // A Wizard already stands in a watched row.
        {"wizard in the row", with({{0, 0, B, King}, {1, 0, B, Wall}, {0, 6, B, Wizard}, {2, 4, B, Wizard}})},
    };
    auto pieces = [](const State& s, int player) {
        int n = 0;
        for (int kind : {Wizard, Builder, CannonReady, CannonFired})
            n += CountPieces(s, player, kind);
        return n;
    };
    for (const auto& [name, placed] : cases)
        for (bool red : {false, true})
            for (std::uint32_t seed : {1u, 2u}) {
                State s = Position(placed, red);
                const int me = s.CurrentPlayer;
                ASSERT_TRUE(Play(s, Decide(s, Policy::Hard, seed))) << name;
                ASSERT_NE(s.GameState, PhaseGameOver) << name;
                const int kept = pieces(s, me);
                PassTurn(s);
                ASSERT_TRUE(Play(s, Decide(s, Policy::Sniper, seed))) << name;
                EXPECT_EQ(pieces(s, me), kept) << name << (red ? " as Red" : " as Blue") << " seed " << seed;
                EXPECT_FALSE(KingOfFell(s, me)) << name;
            }
}

TEST(OpponentTest, PlaysOnInALostPosition)
{
    // Red's Cannons watch every row of Blue's half, one step at most from
    // any, with moves to spare, and Blue has no Builder and no free portal
    // to recruit one: the King falls next turn whatever Blue does. Blue
    // still plays its moves, and none makes Red's shot cheaper than ending
    // the turn would.
    const std::vector<Placed> lost = {
        {0, 0, B, King}, {0, 3, B, Wizard},
        {8, 6, R, King}, {7, 6, R, Wall}, {8, 5, R, Wizard}, {7, 5, R, Wizard},
        {5, 0, R, CannonReady}, {5, 2, R, CannonReady}, {5, 4, R, CannonReady}, {6, 6, R, CannonReady}};
    for (bool red : {false, true})
        for (Policy p : {Policy::Normal, Policy::Hard})
            for (std::uint32_t seed : {1u, 2u, 3u}) {
                const State start = Position(lost, red);
                State idle = start;
                StartTurn(idle, Empty);
                ASSERT_GE(Detail::ThreatMargin(idle), 0) << "the position is not lost";
                State s = start;
                const Decision d = Decide(s, p, seed);
                ASSERT_TRUE(Play(s, d));
                EXPECT_FALSE(d.actions.empty()) << PolicyName(p) << " passed, red " << red;
                EXPECT_LE(Detail::ThreatMargin(s), Detail::ThreatMargin(idle)) << PolicyName(p) << " red " << red;
            }
}
