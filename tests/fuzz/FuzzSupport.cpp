#include "tests/fuzz/FuzzSupport.h"

#include "core/GameState.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/MessageBox.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace FuzzSupport {

namespace {
QStringList& Boxes()
{
    static QStringList boxes;
    return boxes;
}
} // namespace

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
        // Big steps: a one-second pause takes a handful of event pumps.
        PavixGames::UseSteppingTestClock(0.1);
        PavixGames::SetMessageBoxHook([](const PavixGames::MessageRequest& r) {
            Boxes() << r.caption;
            return r.buttons == PavixGames::MsgButtons::YesNo ? PavixGames::MsgResult::Yes
                                                              : PavixGames::MsgResult::OK;
        });
        PavixSfxAPI::SetPlayHook([](const QString&) {});
        Turrion::SetExitHook([] {});
        Turrion::StartUp(QString());
    }
    Turrion::State& s = Turrion::Game();
    Turrion::SetupBoard(s);
    s.CurrentPlayer = Turrion::Blue;
    Turrion::CountMoves(s);
    s.FreshTurn = false;
    s.RecruitKind = 0;
    s.GameState = s.ResumeState = Turrion::PhaseMove;
    Turrion::PutCursorOnKing(s, s.CurrentPlayer);
    s.Busy = false;
    s.MouseClicked = false;
    s.GameFileName.clear();
    s.NetState = Turrion::NetNone;
    s.NetGame = false;
    s.NetGameColor = 0;
    s.NetColor = 0;
    s.NetIsHost = false;
    s.CancelClose = false;
    s.RemoteName.clear();
    if (Turrion::frmMain* form = Turrion::MainForm()) {
        form->mnuTurnEndTurn->setEnabled(true);
        form->mnuGameSfx->setChecked(true);
    }
    Boxes().clear();
}

const QStringList& MessageBoxes()
{
    return Boxes();
}

QString ProgramFolder()
{
    return PavixGames::AppPath();
}

} // namespace FuzzSupport
