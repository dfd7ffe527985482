// Saved games: the .trs file format.
//
// The file is three bytes of turn data (status, turn, moves x 2 + fresh) and
// one two-byte record per occupied cell in reading order: row x 10 + column,
// then owner x 10 + piece. There is no header, so the reader checks every
// byte before it touches the running game.
#pragma once

#include "logic/GameState.h"

#include <QByteArray>
#include <QString>

namespace Turrion {

// A real save holds at most 3 + 2 x 63 bytes; anything beyond a few KB is
// not read at all.
constexpr int MaxSaveFileBytes = 4096;

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

// A loaded game replaces the running one: the next game number, the file's
// state, and NetPlay shares it when a player is connected. The computer
// keeps its colour: a game loaded in a single-player game goes on against
// it, one loaded in a two-player game stays a game for two.
void LoadSavedGame(const SavedGame& game, State& s);

// Reads a file that may be a save: only a regular file, and never more than
// a save can hold plus one byte. Returns false with the reason in `why`.
bool ReadSaveFile(const QString& path, QByteArray& bytes, QString& why);

} // namespace Turrion
