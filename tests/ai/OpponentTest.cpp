// The computer opponent on small positions, written from Blue's side and
// played from both sides by mirroring the board.
#include "ai/Opponent.h"

#include <gtest/gtest.h>

#include <cstring>
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
        s.Board[col][p.row] = p.kind;
        s.Owner[col][p.row] = red ? Blue + Red - p.owner : p.owner;
    }
    s.TurnNumber = 5;
    s.CurrentPlayer = red ? Red : Blue;
    s.GameState = s.ResumeState = PhaseTurnStart;
    CountMoves(s);
    return s;
}

// The decision played as the window plays it; false when the rules refuse
// an action.
bool Play(State& s, const Decision& d)
{
    StartTurn(s, d.recruit);
    for (const Action& a : d.actions)
        if (!Apply(s, a))
            return false;
    return true;
}

bool KingOfFell(const State& s, int player)
{
    return s.GameState == PhaseGameOver && s.Board[s.CursorCol][s.CursorRow] == King &&
           s.Owner[s.CursorCol][s.CursorRow] == player;
}

constexpr int B = Blue, R = Red;
constexpr Policy Players[] = {Policy::Greedy, Policy::Normal, Policy::Hard};

} // namespace

TEST(OpponentTest, TakesTheKingShotWithinReach)
{
    struct Case {
        const char* name;
        std::vector<Placed> pieces;
    };
    const Case cases[] = {
        // Six moves, six cells to fly.
        {"straight", {{0, 0, B, King}, {0, 3, B, Wizard}, {2, 2, B, CannonReady},
                      {8, 2, R, King}, {7, 1, R, Wall}, {7, 5, R, Wall}}},
        // Nine moves: three steps into the King's row, then five cells.
        {"walk first", {{0, 0, B, King}, {0, 3, B, Wizard}, {0, 4, B, Wizard}, {3, 5, B, CannonReady},
                        {8, 2, R, King}, {7, 5, R, Wall}}},
        // Twelve moves: one Cannon burns the Wall, the other flies over the Fire.
        {"burn the wall", {{0, 0, B, King}, {0, 3, B, Wizard}, {0, 4, B, Wizard}, {0, 5, B, Wizard},
                           {1, 2, B, CannonReady}, {2, 2, B, CannonReady},
                           {8, 2, R, King}, {7, 2, R, Wall}}},
    };
    for (const Case& c : cases)
        for (bool red : {false, true})
            for (Policy p : Players) {
                State s = Position(c.pieces, red);
                ASSERT_TRUE(Play(s, Decide(s, p, 7))) << c.name << " " << PolicyName(p);
                EXPECT_TRUE(KingOfFell(s, red ? Blue : Red)) << c.name << " " << PolicyName(p) << " red " << red;
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
    for (const auto& pieces : positions)
        for (bool red : {false, true}) {
            const int me = red ? Red : Blue;
            // Without an answer the threat is real.
            State idle = Position(pieces, red);
            ASSERT_TRUE(Play(idle, {}));
            PassTurn(idle);
            ASSERT_TRUE(Play(idle, Decide(idle, Policy::Greedy, 1)));
            ASSERT_TRUE(KingOfFell(idle, me));

            for (Policy p : {Policy::Normal, Policy::Hard}) {
                State s = Position(pieces, red);
                ASSERT_TRUE(Play(s, Decide(s, p, 3)));
                ASSERT_NE(s.GameState, PhaseGameOver);
                PassTurn(s);
                ASSERT_TRUE(Play(s, Decide(s, Policy::Greedy, 1)));
                EXPECT_FALSE(KingOfFell(s, me)) << PolicyName(p) << " red " << red;
            }
        }
}

TEST(OpponentTest, ShortGamesStayInsideTheRules)
{
    // Every action goes through Apply and must be taken; pieces keep to their
    // halves, the river stays empty, and a recruit is chosen only for a free
    // portal.
    struct Match { Policy blue, red; int games, turns; };
    const Match matches[] = {
        {Policy::Random, Policy::Greedy, 160, 10}, {Policy::Easy, Policy::Random, 40, 8},
        {Policy::Normal, Policy::Easy, 12, 6}, {Policy::Hard, Policy::Normal, 1, 3}};
    int decisions = 0;
    for (const Match& m : matches)
        for (int game = 0; game < m.games; ++game) {
            State s;
            StartNewGame(s);
            while (s.GameState != PhaseGameOver && s.TurnNumber <= m.turns) {
                const Policy p = s.CurrentPlayer == Blue ? m.blue : m.red;
                const Decision d = Decide(s, p, std::uint32_t(game * 1000 + decisions++));
                const bool portalFree = s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty;
                ASSERT_TRUE(portalFree || d.recruit == Empty) << PolicyName(p);
                ASSERT_TRUE(Play(s, d)) << PolicyName(p) << " game " << game;
                for (int c = 0; c < Cols; ++c)
                    for (int r = 0; r < Rows; ++r) {
                        const int kind = s.Board[c][r], owner = s.Owner[c][r];
                        ASSERT_TRUE(kind == Empty || c != MiddleColumn) << c << "," << r;
                        ASSERT_TRUE(kind == Empty || kind == Fire || (owner == Blue) == (c < MiddleColumn))
                            << PolicyName(p) << " left its half at " << c << "," << r;
                    }
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
    auto same = [](const Decision& a, const Decision& b) {
        if (a.recruit != b.recruit || a.actions.size() != b.actions.size())
            return false;
        for (std::size_t i = 0; i < a.actions.size(); ++i) {
            const Action &x = a.actions[i], &y = b.actions[i];
            if (x.kind != y.kind || x.col != y.col || x.row != y.row || x.dCol != y.dCol ||
                x.dRow != y.dRow || x.wall != y.wall || x.power != y.power)
                return false;
        }
        return true;
    };
    for (Strength strength : {Strength::Easy, Strength::Normal, Strength::Hard})
        for (std::uint32_t seed : {1u, 99u})
            EXPECT_TRUE(same(Decide(s, strength, seed), Decide(s, strength, seed))) << int(strength);
}

TEST(OpponentTest, ApplyRefusesWhatTheKeysRefuse)
{
    State s;
    StartNewGame(s);
    StartTurn(s, Empty); // Blue, cursor on its King at (0, 1), Wall at (1, 1)
    const Action refused[] = {
        {Action::Select, 8, 1},                    // the enemy King
        {Action::Select, 1, 1},                    // a Wall
        {Action::Arrow, 0, 0, 1, 0},               // into the own Wall
        {Action::Arrow, 0, 0, -1, 0},              // off the board
        {Action::Arrow, 0, 0, 1, 1},               // not one of the four steps
        {Action::Fire, 0, 0, 0, 0, false, 3},      // a King does not fire
    };
    const State before = s;
    for (const Action& a : refused) {
        EXPECT_FALSE(Apply(s, a)) << int(a.kind);
        EXPECT_EQ(s.MovesLeft, before.MovesLeft);
        EXPECT_EQ(std::memcmp(s.Board, before.Board, sizeof s.Board), 0);
    }
    s.MovesLeft = 0;
    EXPECT_FALSE(Apply(s, {Action::Arrow, 0, 0, 0, 1})); // no moves left
}
