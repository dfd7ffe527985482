// Steps on the one event loop: whatever the game waits for (a pause, the next
// frame of a flight, the computer's next action, the next blink) is a step
// that runs once its time has come. Nothing waits by pumping events, so
// nothing a player or the other copy does can run nested inside a wait.
//
// With the real clock a step is a precise single-shot timer. Under the manual
// test clock nothing runs by itself: the engine time stands still until a
// test moves it on, and the steps that fall due run then, in time order.
#pragma once

#include <QtGlobal>
#include <functional>

namespace PavixGames {

using StepId = quint64;

// Runs `step` once, `seconds` of engine time from now (0: as soon as the
// event loop is free). Returns its id, never 0.
StepId After(double seconds, std::function<void()> step);
// A step that has not run yet never will. Unknown or finished ids are fine.
void Cancel(StepId id);
bool Pending(StepId id);
// How many steps wait to run.
int PendingSteps();

// ---- Seams for tests -------------------------------------------------------

// The engine time stands at `start` and moves only with AdvanceClock. Steps
// scheduled from now on wait for it. Pass false to go back to the real clock
// (pending manual steps are dropped).
void UseManualClock(bool manual = true, double start = 0.0);
bool ManualClock();
// The manual clock's time in seconds.
double ManualNow();
// Moves the manual clock `seconds` on, running every step that falls due
// on the way in time order, each with the clock at its own time. A step
// that schedules another inside the span has it run too. Returns the number
// of steps run.
int AdvanceClock(double seconds);
// Moves the clock on to the next pending step and runs it alone. False when
// none is pending.
bool RunNextStep();
// Drops every pending step (between tests).
void DropAllSteps();

} // namespace PavixGames
