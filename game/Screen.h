// What the windows keep beside the game: the numbered pictures, the places of
// the windows and the player's preferences, a click waiting for its turn,
// the game-over blink and the request to quit.
#pragma once

#include "logic/GameState.h"
#include "logic/Settings.h"

namespace Turrion {

struct Screen : WindowPlaces, Preferences {
    // Graphics handles.
    int ViewPort = 0;
    int PicBackground = 0;
    int PicTitle = 0;
    int PieceSprite[8] = {};
    int PicCannonBall = 0;
    int PicSelector = 0;
    int PicMoves = 0;
    int PicNumbers = 0;
    int MovesPanelX = 160;
    int MovesPanelY = 160;

    // A click on the board, with the game and turn it was made in: a click
    // from a game or turn that is over belongs to no one.
    bool MouseClicked = false;
    int MouseCol = 0;
    int MouseRow = 0;
    int MouseGameId = 0;
    int MousePlayer = NoPlayer;
    int MouseTurn = 0;

    // The game-over blink: when it last changed, and whether the fallen
    // King shows as Fire now.
    double LastBlinkTime = 0.0;
    bool BlinkToggle = false;

    bool QuitFlag = false;
};

// The process-wide screen.
Screen& TheScreen();
// Back to the screen of a freshly started process (for tests).
void ResetScreen();

// Notes a click on the board cell (col, row) in the turn that runs now.
void NoteClick(const State& s, int col, int row);
// Takes the click waiting, if it was made in the turn that runs now; a click
// from an earlier game or turn is dropped.
bool TakeClick(const State& s, int& col, int& row);

} // namespace Turrion
