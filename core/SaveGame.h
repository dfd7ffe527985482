// Saved games: the .trs file and its reader and writer.
//
// The file is three bytes of turn data (status, turn, moves x 2 + fresh) and
// one two-byte record per occupied cell in reading order: row x 10 + column,
// then owner x 10 + piece. There is no header, so the reader checks every
// byte before it touches the running game.
#pragma once

#include "core/GameState.h"

#include <QByteArray>
#include <QString>

namespace Turrion {

// A real save holds at most 3 + 2 x 63 bytes; anything beyond a few KB is
// not read at all.
constexpr int MaxSaveFileBytes = 4096;

// The dialogs' filter and flags.
extern const char* const SaveFileFilter;
constexpr unsigned OpenDialogFlags = 0x1804; // hide read-only, path and file must exist
constexpr unsigned SaveDialogFlags = 0x806;  // overwrite prompt, hide read-only, path must exist

// The file image of a game. A finished game (also one behind the About
// picture) stores the fallen King, whatever the blink shows, and the
// winner's number + 2. Returns an empty array and sets `error` when the game
// does not fit the format (turn above 255, too many moves, ...).
QByteArray SerializeGame(const State& s, QString* error = nullptr);

// A file's content, checked.
struct SavedGame {
    int Status = 0;    // 1, 2: player to move; 3, 4: finished, winner + 2
    int Turn = 0;
    int MovesByte = 0; // MovesLeft x 2, + 1 for a fresh turn
    int Board[Cols][Rows] = {};
    int Owner[Cols][Rows] = {};
};

// Checks the whole image. Returns "" and fills `out`, or a sentence saying
// what is wrong (and leaves `out` alone).
QString ParseGame(const QByteArray& bytes, SavedGame& out);

// The state change of a load, without drawing or menus: board, turn, moves,
// phase, player and cursor.
void ApplySavedGame(const SavedGame& game, State& s);

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
