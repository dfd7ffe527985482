// The computer's turn in a single-player game, played on the screen.
#pragma once

#include <cstdint>

namespace Turrion {

// The computer's turn, one step at a time: the first call, from its start
// (or from the move phase of a loaded game), decides the whole turn and puts
// its recruit on its portal; every call then waits 0.3 s and plays its next
// action, drawn, sounded and sent like a player's, until the turn ends with
// "End of Turn ...". The flow calls it again after each action. The About
// picture holds it until it is gone.
void RunComputerTurn();
// A new or loaded game ends the computer's turn in progress.
void ForgetComputerTurn();

// Decisions are drawn from this number and the turn; tests fix it.
void SetComputerSeed(std::uint32_t seed);

} // namespace Turrion
