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
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace Turrion {

namespace {
std::function<void()>& ExitHook()
{
    static std::function<void()> hook;
    return hook;
}
std::function<void()>& LoopSleepHook()
{
    static std::function<void()> hook;
    return hook;
}

// State 1: the turn report, the recruit on the portal, the cursor on the King.
void TurnStartPhase()
{
    State& s = Game();
    const GameGuard game(s);
    ShowTurnReport();
    // A game replaced while the report was open takes nothing from it.
    if (!game.Current() || s.GameState != PhaseTurnStart)
        return;
    const int col = PortalCol(s.CurrentPlayer);
    const int recruit = StartTurn(s, s.RecruitKind);
    if (recruit != Empty) {
        DrawPieceSprite(recruit, s.CurrentPlayer, col, PortalRow);
        NetPlay::SendGameMessage(NetPlay::AddPieceMessage(s.CurrentPlayer, recruit, col, PortalRow, false));
        Show();
    }
    DrawSelector();
    Show();
}

// State 2: a click on one of the player's own movable pieces selects it; the
// turn ends by itself once the moves are spent.
void MovePhase()
{
    State& s = Game();
    int c = 0, r = 0;
    if (TakeClick(s, c, r)) {
        if (OnBoard(c, r) && s.Owner[c][r] == s.CurrentPlayer && s.Board[c][r] != Empty &&
            s.Board[c][r] != Wall && s.Board[c][r] != Fire) {
            s.CursorCol = c;
            s.CursorRow = r;
            RedrawAll();
        }
    }
    if (s.MovesLeft <= 0 && MainForm())
        MainForm()->mnuTurnEndTurn_Click();
}

// State 3: a click takes the overlay away, unless no game exists yet.
void OverlayPhase()
{
    State& s = Game();
    int c = 0, r = 0;
    if (!TakeClick(s, c, r))
        return;
    if (s.ResumeState != PhaseNone)
        CloseOverlay();
}
} // namespace

void SetExitHook(std::function<void()> hook)
{
    ExitHook() = std::move(hook);
}

void SetLoopSleepHook(std::function<void()> hook)
{
    LoopSleepHook() = std::move(hook);
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

void MainLoopPass()
{
    State& s = Game();
    PavixGames::DoEvents();
    if (LoopSleepHook())
        LoopSleepHook()();
    else if (!PavixGames::TestClockActive())
        QThread::msleep(20);
    if (TheScreen().QuitFlag)
        return;

    frmMain* form = MainForm();
    if (!form)
        return;
    frmMain::SetMenuEnabled(form->mnuTurn, !WaitingForOther(s));

    switch (s.GameState) {
    case PhaseTurnStart:
    case PhaseMove:
        if (ComputerToMove(s))
            RunComputerTurn();
        else if (WaitingForRemote(s))
            break;
        else if (s.GameState == PhaseTurnStart)
            TurnStartPhase();
        else
            MovePhase();
        break;
    case PhaseOverlay:
        OverlayPhase();
        break;
    case PhaseGameOver:
        if (int c = 0, r = 0; TakeClick(s, c, r))
            ;
        else
            GameOverStep();
        break;
    default:
        break;
    }
}

int Main(const QString& commandLine)
{
    StartUp(commandLine);
    while (!TheScreen().QuitFlag)
        MainLoopPass();
    return 0;
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
