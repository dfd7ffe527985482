// A started game for fuzz targets that need windows: offscreen, a temporary
// program folder, the stepping test clock, no process exit.
#pragma once

namespace FuzzSupport {
// Starts once per process; later calls only reset the game to a fresh
// two-player game in its move phase.
void EnsureGame();
} // namespace FuzzSupport
