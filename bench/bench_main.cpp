// Benchmarks run headless against a started game in a temporary folder.
#include "bench/BenchSupport.h"

#include "core/modTurrion.h"
#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace BenchSupport {

static QTemporaryDir* g_dir = nullptr;

void StartGame()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    g_dir = new QTemporaryDir;
    PavixGames::SetAppPathOverride(g_dir->path());
    PavixGames::UseSteppingTestClock();
    Turrion::SetExitHook([] {});
    Turrion::StartUp(QString());
}

void FullBoard(Turrion::State& s)
{
    using namespace Turrion;
    const int kinds[] = {King, Wizard, Builder, Wall, Fire, CannonReady, CannonFired};
    int i = 0;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            if (c == MiddleColumn) {
                s.Board[c][r] = s.Owner[c][r] = 0;
                continue;
            }
            s.Board[c][r] = kinds[i++ % 7];
            s.Owner[c][r] = c < MiddleColumn ? Blue : Red;
        }
}

} // namespace BenchSupport

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
