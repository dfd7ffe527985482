// What the windows keep beside the game: the numbered pictures, the places of
// the windows and the player's preferences, the game-over blink and the
// request to quit.
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

    // The game-over blink: whether the fallen King shows as Fire now.
    bool BlinkToggle = false;

    bool QuitFlag = false;
};

// The process-wide screen.
Screen& TheScreen();
// Back to the screen of a freshly started process (for tests).
void ResetScreen();

} // namespace Turrion
