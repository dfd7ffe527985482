// The rules' pure computations: the Tab scan and a cannon shot's state
// change, without drawing or animation.
#include "bench/BenchSupport.h"
#include "logic/Rules.h"

#include <benchmark/benchmark.h>

using namespace Turrion;

namespace {

// Time per single Tab rather than per iteration of 63.
benchmark::Counter PerTab()
{
    return benchmark::Counter(Cols * Rows, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

} // namespace

// Tab pressed once with the cursor on each of the 63 cells in turn.
// Arg 0: the starting board (Blue has two selectable pieces, so most scans
// walk a long way); arg 1: every cell outside the river occupied.
static void BM_TabScan(benchmark::State& state)
{
    State s;
    BenchSupport::LiveGame(s);
    if (state.range(0) == 1)
        BenchSupport::FullBoard(s);
    state.SetLabel(state.range(0) == 1 ? "full board" : "starting board");
    int found = 0;
    for (auto _ : state) {
        for (int index = 0; index < Cols * Rows; ++index) {
            s.CursorCol = index % Cols;
            s.CursorRow = index / Cols;
            int col = 0, row = 0;
            found += Rules::NextOwnPiece(s, col, row) ? 1 : 0;
            benchmark::DoNotOptimize(col);
            benchmark::DoNotOptimize(row);
        }
    }
    benchmark::DoNotOptimize(found);
    if (found != int(state.iterations()) * Cols * Rows)
        state.SkipWithError("a Tab found no piece");
    state.counters["per_tab"] = PerTab();
}
BENCHMARK(BM_TabScan)->Arg(0)->Arg(1);

// A Blue Cannon at (0, 3) fires with power 1..8 along row 3, which holds a
// Blue Builder (2), the river (4), the Red King (5), a Red Wizard (6) and a
// Red Wall (7): the reach, the scan for a Wall and the landing's outcome
// (burn, river, King hit, or the Wall stopping the ball), on a copy of the
// game state. The landing cell and the changed fields are put back after
// each shot.
static void BM_ShotComputation(benchmark::State& state)
{
    const int power = int(state.range(0));
    State base;
    BenchSupport::LiveGame(base);
    base.MovesLeft = 27;
    auto put = [&base](int c, int r, int owner, int kind) {
        base.Board[c][r] = kind;
        base.Owner[c][r] = owner;
    };
    put(0, 3, Blue, CannonReady);
    put(2, 3, Blue, Builder);
    put(5, 3, Red, King);
    put(6, 3, Red, Wizard);
    put(7, 3, Red, Wall);
    base.CursorCol = 0;
    base.CursorRow = 3;

    State s = base;
    int distance = 0;
    Rules::ShotEffect effect = Rules::ShotEffect::River;
    for (auto _ : state) {
        distance = Rules::ShotDistance(s, power);
        const int col = s.CursorCol + Rules::ShotDirection(s.CurrentPlayer) * distance;
        const int row = s.CursorRow;
        s.MovesLeft -= distance;
        const Rules::ShotOutcome outcome = Rules::ResolveShot(s, col, row);
        effect = outcome.effect;
        benchmark::DoNotOptimize(outcome);
        // Back to the position before the shot.
        s.Board[col][row] = base.Board[col][row];
        s.Owner[col][row] = base.Owner[col][row];
        s.MovesLeft = base.MovesLeft;
        s.CursorCol = base.CursorCol;
        s.CursorRow = base.CursorRow;
        s.GameState = base.GameState;
        s.ResumeState = base.ResumeState;
        benchmark::ClobberMemory();
    }
    const int expected = power < 7 ? power : 7;
    if (distance != expected)
        state.SkipWithError("unexpected landing distance");
    const char* what = effect == Rules::ShotEffect::KingHit ? "King hit"
                       : effect == Rules::ShotEffect::River ? "river"
                                                            : "burn";
    state.SetLabel(std::string("lands at column ") + std::to_string(distance) + ": " + what);
}
BENCHMARK(BM_ShotComputation)->DenseRange(1, 8);
