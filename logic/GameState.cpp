#include "logic/GameState.h"

namespace Turrion {

State& Game()
{
    static State state;
    return state;
}

void ResetGame()
{
    Game() = State{};
}

int CountPieces(const State& s, int player, int kind)
{
    int count = 0;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            if (s.Owner[c][r] == player && s.Board[c][r] == kind)
                ++count;
    return count;
}

void CountMoves(State& s)
{
    s.MovesLeft = 3 + 3 * CountPieces(s, s.CurrentPlayer, Wizard);
}

void SpendMove(State& s)
{
    s.MovesLeft -= 1;
    s.FreshTurn = false;
}

void SetupBoard(State& s)
{
    s.TurnNumber = 1;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            s.Board[c][r] = s.Owner[c][r] = 0;
    struct Start { int col, row, owner, piece; };
    static constexpr Start layout[] = {
        {0, 1, Blue, King}, {1, 1, Blue, Wall}, {0, 5, Blue, Wizard}, {1, 5, Blue, Wall},
        {8, 1, Red, King},  {7, 1, Red, Wall},  {8, 5, Red, Wizard},  {7, 5, Red, Wall},
    };
    for (const Start& p : layout) {
        s.Owner[p.col][p.row] = p.owner;
        s.Board[p.col][p.row] = p.piece;
    }
}

bool PutCursorOnKing(State& s, int player, bool sameOwner)
{
    bool found = false;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            if (s.Board[c][r] == King && ((s.Owner[c][r] == player) == sameOwner)) {
                s.CursorCol = c;
                s.CursorRow = r;
                found = true;
            }
    return found;
}

void BeginGame(State& s)
{
    s.GameId += 1;
    s.TurnChanging = false;
    // A shot in flight belonged to the game before.
    s.Busy = false;
}

void StartNewGame(State& s, int computerColor)
{
    BeginGame(s);
    s.ComputerColor = computerColor;
    s.GameFileName.clear();
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    s.GameState = s.ResumeState = PhaseTurnStart;
    // The host's first actions may arrive while the connecting side still
    // shows "Starting a new game ...". The host shares the game once its
    // "NG" has gone out; until then nothing received belongs to it.
    s.NetGame = s.NetState == NetConnected;
    s.NetGameColor = s.NetColor;
}

int StartTurn(State& s, int recruitKind)
{
    const int col = PortalCol(s.CurrentPlayer);
    int placed = Empty;
    if (recruitKind != Empty && s.Board[col][PortalRow] == Empty) {
        s.Owner[col][PortalRow] = s.CurrentPlayer;
        s.Board[col][PortalRow] = recruitKind;
        placed = recruitKind;
    }
    s.FreshTurn = true;
    SetPhase(s, PhaseMove);
    PutCursorOnKing(s, s.CurrentPlayer);
    return placed;
}

void SetPhase(State& s, int phase)
{
    if (s.GameState != PhaseOverlay)
        s.GameState = phase;
    s.ResumeState = phase;
}

bool CanEndTurn(const State& s)
{
    return EffectivePhase(s) == PhaseMove && !s.Busy && !s.TurnChanging && !WaitingForOther(s);
}

bool AcceptsRemoteAction(const State& s)
{
    const int phase = EffectivePhase(s);
    return WaitingForRemote(s) && !s.TurnChanging && !AwaitingGameConfirmation(s) &&
           (phase == PhaseTurnStart || phase == PhaseMove);
}

void PassTurn(State& s)
{
    if (s.CurrentPlayer == Blue) {
        s.CurrentPlayer = Red;
    } else {
        s.CurrentPlayer = Blue;
        s.TurnNumber += 1;
    }
    SetPhase(s, PhaseTurnStart);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            if (s.Board[c][r] == CannonFired)
                s.Board[c][r] = CannonReady;
            else if (s.Board[c][r] == Fire && s.Owner[c][r] == s.CurrentPlayer)
                s.Board[c][r] = s.Owner[c][r] = 0;
        }
    for (int player : {Blue, Red}) {
        int c = PortalCol(player);
        if (s.Board[c][PortalRow] == Fire)
            s.Board[c][PortalRow] = s.Owner[c][PortalRow] = 0;
    }
    CountMoves(s);
}

} // namespace Turrion
