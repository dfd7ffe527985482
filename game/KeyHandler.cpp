// The main window's keyboard: every rule a player meets during a turn is
// applied here, through the plain rules of Rules.h; this file adds the key
// latch, the drawing and the NetPlay messages.
#include "game/Drawing.h"
#include "logic/GameState.h"
#include "game/GameFlow.h"
#include "game/frmMain.h"
#include "game/netplay/NetPlay.h"
#include "game/FireCannon.h"
#include "game/KeyHandler.h"
#include "logic/Rules.h"

namespace Turrion {

namespace {

// The Moves panel is drawn by OR, so it is wiped where it stood before it is
// drawn again (possibly in the other half, after the cursor's row changed).
void RefreshMovesPanel()
{
    EraseMovesPanel();
    DrawMovesPanel();
    Show();
}

} // namespace

bool PlayArrow(int dCol, int dRow, int shift)
{
    State& s = Game();
    const Rules::ArrowResult r = Rules::ApplyArrow(s, dCol, dRow, shift);
    if (r.outcome == Rules::ArrowOutcome::EdgeRefused)
        return false;
    switch (r.outcome) {
    case Rules::ArrowOutcome::Moved:
        ClearCell(r.fromCol, r.fromRow);
        NetPlay::SendGameMessage(NetPlay::MoveMessage(r.fromCol, r.fromRow, r.toCol, r.toRow));
        DrawPieceSprite(r.kind, s.CurrentPlayer, r.toCol, r.toRow);
        DrawSelector();
        RefreshMovesPanel();
        break;
    case Rules::ArrowOutcome::WallBuilt:
        DrawPieceSprite(Wall, s.CurrentPlayer, r.toCol, r.toRow);
        NetPlay::SendGameMessage(NetPlay::AddPieceMessage(s.CurrentPlayer, Wall, r.toCol, r.toRow, true));
        RefreshMovesPanel();
        break;
    case Rules::ArrowOutcome::WallRemoved:
        ClearCell(r.toCol, r.toRow);
        NetPlay::SendGameMessage(NetPlay::RemovePieceMessage(r.toCol, r.toRow));
        RefreshMovesPanel();
        break;
    case Rules::ArrowOutcome::Nothing:
    case Rules::ArrowOutcome::EdgeRefused:
        break;
    }
    return true;
}

namespace {

void TabKey()
{
    State& s = Game();
    Rules::SelectNextPiece(s);
    DrawBoard();
    DrawMovesPanel();
    DrawSelector();
    Show();
}

void LockMenus(frmMain& form, bool locked)
{
    frmMain::SetMenuEnabled(form.mnuGame, !locked);
    frmMain::SetMenuEnabled(form.mnuTurn, !locked);
    frmMain::SetMenuEnabled(form.mnuHelp, !locked);
}

void Shoot(frmMain& form, int power)
{
    State& s = Game();
    const int col = s.CursorCol, row = s.CursorRow;
    // Only a ready Cannon with somewhere to land fires; anything else leaves
    // the board, the moves and the wire alone.
    if (!OnBoard(col, row) || s.Board[col][row] != CannonReady || s.MovesLeft <= 0 ||
        Rules::ShotDistance(s, power) < 1)
        return;
    const GameGuard game(s);
    s.Board[col][row] = CannonFired;
    int d = FireCannon(power);
    // A game that replaced this one during the flight (the NetPlay host's
    // new game) gets nothing of the shot: no message, no landing.
    if (!game.Current() || d < 1)
        return;
    if (s.CurrentPlayer == Red)
        d = -d;
    const int tc = col + d;
    NetPlay::SendGameMessage(NetPlay::FireMessage(tc, row, s.CurrentPlayer));

    const Rules::ShotOutcome outcome = Rules::ResolveShot(s, tc, row);
    if (outcome.effect == Rules::ShotEffect::KingHit) {
        NetPlay::GameChat(QString());
        NetPlay::GameChat(QStringLiteral("   ** YOU have WON the GAME!!"));
        NetPlay::GameChat(QString());
        form.mnuTurnEndTurn->setEnabled(false);
        // The King's cell shows the Fire in the shooter's colour; the board
        // itself still holds the King until the game-over display blinks it.
        DrawPieceSprite(Fire, s.CurrentPlayer, tc, row);
        Show();
        if (PauseSeconds(1.0, game))
            PlayGameSound("win.wav");
        return;
    }
    DrawBoard();
    DrawMovesPanel();
    DrawSelector();
    Show();
}

} // namespace

void PlaySelect(int col, int row)
{
    State& s = Game();
    if (!Rules::Selectable(s, col, row))
        return;
    s.CursorCol = col;
    s.CursorRow = row;
    RedrawAll();
}

void PlayShot(frmMain& form, int power)
{
    LockMenus(form, true);
    Shoot(form, power);
    LockMenus(form, false);
}

void frmMain::Form_KeyDown(int& keyCode, int shift)
{
    State& s = Game();
    switch (Rules::KeyGate(s, KeyReady)) {
    case Rules::GateResult::Consume:
        keyCode = 0;
        return;
    case Rules::GateResult::KeepOverlay:
    case Rules::GateResult::NotInPlay:
    case Rules::GateResult::NoMoves:
        return;
    case Rules::GateResult::CloseOverlay:
        // Any key takes the picture away; the key itself is not used up. In
        // the move phase the Moves panel comes back with the selector, as
        // after a click: the count must not vanish while moves remain.
        CloseOverlay();
        return;
    case Rules::GateResult::Open:
        break;
    }

    const Rules::KeyCommand command = Rules::ClassifyKey(keyCode);
    switch (command.command) {
    case Rules::Command::Arrow:
        // Past the edge test the key is used up, whatever it did.
        if (PlayArrow(command.dCol, command.dRow, shift))
            KeyReady = false;
        break;
    case Rules::Command::Tab:
        TabKey();
        break;
    case Rules::Command::Fire:
        KeyReady = false;
        PlayShot(*this, command.power);
        break;
    case Rules::Command::None:
        break;
    }
}

void frmMain::Form_KeyUp(int, int)
{
    KeyReady = true;
}

} // namespace Turrion
