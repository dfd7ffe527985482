#include "game/modTurrion.h"
#include "game/Screen.h"

#include "game/ComputerTurn.h"
#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "logic/GameState.h"
#include "game/SaveGame.h"
#include "logic/Settings.h"
#include "game/frmGraphics.h"
#include "game/frmMain.h"
#include "engine/gui/PavixGDI.h"
#include "engine/PavixGames.h"
#include "game/netplay/NetPlay.h"
#include "game/frmTurnReport.h"

#include <QFileInfo>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace Turrion {

namespace {
std::function<void()>& ExitHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SetExitHook(std::function<void()> hook)
{
    ExitHook() = std::move(hook);
}

QString JoinCommandLine(const QStringList& arguments)
{
    return arguments.mid(1).join(' ');
}

QString GameFileFromCommandLine(const QString& commandLine)
{
    QString name = commandLine;
    if (name.startsWith('"'))
        name.remove(0, 1);
    if (name.endsWith('"'))
        name.chop(1);
    if (!name.endsWith(".trs"))
        return QString();
    const QFileInfo info(name);
    if (!info.exists() || !info.isFile())
        return QString();
    return name;
}

frmMain* StartUp(const QString& commandLine)
{
    State& s = Game();
    Screen& v = TheScreen();
    PavixGames::StartEngine(1);
    ReadSettings(PavixGames::ConfigPath() + "settings.dat", TheScreen());
    ReadPreferences(PavixGames::ConfigPath() + "preferences.ini", TheScreen());

    auto* form = new frmMain;
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    form->Form_Load();
    v.ViewPort = PavixGDI::NewViewport(form->picViewPort, qRound(ViewWidth * PixelScale()),
                                       qRound(ViewHeight * PixelScale()), PixelScale());
    LoadGraphics();

    // Until the first game the view shows the title picture.
    ShowTitle();
    form->show();
    form->activateWindow();
    form->setFocus();

    v.QuitFlag = false;
    s.GameState = PhaseOverlay;
    s.ResumeState = PhaseNone;
    s.Busy = false;

    s.GameFileName = GameFileFromCommandLine(commandLine);
    // A file that is refused must not become the target of a later Save.
    if (!s.GameFileName.isEmpty() && !LoadGame())
        s.GameFileName.clear();
    return form;
}

int Main(const QString& commandLine)
{
    StartUp(commandLine);
    // Everything from here on happens on the one event loop: input, the
    // other copy's messages, and the game's own scheduled steps.
    return QCoreApplication::exec();
}

void Shutdown()
{
    PavixGDI::StopGraphics();
    UnloadGraphicsForm();
    PavixGames::StopEngine();
    TheScreen().QuitFlag = true;
    if (ExitHook()) {
        ExitHook()();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace Turrion
