#include "game/GameFlow.h"
#include "game/Screen.h"

#include "game/Drawing.h"
#include "logic/GameState.h"
#include "game/frmMain.h"
#include "engine/PavixGames.h"
#include "game/netplay/NetPlay.h"
#include "game/frmTurnReport.h"

#include <QCoreApplication>

namespace Turrion {

namespace {
// The end-of-turn message, the pause, and the turn passed on. The pause
// pumps events, so CurrentPlayer changes only after it; a game started or
// loaded meanwhile keeps its own turn.
void ShowEndOfTurnAndPass(State& s)
{
    const GameGuard game(s);
    s.TurnChanging = true;
    DrawBoard();
    DrawGameText("End of Turn ...", 20, 20, White);
    Show();
    if (!PauseSeconds(1.0, game))
        return;
    s.TurnChanging = false;
    PassTurn(s);
    DrawBoard();
    DrawMovesPanel();
    Show();
}
} // namespace

void GameReplaced()
{
    // A turn report still open belongs to the game that is gone.
    CloseTurnReport();
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
    const GameGuard game(s);
    DrawBoard();
    DrawMovesPanel();
    PlayGameSound("start.wav");
    DrawGameText("Starting a new game ...", 20, 20, White);
    Show();
    if (!PauseSeconds(1.0, game))
        return;
    DrawBoard();
    DrawMovesPanel();
    Show();
    mnuTurnEndTurn->setEnabled(true);
    if (s.NetState != NetConnected && s.NetState != NetConnecting)
        mnuGameSave->setEnabled(true);

    // The host shares the game once the other side has it; the connecting
    // side shares it from its start, unless the connection ended meanwhile.
    if (s.NetState == NetHostWithPlayer) {
        NetPlay::SendMessage("NG}" + s.NetName);
        QCoreApplication::processEvents();
        if (!game.Current())
            return;
    }
    s.NetGame = s.NetState == NetHostWithPlayer || s.NetState == NetConnected;
    s.NetGameColor = s.NetColor;
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
    ShowEndOfTurnAndPass(s);
}

void SimEndTurn()
{
    ShowEndOfTurnAndPass(Game());
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
}

void RedrawView()
{
    State& s = Game();
    switch (s.GameState) {
    case PhaseOverlay:
        ShowTitle();
        break;
    case PhaseMove:
        RedrawAll();
        break;
    case PhaseGameOver:
        // The display redraws at once, a blink early.
        TheScreen().LastBlinkTime = -1e9;
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
    const double now = PavixGames::GetEngineTime();
    if (now - v.LastBlinkTime <= 0.5)
        return;
    v.LastBlinkTime = now;
    v.BlinkToggle = !v.BlinkToggle;
    if (!OnBoard(s.CursorCol, s.CursorRow))
        return;
    const bool blueFell = s.CursorCol < MiddleColumn;
    // The fallen King and a Fire of its side take turns on its cell; the
    // board itself keeps the King.
    DrawBoard();
    if (v.BlinkToggle) {
        ClearCell(s.CursorCol, s.CursorRow);
        DrawPieceSprite(Fire, blueFell ? Blue : Red, s.CursorCol, s.CursorRow);
    }
    const int x = blueFell ? 200 : 0;
    DrawGameText("Game Over ...", x, 40, Yellow);
    DrawGameText(blueFell ? "Red Wins!!" : "Blue Wins!!", x, 60, Yellow);
    DrawGameText("In Turn #" + QString::number(s.TurnNumber), x, 100, Yellow);
    Show();
}

} // namespace Turrion
