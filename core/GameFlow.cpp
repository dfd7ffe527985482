#include "core/GameFlow.h"

#include "core/Drawing.h"
#include "core/GameState.h"
#include "core/frmMain.h"
#include "engine/PavixGames.h"
#include "netplay/NetPlay.h"

#include <QCoreApplication>

namespace Turrion {

namespace {
// The end-of-turn message, the pause, and the turn passed on. The pause
// pumps events, so CurrentPlayer changes only after it.
void ShowEndOfTurnAndPass(State& s)
{
    DrawBoard();
    DrawGameText("End of Turn ...", 20, 20, White);
    Show();
    PauseSeconds(1.0);
    PassTurn(s);
    DrawBoard();
    DrawMovesPanel();
    Show();
}
} // namespace

void frmMain::mnuGameNewTwo_Click()
{
    State& s = Game();
    s.GameFileName.clear();
    SetupBoard(s);
    DrawBoard();
    s.CurrentPlayer = Blue;
    CountMoves(s);
    DrawMovesPanel();
    s.GameState = PhaseTurnStart;
    s.ResumeState = PhaseTurnStart;
    s.CurrentPlayer = Blue;
    PlayGameSound("start.wav");
    DrawGameText("Starting a new game ...", 20, 20, White);
    Show();
    PauseSeconds(1.0);
    DrawBoard();
    DrawMovesPanel();
    Show();
    mnuTurnEndTurn->setEnabled(true);
    if (s.NetState != NetConnected && s.NetState != NetConnecting)
        mnuGameSave->setEnabled(true);

    if (s.NetState == NetHostWithPlayer) {
        NetPlay::SendMessage("NG}" + s.NetName);
        QCoreApplication::processEvents();
        if (s.NetState == NetHostWithPlayer) {
            s.NetGame = true;
            s.NetGameColor = s.NetColor;
            return;
        }
    } else if (s.NetState == NetConnected) {
        s.NetGameColor = s.NetColor;
        s.NetGame = true;
        return;
    }
    s.NetGame = false;
}

void frmMain::mnuTurnEndTurn_Click()
{
    State& s = Game();
    // The Turn menu is locked while the other side plays, but its shortcut
    // could still be queued; ending the other side's turn here would split
    // the two boards.
    if (WaitingForRemote(s))
        return;
    s.MovesLeft = 0;
    if (s.NetGame)
        NetPlay::SendMessage("ET}" + QString::number(s.CurrentPlayer));
    ShowEndOfTurnAndPass(s);
}

void SimEndTurn()
{
    ShowEndOfTurnAndPass(Game());
}

void CloseOverlay()
{
    State& s = Game();
    DrawBoard();
    if (s.ResumeState == PhaseMove) {
        DrawMovesPanel();
        DrawSelector();
    }
    Show();
    s.GameState = s.ResumeState;
}

void GameOverStep()
{
    State& s = Game();
    const double now = PavixGames::GetEngineTime();
    if (now - s.LastBlinkTime <= 0.5)
        return;
    s.LastBlinkTime = now;
    s.BlinkToggle = !s.BlinkToggle;
    if (!OnBoard(s.CursorCol, s.CursorRow))
        return;
    const bool blueFell = s.CursorCol < MiddleColumn;
    s.Board[s.CursorCol][s.CursorRow] = s.BlinkToggle ? Fire : King;
    s.Owner[s.CursorCol][s.CursorRow] = blueFell ? Blue : Red;
    DrawBoard();
    const int x = blueFell ? 200 : 0;
    DrawGameText("Game Over ...", x, 40, Yellow);
    DrawGameText(blueFell ? "Red Wins!!" : "Blue Wins!!", x, 60, Yellow);
    DrawGameText("In Turn #" + QString::number(s.TurnNumber), x, 100, Yellow);
    Show();
}

} // namespace Turrion
