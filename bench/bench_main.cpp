// Benchmarks run headless against a started game in a temporary folder.
#include "bench/BenchSupport.h"

#include "game/modTurrion.h"
#include "engine/gui/MessageBox.h"
#include "engine/gui/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace BenchSupport {

static QTemporaryDir* g_dir = nullptr;
static int g_boxes = 0;

void StartGame()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    g_dir = new QTemporaryDir;
    PavixGames::SetAppPathOverride(g_dir->path());
    PavixGames::UseManualClock();
    // A benchmark must never stop at a modal box; a box means something went
    // wrong, and the benchmarks check the count.
    PavixGames::SetMessageBoxHook([](const PavixGames::MessageRequest&) {
        ++g_boxes;
        return PavixGames::MsgResult::Yes;
    });
    Turrion::SetExitHook([] {});
    Turrion::StartUp(QString());
}

QString Folder()
{
    return g_dir ? g_dir->path() + QLatin1Char('/') : QString();
}

int MessageBoxes()
{
    return g_boxes;
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

void LiveGame(Turrion::State& s)
{
    using namespace Turrion;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    s.GameState = s.ResumeState = PhaseMove;
    s.FreshTurn = true;
    s.RecruitKind = 0;
    CountMoves(s);
    PutCursorOnKing(s, Blue);
}

} // namespace BenchSupport

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
