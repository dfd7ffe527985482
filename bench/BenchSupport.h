#pragma once

#include "logic/GameState.h"

#include <QString>

namespace BenchSupport {
// Starts the program once (engine at log level 1 as the program runs it,
// window, sprites) in a temporary folder. Message boxes are counted instead
// of shown.
void StartGame();
// The temporary program folder, ending with "/" ("" before StartGame).
QString Folder();
// Message boxes the program has tried to show so far.
int MessageBoxes();
// Every cell outside the river holds a piece.
void FullBoard(Turrion::State& s);
// A game in its move phase: the starting board, Blue on turn, moves counted.
void LiveGame(Turrion::State& s);
} // namespace BenchSupport
