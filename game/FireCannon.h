// The cannon shot: the ball's flight and landing on the board view, and the
// moves it costs.
#pragma once

#include <functional>

namespace Turrion {

// Fires the Cannon under the cursor with power 1..8 in the direction of the
// player on turn. Animates the flight, charges one move per cell flown
// (landing cell included) and returns that distance, at least 1; Busy is set
// for the whole call. Board and Owner are left alone. Returns 0 and does
// nothing when the shot has no cell to land on, and 0 as soon as the game is
// replaced during the flight (the shot is then abandoned).
int FireCannon(int power);

// Test seam: one call after every presented frame of a shot.
enum class ShotFrameKind { Flight, Landing, Final };
struct ShotFrameInfo {
    ShotFrameKind kind = ShotFrameKind::Flight;
    double time = 0.0; // engine time taken for this frame
    int cell = 0;      // flight: cell 1..D-1; landing: D
    int frame = 0;     // flight: 0..7; landing: 1..3
    int ballX = 0;     // where the ball's frame was copied (not for Final)
    int ballY = 0;
    int movesLeft = 0; // MovesLeft as the frame's panel shows it
};
void SetShotFrameHook(std::function<void(const ShotFrameInfo&)> hook);

} // namespace Turrion
