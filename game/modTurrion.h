// Start-up, the main loop and shutdown.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace Turrion {

class frmMain;

// The program: start-up, then the loop until QuitFlag. Returns only in tests
// (a real shutdown ends the process).
int Main(const QString& commandLine);

// The start-up steps up to and including the command-line load; returns the
// shown main window. Split out of Main so that tests can drive the loop.
frmMain* StartUp(const QString& commandLine);
// One pass of the main loop.
void MainLoopPass();
// Shuts the graphics engine and the engine down and ends the process.
void Shutdown();

// The command line as one string: the arguments after the program's name
// joined with single spaces.
QString JoinCommandLine(const QStringList& arguments);
// The saved-game name of a command line: surrounding double quotes dropped,
// kept only when it ends in ".trs" (case-sensitive) and names an existing
// file; "" otherwise.
QString GameFileFromCommandLine(const QString& commandLine);

// Seams for tests: what ending the process does (default: exit at once), and
// what the loop's pause between passes does (default: sleep 20 ms).
void SetExitHook(std::function<void()> hook);
void SetLoopSleepHook(std::function<void()> hook);

} // namespace Turrion
