#include "game/GameFlow.h"

#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"
#include "game/ComputerTurn.h"
#include "game/Drawing.h"
#include "game/Screen.h"
#include "game/frmMain.h"
#include "game/frmTurnReport.h"
#include "game/netplay/NetPlay.h"
#include "logic/GameState.h"
#include "logic/Rules.h"

#include <QApplication>
#include <QPointer>

namespace Turrion {

namespace {

Wait g_wait = Wait::None;
PavixGames::StepId g_waitStep = 0;
PavixGames::StepId g_kickStep = 0;
PavixGames::StepId g_blinkStep = 0;

// The end-of-turn message and the pause; the turn passes once the pause is
// over. CurrentPlayer changes only then, so a game started or loaded in the
// pause keeps its own turn (the pause belongs to the game it began in).
void ShowEndOfTurnAndPass(bool remote)
{
    State& s = Game();
    s.TurnChanging = true;
    DrawBoard();
    DrawGameText("End of Turn ...", 20, 20, White);
    Show();
    WaitFor(Wait::EndTurnPause, 1.0, [remote] {
        State& s = Game();
        s.TurnChanging = false;
        PassTurn(s);
        DrawBoard();
        DrawMovesPanel();
        Show();
        NetPlay::TurnPassed();
        // The turn is back here: draw the player's eye to the board.
        frmMain* main = MainForm();
        if (remote && main && s.NetGame && s.NetGameColor == s.CurrentPlayer && !main->isActiveWindow())
            QApplication::alert(main);
    });
}

// The menus a shot locks while it flies and its win sounds.
void UnlockMenus()
{
    if (frmMain* form = MainForm()) {
        frmMain::SetMenuEnabled(form->mnuGame, true);
        frmMain::SetMenuEnabled(form->mnuHelp, true);
    }
}

// The game-over blink runs every half second while the display is up.
void KeepBlinking()
{
    if (PavixGames::Pending(g_blinkStep))
        return;
    GameOverStep();
    g_blinkStep = PavixGames::After(0.5, [] {
        g_blinkStep = 0;
        if (Game().GameState == PhaseGameOver)
            KeepBlinking();
    });
}

// A file dialog, a question or a message is open over the main window: the
// turn report waits until it has gone, rather than open on top of it and
// leave it blocked behind the report. The flow looks again when it goes.
bool DialogInTheWay()
{
    static QPointer<QWidget> awaited;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (awaited != modal) {
        awaited = modal;
        QObject::connect(modal, &QObject::destroyed, [] { Kick(); });
    }
    return true;
}

// The player's turn begins with the report; the choice takes effect when it
// closes: the recruit on the portal, the cursor on the King.
void OpenTurnReport()
{
    const int game = Game().GameId;
    ShowTurnReport([game] {
        State& s = Game();
        if (s.GameId != game || EffectivePhase(s) != PhaseTurnStart)
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
        Kick();
    });
}

} // namespace

Wait Waiting()
{
    // A step dropped from under the flow (tests drop them all) is no wait.
    return PavixGames::Pending(g_waitStep) ? g_wait : Wait::None;
}

bool HoldsRemoteMessages()
{
    const Wait wait = Waiting();
    return wait != Wait::None && wait != Wait::ComputerBeat;
}

void WaitFor(Wait kind, double seconds, std::function<void()> then)
{
    PavixGames::Cancel(g_waitStep);
    g_wait = kind;
    const int game = Game().GameId;
    g_waitStep = PavixGames::After(seconds, [game, then = std::move(then)] {
        g_wait = Wait::None;
        g_waitStep = 0;
        if (Game().GameId != game)
            return;
        then();
        if (Waiting() == Wait::None)
            Continue();
    });
}

void Kick()
{
    if (!PavixGames::Pending(g_kickStep))
        g_kickStep = PavixGames::After(0, [] {
            g_kickStep = 0;
            Continue();
        });
}

void Continue()
{
    if (Waiting() != Wait::None)
        return;
    State& s = Game();
    frmMain* form = MainForm();
    if (form)
        frmMain::SetMenuEnabled(form->mnuTurn, !WaitingForOther(s));
    // What the other copy sent while this one was busy comes first, in order.
    NetPlay::TakeWaitingMessages();
    if (Waiting() != Wait::None || !form)
        return;
    switch (s.GameState) {
    case PhaseTurnStart:
        if (ComputerToMove(s))
            RunComputerTurn();
        else if (!WaitingForRemote(s) && !TurnReportOpen() && !DialogInTheWay())
            OpenTurnReport();
        break;
    case PhaseMove:
        if (ComputerToMove(s))
            RunComputerTurn();
        else if (!WaitingForRemote(s) && s.MovesLeft <= 0)
            EndTurn();
        break;
    case PhaseGameOver:
        KeepBlinking();
        break;
    default:
        break;
    }
}

void GameReplaced()
{
    PavixGames::Cancel(g_waitStep);
    g_waitStep = 0;
    g_wait = Wait::None;
    ForgetComputerTurn();
    // A turn report still open belongs to the game that is gone, and so
    // do the menus a flight had locked.
    CloseTurnReport();
    UnlockMenus();
    Kick();
}

void BoardClicked(int col, int row)
{
    State& s = Game();
    if (s.GameState == PhaseOverlay) {
        if (s.ResumeState != PhaseNone)
            CloseOverlay();
        return;
    }
    // Only the player on turn selects, and not while a turn changes hands or
    // a shot flies.
    if (s.GameState != PhaseMove || WaitingForOther(s) || s.Busy || s.TurnChanging ||
        Waiting() != Wait::None || !Rules::Selectable(s, col, row))
        return;
    s.CursorCol = col;
    s.CursorRow = row;
    RedrawAll();
}

void frmMain::mnuGameNewTwo_Click()
{
    StartGame(NoPlayer);
}

void frmMain::mnuGameNewBlue_Click()
{
    StartGame(Red);
}

void frmMain::mnuGameNewRed_Click()
{
    StartGame(Blue);
}

void frmMain::StartGame(int computerColor)
{
    State& s = Game();
    StartNewGame(s, computerColor);
    GameReplaced();
    // The host shares the game from its first moment: what it does next (a
    // change of colours, its first moves) reaches the other side after it.
    if (s.NetState == NetHostWithPlayer)
        NetPlay::SendMessage("NG}" + s.NetName);
    s.NetGame = s.NetState == NetHostWithPlayer || s.NetState == NetConnected;
    DrawBoard();
    DrawMovesPanel();
    PlayGameSound("start.wav");
    DrawGameText("Starting a new game ...", 20, 20, White);
    Show();
    WaitFor(Wait::NewGamePause, 1.0, [this] {
        State& s = Game();
        DrawBoard();
        DrawMovesPanel();
        Show();
        mnuTurnEndTurn->setEnabled(true);
        if (s.NetState != NetConnected && s.NetState != NetConnecting)
            mnuGameSave->setEnabled(true);
    });
}

void frmMain::mnuTurnEndTurn_Click()
{
    State& s = Game();
    // Only a turn in play ends, once: not the other NetPlay side's, not a
    // game still being set up or already over, and not a second time from
    // inside the pause (a held Ctrl+E would skip the other player's turns).
    if (!CanEndTurn(s))
        return;
    EndTurn();
}

void EndTurn()
{
    State& s = Game();
    s.MovesLeft = 0;
    NetPlay::SendGameMessage(NetPlay::EndTurnMessage(s.CurrentPlayer));
    ShowEndOfTurnAndPass(false);
}

void SimEndTurn()
{
    ShowEndOfTurnAndPass(true);
}

void WinPause()
{
    WaitFor(Wait::WinPause, 1.0, [] {
        // A winning shot of this side kept the menus locked until now.
        UnlockMenus();
        PlayGameSound("win.wav");
    });
}

void CloseOverlay()
{
    State& s = Game();
    s.GameState = s.ResumeState;
    DrawBoard();
    if (s.ResumeState == PhaseMove) {
        DrawMovesPanel();
        DrawSelector();
    }
    Show();
    // Whatever the picture held (a turn report, the computer's turn, the
    // blink) goes on.
    Kick();
}

void RedrawView()
{
    switch (Game().GameState) {
    case PhaseOverlay:
        ShowTitle();
        break;
    case PhaseMove:
        RedrawAll();
        break;
    case PhaseGameOver:
        // The display redraws at once, a blink early.
        GameOverStep();
        break;
    default:
        DrawBoard();
        DrawMovesPanel();
        Show();
        break;
    }
}

void GameOverStep()
{
    const State& s = Game();
    Screen& v = TheScreen();
    v.BlinkToggle = !v.BlinkToggle;
    if (!OnBoard(s.CursorCol, s.CursorRow))
        return;
    const bool blueFell = s.CursorCol < MiddleColumn;
    // The fallen King and a Fire of its side take turns on its cell; the
    // board itself keeps the King. A finished game blinks for as long as it
    // stands, so once its whole frame is up only that cell is drawn again
    // (the texts stand in the other half). Anything else drawn meanwhile (a
    // zoom, the other copy's message, the title) changes the back buffer,
    // and the frame is drawn whole again.
    static quint64 frameShown = 0;
    const bool whole = BackBufferKey() != frameShown;
    if (whole)
        DrawBoard();
    if (v.BlinkToggle || !whole) {
        ClearCell(s.CursorCol, s.CursorRow);
        if (v.BlinkToggle)
            DrawPieceSprite(Fire, blueFell ? Blue : Red, s.CursorCol, s.CursorRow);
        else if (s.Board[s.CursorCol][s.CursorRow] != Empty)
            DrawPieceSprite(s.Board[s.CursorCol][s.CursorRow], s.Owner[s.CursorCol][s.CursorRow],
                            s.CursorCol, s.CursorRow);
    }
    if (whole) {
        const int x = blueFell ? 200 : 0;
        DrawGameText("Game Over ...", x, 40, Yellow);
        DrawGameText(blueFell ? "Red Wins!!" : "Blue Wins!!", x, 60, Yellow);
        DrawGameText("In Turn #" + QString::number(s.TurnNumber), x, 100, Yellow);
    }
    frameShown = BackBufferKey();
    Show();
}

} // namespace Turrion
