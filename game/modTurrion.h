// Start-up, the event loop and shutdown.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace Turrion {

class frmMain;

// The program: start-up, then the event loop. Returns only in tests (a real
// shutdown ends the process).
int Main(const QString& commandLine);

// The start-up steps up to and including the command-line load; returns the
// shown main window. Split out of Main so that tests can drive the game.
frmMain* StartUp(const QString& commandLine);
// Shuts the graphics engine and the engine down and ends the process.
void Shutdown();

// The command line as one string: the arguments after the program's name
// joined with single spaces.
QString JoinCommandLine(const QStringList& arguments);
// The saved-game name of a command line: surrounding double quotes dropped,
// kept only when it ends in ".trs" (case-sensitive) and names an existing
// file; "" otherwise.
QString GameFileFromCommandLine(const QString& commandLine);

// Seam for tests: what ending the process does (default: exit at once).
void SetExitHook(std::function<void()> hook);

} // namespace Turrion
