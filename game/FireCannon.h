// The cannon shot: the ball's flight and landing on the board view, and the
// moves it costs.
#pragma once

#include "logic/Rules.h"

#include <functional>

namespace Turrion {

// Animates a planned shot of the player on turn, as steps of the game flow:
// eight frames per cell flown over, 0.02 s apart, the Moves panel counting
// one move per cell, then three landing frames 0.04 s apart and the hit's
// sound; then `landed` runs, which lands the shot through the rules. The
// flight itself changes nothing. A game replaced meanwhile drops the rest,
// `landed` included.
void FlyShot(const Rules::ShotPlan& plan, std::function<void()> landed);

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
