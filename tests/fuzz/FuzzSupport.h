// A started game for fuzz targets that need windows: offscreen, a temporary
// program folder, the stepping test clock, no process exit. Targets without
// windows use the checks alone.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

// Starts once per process; later calls only reset the game to a fresh
// two-player game in its move phase, outside NetPlay, with no file name and
// the message-box record emptied.
void EnsureGame();

// The captions of the message boxes shown since the last EnsureGame().
const QStringList& MessageBoxes();

// The started program's folder (with a trailing slash).
QString ProgramFolder();

// A property that the program guarantees does not hold: report it and stop,
// so that libFuzzer keeps the input and the replay fails.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}
inline void Check(bool holds, const char* what)
{
    if (!holds)
        Fail(what);
}

} // namespace FuzzSupport
