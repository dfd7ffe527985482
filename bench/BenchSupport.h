#pragma once

#include "core/GameState.h"

namespace BenchSupport {
// Starts the program once (engine, window, sprites) in a temporary folder.
void StartGame();
// Every cell outside the river holds a piece.
void FullBoard(Turrion::State& s);
} // namespace BenchSupport
