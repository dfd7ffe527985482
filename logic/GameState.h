// The whole state of the one game the program holds at a time.
//
// The game alone: what a saved game, the rules and the NetPlay exchange need.
// What the windows keep beside it lives in the game layer. There is one game
// and no copy of it. Grids are indexed column first, Board[c][r],
// columns 0..8 left to right and rows 0..6 top to bottom.
#pragma once

#include <QString>

namespace Turrion {

constexpr int Cols = 9;
constexpr int Rows = 7;
constexpr int CellSize = 40;
constexpr int ViewWidth = Cols * CellSize;  // 360
constexpr int ViewHeight = Rows * CellSize; // 280
constexpr int MiddleColumn = 4;

// Piece codes of Board.
enum Piece : int {
    Empty = 0,
    King = 1,
    Wizard = 2,
    Builder = 3,
    Wall = 4,
    Fire = 5,
    CannonReady = 6,
    CannonFired = 7,
};

// Players and owners.
constexpr int NoPlayer = 0;
constexpr int Blue = 1;
constexpr int Red = 2;

// Phases of GameState.
enum Phase : int {
    PhaseNone = 0,
    PhaseTurnStart = 1,
    PhaseMove = 2,
    PhaseOverlay = 3,
    PhaseGameOver = 4,
};

// NetState values.
enum NetPhase : int {
    NetNone = 0,
    NetHosting = 1,
    NetConnecting = 2,
    NetHostWithPlayer = 3,
    NetConnected = 4,
};

constexpr int DefaultNetPort = 3264;

struct State {
    // The board.
    int Board[Cols][Rows] = {};
    int Owner[Cols][Rows] = {};

    // Turn and game.
    int CurrentPlayer = 0;
    int TurnNumber = 0;
    int MovesLeft = 0;
    bool FreshTurn = false;
    int RecruitKind = 0;
    int GameState = PhaseNone;
    int ResumeState = PhaseNone;
    int CursorCol = 0;
    int CursorRow = 0;
    bool Busy = false;
    // Every new, loaded or received game gets the next number. A step the
    // game scheduled (a pause, a flight frame, a turn report's choice) notes
    // it and is dropped once it has changed: it belongs to a game that is
    // gone.
    int GameId = 0;
    // The "End of Turn ..." pause is running: the turn must not be handed
    // over a second time from inside it.
    bool TurnChanging = false;
    QString GameFileName;

    // The colour the computer plays in a single-player game, else NoPlayer.
    int ComputerColor = NoPlayer;

    // NetPlay.
    int NetState = NetNone;
    QString NetName;
    int NetColor = 0;
    bool NetGame = false;
    int NetGameColor = 0;
    bool NetIsHost = false;
    QString NetHost;
    int NetPort = 0;
    QString RemoteName;
    // Which game of the connection each side is in. The host counts the new
    // and loaded games it sent; the connecting side counts those it took and
    // confirms each. From a new game until its confirmation arrives, the
    // other side's actions belong to the game before: the host ignores them,
    // with a peer that confirms at all.
    int NetGamesShared = 0;
    int NetGamesConfirmed = 0;
    bool NetPeerConfirms = false;
    int NetGamesTaken = 0;
};

// The process-wide game.
State& Game();

// Back to the state of a freshly started process (for tests).
void ResetGame();

inline bool OnBoard(int col, int row)
{
    return col >= 0 && col < Cols && row >= 0 && row < Rows;
}

// A NetPlay game runs and the other side is to move: local input is locked.
inline bool WaitingForRemote(const State& s)
{
    return s.NetGame && s.NetGameColor != s.CurrentPlayer;
}

// A single-player game and the computer is to move.
inline bool ComputerToMove(const State& s)
{
    return s.ComputerColor != NoPlayer && s.ComputerColor == s.CurrentPlayer;
}

// Someone other than the person at this keyboard plays this turn: the keys,
// clicks and the Turn menu do nothing.
inline bool WaitingForOther(const State& s)
{
    return WaitingForRemote(s) || ComputerToMove(s);
}

// The host waits for the connecting side to confirm its latest game: what
// that side sends meanwhile belongs to the game before.
inline bool AwaitingGameConfirmation(const State& s)
{
    return s.NetIsHost && s.NetPeerConfirms && s.NetGamesConfirmed != s.NetGamesShared;
}

// The phase a game is in, also behind the About picture.
inline int EffectivePhase(const State& s)
{
    return s.GameState == PhaseOverlay ? s.ResumeState : s.GameState;
}

// MovesLeft = 3 + 3 for every Wizard of the player to move.
void CountMoves(State& s = Game());
// One move spent; the turn is no longer fresh.
void SpendMove(State& s = Game());
// Turn 1 and the eight starting pieces on an otherwise empty board.
void SetupBoard(State& s = Game());
// Number of cells holding `kind` owned by `player`.
int CountPieces(const State& s, int player, int kind);
// The last cell in reading order (rows 0..6, columns 0..8) holding a King
// whose owner matches; `sameOwner` false looks for a King NOT owned by
// `player`. Returns false (cursor untouched) when there is none.
bool PutCursorOnKing(State& s, int player, bool sameOwner = true);
// The portal cell of a player: (0, 3) for Blue, (8, 3) for Red.
inline int PortalCol(int player) { return player == Red ? 8 : 0; }
constexpr int PortalRow = 3;
// A new game takes over: the next game number, and nothing of the game
// before it (a pending turn change) carries over.
void BeginGame(State& s);
// A new game replaces whatever ran: the starting layout, Blue to move with 6
// moves, the turn report next, no file name; the computer plays
// `computerColor` (NoPlayer: two players). The connecting NetPlay side plays
// the host's game from this moment.
void StartNewGame(State& s, int computerColor = NoPlayer);
// The turn report's choice takes effect: the recruit, if any, on the
// player's portal when it is free (returns the kind placed, else Empty);
// the move phase begins, fresh, with the cursor on the player's King.
int StartTurn(State& s, int recruitKind);
// Moves the game to `phase`. Behind the About picture only the phase it
// returns to changes: the picture stays until the player takes it away.
void SetPhase(State& s, int phase);
// End Turn is possible: a turn in its move phase, no shot flying, no turn
// change under way, and not the turn of the other NetPlay side or of the
// computer.
bool CanEndTurn(const State& s);
// An action of the other NetPlay side (a piece placed, moved, removed, a
// shot, the end of its turn) belongs to this game: this side waits for the
// other's turn, the game is not over and the turn is not changing hands.
bool AcceptsRemoteAction(const State& s);
// The change of turn once the end-of-turn message has been shown: the other
// player is on turn (TurnNumber grows when Red hands over to Blue), the
// phase is turn start, fired Cannons re-arm, the new player's Fires burn out,
// portal Fires go out, and the moves are counted for the new player.
void PassTurn(State& s = Game());

} // namespace Turrion
