// PavixSfxAPI: plays short wave files in the background, one at a time.
#pragma once

#include <QString>
#include <functional>

namespace PavixSfxAPI {

// Plays the file if it exists and returns at once. A new sound cuts off the
// one still playing. Without an audio device, or with a file that cannot be
// decoded, it stays silent.
void PlaySfx(const QString& path);

// Seam for tests: when set, PlaySfx calls it with every path it would play
// (only for files that exist) instead of touching the audio system.
void SetPlayHook(std::function<void(const QString& path)> hook);

} // namespace PavixSfxAPI
