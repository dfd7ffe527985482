// Saved games on disk: writing and reading them from the menus, the command
// line and NetPlay, with what the user is told when that fails.
#pragma once

#include "logic/SaveFormat.h"

#include <QByteArray>
#include <QString>

namespace Turrion {

// The dialogs' filter and flags.
extern const char* const SaveFileFilter;
constexpr unsigned OpenDialogFlags = 0x1804; // hide read-only, path and file must exist
constexpr unsigned SaveDialogFlags = 0x806;  // overwrite prompt, hide read-only, path must exist

// Writes the current game to GameFileName. Returns false, after telling the
// user, when the game does not fit the file or the file cannot be written;
// an existing file is then left as it was.
bool SaveGame();
// Writes the current game to `path`; on success GameFileName = path.
bool SaveGameTo(const QString& path);

// Replaces the current game with the file GameFileName. A name of "" or a
// file that does not exist is ignored silently (false). A file that cannot
// be read or does not fit the format is reported and changes nothing.
bool LoadGame();
// Loads `path`; on success GameFileName = path.
bool LoadGameFrom(const QString& path);

} // namespace Turrion
