// The life of one game on the one event loop: new game, turn start, end of
// turn, the shot's flight, the computer's turn and the game-over display.
//
// Nothing here waits by pumping events. A wait (a pause, a flight frame, the
// computer's next action, the next blink) is a step scheduled on the engine
// clock; when it has run, the flow looks at the game again (Continue) and
// starts whatever comes next: the turn report, the computer's turn, the end
// of a turn whose moves are spent, the other copy's messages that waited.
// What may not run now is refused by the game's state, never by nesting.
#pragma once

#include <functional>

namespace Turrion {

// What the game waits for now.
enum class Wait {
    None,
    NewGamePause,  // "Starting a new game ..."
    EndTurnPause,  // "End of Turn ..."
    WinPause,      // the second after the winning shot, before its sound
    Flight,        // the cannonball's frames
    ComputerBeat,  // the pause before the computer's next action
};
Wait Waiting();
// A wait of this copy's own in which the other copy's game messages are not
// applied: they wait in order until it ends.
bool HoldsRemoteMessages();

// Waits `seconds` of engine time, then runs `then` and looks at the game
// again. A game replaced in the meantime drops the step.
void WaitFor(Wait kind, double seconds, std::function<void()> then);

// The flow looks at the game again as soon as the event loop is free.
void Kick();
// That look, now: the other copy's waiting messages, then the turn report,
// the computer's turn or the end of a spent turn, as the game's state says.
void Continue();

// A new, loaded or received game has replaced the running one: its waits,
// its open turn report and the computer's turn in progress go.
void GameReplaced();

// A click on a board cell: it takes the About picture away, or selects one
// of the player's own pieces in the move phase of the player's own turn.
void BoardClicked(int col, int row);

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

// The second after a shot that felled a King, then the winner's sound.
void WinPause();


} // namespace Turrion
