#include "logic/Rules.h"

#include "logic/Keys.h"

#include <algorithm>
#include <cstdlib>

namespace Turrion::Rules {

namespace {
bool IsCannon(int kind)
{
    return kind == CannonReady || kind == CannonFired;
}

// Keys, the computer and the other copy of the game act only on a piece of
// the player to move: a damaged game or a hostile message can leave the
// cursor on an enemy piece, which must not be handed to the mover.
bool OwnCursorCell(const State& s)
{
    return OnBoard(s.CursorCol, s.CursorRow) &&
           s.Owner[s.CursorCol][s.CursorRow] == s.CurrentPlayer;
}

// The Builder steps onto the empty cell T; the same end state as a plain move.
bool BuilderMove(State& s, int toCol, int toRow)
{
    if (s.Board[toCol][toRow] != Empty)
        return false;
    s.Owner[s.CursorCol][s.CursorRow] = NoPlayer;
    s.Board[s.CursorCol][s.CursorRow] = Empty;
    s.Owner[toCol][toRow] = s.CurrentPlayer;
    s.Board[toCol][toRow] = Builder;
    s.CursorCol = toCol;
    s.CursorRow = toRow;
    SpendMove(s);
    return true;
}
} // namespace

GateResult KeyGate(const State& s, bool keyReady)
{
    if (s.Busy || !keyReady)
        return GateResult::Consume;
    // The picture goes away whoever is on turn: the computer's or the other
    // side's turn waits behind it.
    if (s.GameState == PhaseOverlay) {
        if (s.ResumeState == PhaseNone || s.ResumeState == PhaseGameOver)
            return GateResult::KeepOverlay;
        return GateResult::CloseOverlay;
    }
    if (WaitingForOther(s))
        return GateResult::Consume;
    if (s.GameState != PhaseMove)
        return GateResult::NotInPlay;
    if (s.MovesLeft <= 0)
        return GateResult::NoMoves;
    return GateResult::Open;
}

KeyCommand ClassifyKey(int keyCode)
{
    KeyCommand k;
    switch (keyCode) {
    case VK_UP: k = {Command::Arrow, 0, -1, 0}; break;
    case VK_DOWN: k = {Command::Arrow, 0, 1, 0}; break;
    case VK_LEFT: k = {Command::Arrow, -1, 0, 0}; break;
    case VK_RIGHT: k = {Command::Arrow, 1, 0, 0}; break;
    case VK_TAB: k.command = Command::Tab; break;
    default:
        if (keyCode >= VK_0 + 1 && keyCode <= VK_0 + 8) {
            k.command = Command::Fire;
            k.power = keyCode - VK_0;
        }
        break;
    }
    return k;
}

bool ArrowEdgeOk(const State& s, int dCol, int dRow)
{
    const int c = s.CursorCol, r = s.CursorRow;
    if (!OnBoard(c, r))
        return false;
    const bool red = s.CurrentPlayer == Red;
    if (dRow < 0)
        return r > 0;
    if (dRow > 0)
        return r < Rows - 1;
    if (dCol < 0)
        return red ? c > 5 : c > 0;
    if (dCol > 0)
        return red ? c < 8 : c < 3;
    return false;
}

bool PlainMove(State& s, int toCol, int toRow)
{
    // Any occupant blocks, whoever owns it.
    if (s.Board[toCol][toRow] != Empty)
        return false;
    const int fromCol = s.CursorCol, fromRow = s.CursorRow;
    s.CursorCol = toCol;
    s.CursorRow = toRow;
    SpendMove(s);
    s.Owner[toCol][toRow] = s.CurrentPlayer;
    s.Board[toCol][toRow] = s.Board[fromCol][fromRow];
    s.Owner[fromCol][fromRow] = NoPlayer;
    s.Board[fromCol][fromRow] = Empty;
    return true;
}

WallOutcome WallAction(State& s, int col, int row)
{
    if (s.Board[col][row] == Empty && col != 3 && col != 5) {
        s.Owner[col][row] = s.CurrentPlayer;
        s.Board[col][row] = Wall;
        SpendMove(s);
        return WallOutcome::Built;
    }
    if (s.Board[col][row] == Wall) {
        s.Owner[col][row] = NoPlayer;
        s.Board[col][row] = Empty;
        SpendMove(s);
        return WallOutcome::Removed;
    }
    return WallOutcome::Refused;
}

ArrowResult ApplyArrow(State& s, int dCol, int dRow, int modifiers)
{
    ArrowResult result;
    if (!ArrowEdgeOk(s, dCol, dRow))
        return result;
    result.outcome = ArrowOutcome::Nothing;
    result.fromCol = s.CursorCol;
    result.fromRow = s.CursorRow;
    result.toCol = s.CursorCol + dCol;
    result.toRow = s.CursorRow + dRow;
    // Another player's piece under the cursor is treated as an empty cell.
    const int kind = OwnCursorCell(s) ? s.Board[result.fromCol][result.fromRow] : Empty;
    result.kind = kind;
    if (kind == King || kind == Wizard || IsCannon(kind)) {
        if (PlainMove(s, result.toCol, result.toRow))
            result.outcome = ArrowOutcome::Moved;
    } else if (kind == Builder) {
        if (modifiers == 0) {
            if (BuilderMove(s, result.toCol, result.toRow))
                result.outcome = ArrowOutcome::Moved;
        } else {
            switch (WallAction(s, result.toCol, result.toRow)) {
            case WallOutcome::Built: result.outcome = ArrowOutcome::WallBuilt; break;
            case WallOutcome::Removed: result.outcome = ArrowOutcome::WallRemoved; break;
            case WallOutcome::Refused: break;
            }
        }
    }
    return result;
}

bool Selectable(const State& s, int col, int row)
{
    if (!OnBoard(col, row) || s.Owner[col][row] != s.CurrentPlayer)
        return false;
    const int kind = s.Board[col][row];
    return kind != Empty && kind != Wall && kind != Fire;
}

bool NextOwnPiece(const State& s, int& col, int& row)
{
    // Reading order from the cell after the cursor; 63 steps end on the
    // cursor's own cell.
    int index = OnBoard(s.CursorCol, s.CursorRow) ? s.CursorRow * Cols + s.CursorCol : -1;
    for (int step = 0; step < Cols * Rows; ++step) {
        index = (index + 1) % (Cols * Rows);
        const int c = index % Cols, r = index / Cols;
        if (Selectable(s, c, r)) {
            col = c;
            row = r;
            return true;
        }
    }
    return false;
}

bool SelectNextPiece(State& s)
{
    int col = 0, row = 0;
    if (!NextOwnPiece(s, col, row))
        return false;
    s.CursorCol = col;
    s.CursorRow = row;
    return true;
}

int ShotDirection(int player)
{
    return player == Red ? -1 : 1;
}

int ShotReach(const State& s, int power)
{
    if (!OwnCursorCell(s))
        return 0;
    return ShotReachFrom(s.CurrentPlayer, s.CursorCol, power, s.MovesLeft);
}

int ShotReachFrom(int player, int col, int power, int moves)
{
    int reach = std::min(power, moves);
    const int step = ShotDirection(player);
    if (col + step * reach < 0)
        reach = col;
    if (col + step * reach > Cols - 1)
        reach = Cols - 1 - col;
    return reach > 0 ? reach : 0;
}

int ShotDistance(const State& s, int power)
{
    if (!OwnCursorCell(s))
        return 0;
    return ShotDistanceFrom(s, s.CurrentPlayer, s.CursorCol, s.CursorRow, power, s.MovesLeft);
}

int ShotDistanceFrom(const State& s, int player, int col, int row, int power, int moves)
{
    if (!OnBoard(col, row))
        return 0;
    const int reach = ShotReachFrom(player, col, power, moves);
    if (reach < 1)
        return 0;
    const int step = ShotDirection(player);
    int k = step;
    while (s.Board[col + k][row] != Wall && std::abs(k) < reach)
        k += step;
    return std::abs(k);
}

ShotOutcome ResolveShot(State& s, int col, int row)
{
    ShotOutcome outcome;
    outcome.col = col;
    outcome.row = row;
    if (!OnBoard(col, row))
        return outcome; // nothing to hit outside the board
    if (s.Board[col][row] == King) {
        outcome.effect = ShotEffect::KingHit;
        s.CursorCol = col;
        s.CursorRow = row;
        s.GameState = PhaseGameOver;
        s.ResumeState = PhaseGameOver;
        return outcome;
    }
    if (col == MiddleColumn) {
        outcome.effect = ShotEffect::River;
        return outcome;
    }
    outcome.effect = ShotEffect::Burn;
    s.Board[col][row] = Fire;
    s.Owner[col][row] = s.CurrentPlayer;
    return outcome;
}

ShotPlan PlanShot(const State& s, int power)
{
    ShotPlan plan;
    const int col = s.CursorCol, row = s.CursorRow;
    if (!OnBoard(col, row) || s.Board[col][row] != CannonReady || s.MovesLeft <= 0)
        return plan;
    const int distance = ShotDistance(s, power);
    if (distance < 1)
        return plan;
    plan.distance = distance;
    plan.fromCol = col;
    plan.fromRow = row;
    plan.col = col + ShotDirection(s.CurrentPlayer) * distance;
    plan.row = row;
    return plan;
}

void StartShot(State& s, const ShotPlan& plan)
{
    if (plan.distance > 0 && OnBoard(plan.fromCol, plan.fromRow))
        s.Board[plan.fromCol][plan.fromRow] = CannonFired;
}

ShotOutcome FinishShot(State& s, const ShotPlan& plan)
{
    s.MovesLeft -= plan.distance;
    return ResolveShot(s, plan.col, plan.row);
}

bool FireShot(State& s, int power, ShotOutcome* outcome)
{
    const ShotPlan plan = PlanShot(s, power);
    if (plan.distance < 1)
        return false;
    StartShot(s, plan);
    const ShotOutcome landed = FinishShot(s, plan);
    if (outcome)
        *outcome = landed;
    return true;
}

} // namespace Turrion::Rules
