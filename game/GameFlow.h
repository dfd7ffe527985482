// The life of one game: new game, end of turn, and the game-over display.
#pragma once

namespace Turrion {

// A new, loaded or received game has replaced the running one: what belonged
// to the old one on the screen (an open turn report) goes.
void GameReplaced();

// One step of the game-over display: every half second the fallen King
// alternates with a Fire and the result is written on the winner's half.
void GameOverStep();

// Takes the overlay picture away and returns to the phase it covered, with
// the board (and in the move phase the Moves panel and the selector) back.
void CloseOverlay();

// Draws the view afresh for the phase the game is in (after a change of
// zoom): the title picture, the board with or without its panel and
// selector, or the game-over display.
void RedrawView();

// The end of the turn in play, whoever plays it (End Turn checks first that
// the person at the keyboard may end it): the message, the pause, the turn
// passed on.
void EndTurn();

// The change of turn as the other NetPlay side ends its turn: the end-of-turn
// message, the pause, then the turn passes, with nothing sent.
void SimEndTurn();

} // namespace Turrion
