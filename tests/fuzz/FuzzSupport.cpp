#include "tests/fuzz/FuzzSupport.h"

#include "core/GameState.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/MessageBox.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

namespace FuzzSupport {

void EnsureGame()
{
    static QApplication* app = nullptr;
    static QTemporaryDir* dir = nullptr;
    if (!app) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("QT_LOGGING_RULES", "qt.*=false", 1);
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        dir = new QTemporaryDir;
        PavixGames::SetAppPathOverride(dir->path());
        PavixGames::UseSteppingTestClock();
        PavixGames::SetMessageBoxHook([](const PavixGames::MessageRequest&) {
            return PavixGames::MsgResult::OK;
        });
        PavixSfxAPI::SetPlayHook([](const QString&) {});
        Turrion::SetExitHook([] {});
        Turrion::StartUp(QString());
    }
    Turrion::State& s = Turrion::Game();
    Turrion::SetupBoard(s);
    s.CurrentPlayer = Turrion::Blue;
    Turrion::CountMoves(s);
    s.GameState = s.ResumeState = Turrion::PhaseMove;
    s.Busy = false;
    s.GameFileName.clear();
}

} // namespace FuzzSupport
