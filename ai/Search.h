// The opponent's machinery behind Decide: walking pieces, finding a shot
// at a King, judging a position and building a turn. Internal to turrion_ai
// (the tests and the benchmark may use it; the window should not need to).
#pragma once

#include "ai/Opponent.h"

#include <cstdint>
#include <vector>

namespace Turrion::AI::Detail {

// A small generator of our own, so that a seed gives the same game with any
// standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : x_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (x_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 1 ? 0 : int(Next() % std::uint64_t(n)); }
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    std::uint64_t x_;
};

inline int Enemy(int player) { return player == Blue ? Red : Blue; }
inline int Forward(int player) { return player == Red ? -1 : 1; }
inline bool InHalf(int player, int col) { return player == Red ? col > MiddleColumn : col < MiddleColumn; }
// The column of a player's half farthest from the river.
inline int BackColumn(int player) { return player == Red ? Cols - 1 : 0; }

// A turn being built: the state after the actions so far. Copies of it are
// the branches of every search; `record` false keeps no actions (cheaper
// copies where only the cost matters).
struct Line {
    explicit Line(const State& state, bool keep = true) : s(state), record(keep) {}

    State s;
    std::vector<Action> actions;
    bool record = true;

    bool Do(const Action& a);
    bool Select(int col, int row) { return Do({Action::Select, col, row}); }
    bool Fire(int power) { return Do({Action::Fire, 0, 0, 0, 0, false, power}); }
    bool Over() const { return s.GameState == PhaseGameOver; }
};

// Shortest walks of the piece at one cell through the empty cells of its
// owner's half (the owner must be on turn).
struct Paths {
    signed char dist[Cols][Rows]; // -1: out of reach
    int fromCol = 0, fromRow = 0;

    void Search(const State& s, int col, int row);
    bool Reaches(int col, int row) const { return dist[col][row] >= 0; }
    // Selects the piece and walks it to (col, row).
    bool Walk(Line& line, int col, int row) const;
};

// The cheapest shot (or run of shots, each burning the Wall in front of the
// next) with which the player on turn hits the enemy King, moving Cannons
// into its row as needed, that costs fewer than `bound` moves. Returns the
// cost, or -1 when there is none. `plan`, when given, receives the actions.
// The moves left on the state do not limit the search: the bound does.
int KingShot(const State& s, int bound, std::vector<Action>* plan = nullptr);

// Moves the enemy of the player on turn would keep in hand after hitting
// that player's King in its next turn (its recruit a Cannon when it can),
// if the turn ended now: 0 or more means the King falls. -9 when out of
// reach by far.
int ThreatMargin(const State& s);
// The same for the player on turn against the enemy King, one turn later,
// if the enemy did nothing in between.
int AttackMargin(const State& s);

// How a strength builds and judges turns.
struct Style {
    double noise = 0;         // random spread added to each candidate's score
    double stopChance = 0;    // chance to end the turn after each step
    bool seeThreats = true;   // weigh the enemy's reply shot
    bool takeWins = true;     // always take a reachable King shot
    double winChance = 1;     // else: the chance to see one
    int lookahead = 0;        // lines whose enemy reply is played out
    bool guardPieces = false; // weigh the pieces the enemy can shoot next
};

// How much of a piece left in the enemy's line of fire counts as lost.
inline constexpr double ExposedShare = 1.5;

// The worth of the most valuable piece of `victim` (its King aside) that an
// enemy Cannon can hit in the enemy's next turn, walking into a row and
// firing within the moves the enemy will have; 0 when there is none. With
// `after`, only the pieces that still stand there count.
double Exposed(const State& s, int victim, const State* after = nullptr);

// The worth of a position at the end of the turn of the player on turn, for
// that player (a finished game: +-1e6).
double Evaluate(const State& s, const Style& style);

// Every turn-step worth trying from here: shots, walks, Walls.
void Candidates(const Line& line, std::vector<Line>& out);

// The whole turn of a strength from the turn start.
Decision Plan(const State& s, const Style& style, Rng& rng);

} // namespace Turrion::AI::Detail
