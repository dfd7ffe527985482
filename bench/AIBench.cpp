// One whole turn of the computer opponent, decided from its turn start, on
// three fixed positions: the opening, a midgame reached by Normal playing
// both sides, and a King under threat that must be shielded.
#include "ai/Opponent.h"

#include <benchmark/benchmark.h>

using namespace Turrion;

namespace {

State Opening()
{
    State s;
    StartNewGame(s);
    return s;
}

// Ten turns of Normal against Normal from the opening, Blue to move.
State Midgame()
{
    State s = Opening();
    for (std::uint32_t turn = 0; turn < 10; ++turn) {
        const AI::Decision d = AI::Decide(s, AI::Strength::Normal, 1000 + turn);
        StartTurn(s, d.recruit);
        for (const AI::Action& a : d.actions)
            AI::Apply(s, a);
        if (s.GameState == PhaseGameOver)
            break;
        PassTurn(s);
    }
    return s;
}

// Red burns the Wall at (1, 1) and hits the Blue King at (0, 1) with two
// Cannons in row 1 unless Blue walls the row again this turn.
State Threat()
{
    State s;
    struct Placed { int col, row, owner, kind; };
    const Placed pieces[] = {
        {0, 1, Blue, King}, {1, 1, Blue, Wall}, {1, 2, Blue, Builder}, {0, 3, Blue, Wizard},
        {2, 5, Blue, CannonReady}, {8, 6, Red, King}, {5, 1, Red, CannonReady},
        {6, 1, Red, CannonReady}, {7, 3, Red, Wizard}, {7, 4, Red, Wizard}, {8, 4, Red, Wizard}};
    for (const Placed& p : pieces)
        s.Board[p.col][p.row] = p.kind, s.Owner[p.col][p.row] = p.owner;
    s.TurnNumber = 6;
    s.CurrentPlayer = Blue;
    s.GameState = s.ResumeState = PhaseTurnStart;
    CountMoves(s);
    return s;
}

void BM_Decide(benchmark::State& state)
{
    const int position = int(state.range(0));
    const auto strength = AI::Strength(state.range(1));
    const State s = position == 0 ? Opening() : position == 1 ? Midgame() : Threat();
    static const char* positions[] = {"opening", "midgame", "threat"};
    static const char* strengths[] = {"easy", "normal", "hard"};
    state.SetLabel(std::string(positions[position]) + ", " + strengths[state.range(1)]);
    std::uint32_t seed = 1;
    std::size_t actions = 0;
    for (auto _ : state) {
        const AI::Decision d = AI::Decide(s, strength, seed++);
        actions += d.actions.size();
        benchmark::DoNotOptimize(d);
    }
    if (s.GameState != PhaseTurnStart)
        state.SkipWithError("the position is not a turn start");
    if (state.range(1) != 0 && actions == 0)
        state.SkipWithError("the turn did nothing");
}
BENCHMARK(BM_Decide)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->ArgNames({"position", "strength"})
    ->Unit(benchmark::kMillisecond);

} // namespace
