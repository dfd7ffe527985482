// The computer opponent: a whole turn decided at once, then replayed one
// action at a time through the same rules a player's keys and clicks use.
//
// Everything here is plain game logic over turrion_logic: no window, no
// clock, no global game. A decision depends only on the state and the seed.
#pragma once

#include "logic/GameState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Turrion::AI {

enum class Strength { Easy, Normal, Hard };

struct Action {
    // Tab: the next own piece in reading order, as the Tab key selects it.
    enum Kind { Select, Arrow, Fire, Tab } kind = Select;
    int col = 0, row = 0;   // Select: the own piece to select
    int dCol = 0, dRow = 0; // Arrow: the step (one of the four directions)
    bool wall = false;      // Arrow with a Builder selected: build or remove a Wall on the neighbour
    int power = 0;          // Fire: 1..8, with a ready Cannon selected
};

struct Decision {
    int recruit = Empty;
    std::vector<Action> actions;
};

// The computer's whole turn, from the state at its turn start (GameState
// PhaseTurnStart, its recruit not yet chosen). Deterministic for a seed.
// The recruit is Empty whenever the portal is taken. Every action is legal
// in order from the state after StartTurn(s, recruit); the list ends when
// the moves run out or the game is over, or earlier when ending the turn
// is better.
Decision Decide(const State& s, Strength strength, std::uint32_t seed);

// One action through the rules, as a player's key or click would do it;
// false (and nothing changed) when the rules refuse it: not the move phase,
// no moves left, a Select of a cell that cannot be selected, an Arrow that
// moves or builds nothing, a Fire without a ready Cannon or a cell to land,
// a Tab with no own piece to select.
bool Apply(State& s, const Action& a);

// The players the arena compares: the three strengths and three yardsticks.
// Random plays uniformly random legal actions; Greedy takes a King shot
// whenever one can be reached and otherwise plays like Random. Sniper is the
// patient player: it parks Cannons in rows free of Walls, keeps the King
// home and shoots whatever enemy piece enters those rows, the King first.
enum class Policy { Random, Greedy, Easy, Normal, Hard, Sniper };
Decision Decide(const State& s, Policy policy, std::uint32_t seed);
std::optional<Policy> PolicyFromName(std::string_view name);
const char* PolicyName(Policy policy);

// What is wrong with a game in play, or "" when nothing is: pieces and owners
// in range, nothing in the river, every piece but Fire in its owner's half,
// one King a side while the game runs, the moves and the cursor in range.
std::string InvariantBreach(const State& s);

} // namespace Turrion::AI
