// The life of one game: new game, end of turn, and the game-over display.
#pragma once

namespace Turrion {

struct State;

// A new game replaces the running one (new, loaded or received): it gets the
// next game number, and what belonged to the old one (an open turn report)
// goes.
void ReplaceGame(State& s);

// One step of the game-over display: every half second the fallen King
// alternates with a Fire and the result is written on the winner's half.
void GameOverStep();

// Takes the overlay picture away and returns to the phase it covered, with
// the board (and in the move phase the Moves panel and the selector) back.
void CloseOverlay();

// The change of turn as the other NetPlay side ends its turn: the end-of-turn
// message, the pause, then the turn passes, with nothing sent.
void SimEndTurn();

} // namespace Turrion
