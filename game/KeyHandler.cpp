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
    // Only a ready Cannon with somewhere to land fires; anything else leaves
    // the board, the moves and the wire alone.
    const Rules::ShotPlan plan = Rules::PlanShot(s, power);
    if (plan.distance < 1)
        return;
    Rules::StartShot(s, plan);
    s.Busy = true;
    LockMenus(form, true);
    FlyShot(plan, [&form, plan] {
        State& s = Game();
        s.Busy = false;
        LockMenus(form, false);
        NetPlay::SendGameMessage(NetPlay::FireMessage(plan.col, plan.row, s.CurrentPlayer));
        const Rules::ShotOutcome outcome = Rules::FinishShot(s, plan);
        DrawBoard();
        DrawMovesPanel();
        if (outcome.effect == Rules::ShotEffect::KingHit) {
            NetPlay::GameChat(QString());
            NetPlay::GameChat(QStringLiteral("   ** YOU have WON the GAME!!"));
            NetPlay::GameChat(QString());
            form.mnuTurnEndTurn->setEnabled(false);
            // The King's cell shows the Fire in the shooter's colour; the
            // board itself keeps the King, which the game-over display blinks.
            DrawPieceSprite(Fire, s.CurrentPlayer, plan.col, plan.row);
            Show();
            // The menus stay locked through the second before the win's sound.
            LockMenus(form, true);
            WinPause();
            return;
        }
        DrawSelector();
        Show();
    });
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
    Shoot(form, power);
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
    // A key may have spent the last move: the flow ends the turn.
    Kick();
}

void frmMain::Form_KeyUp(int, int)
{
    KeyReady = true;
}

} // namespace Turrion
