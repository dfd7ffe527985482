// One full redraw into the back buffer: the background, a piece on every
// cell outside the river, the Moves panel and the selector.
#include "bench/BenchSupport.h"
#include "game/Drawing.h"

#include <benchmark/benchmark.h>

static void BM_FullRedraw(benchmark::State& state)
{
    BenchSupport::StartGame();
    Turrion::State& s = Turrion::Game();
    BenchSupport::FullBoard(s);
    s.CurrentPlayer = Turrion::Blue;
    s.GameState = s.ResumeState = Turrion::PhaseMove;
    s.MovesLeft = 27;
    s.CursorCol = 2;
    s.CursorRow = 3;
    for (auto _ : state) {
        Turrion::DrawBoard();
        Turrion::DrawMovesPanel();
        Turrion::DrawSelector();
    }
}
BENCHMARK(BM_FullRedraw);
