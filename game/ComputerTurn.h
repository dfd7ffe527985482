// The computer's turn in a single-player game, played on the screen.
#pragma once

#include <cstdint>

namespace Turrion {

// Plays the computer's whole turn, from its start (or from the move phase
// of a loaded game): its recruit appears on its portal, then each of its
// actions is drawn, sounded and sent like a player's, about 0.3 s apart, and
// the turn ends with "End of Turn ...". A new or loaded game started in the
// meantime ends it at once; the About picture holds it until it is gone.
void RunComputerTurn();

// Decisions are drawn from this number and the turn; tests fix it.
void SetComputerSeed(std::uint32_t seed);

} // namespace Turrion
