// settings.dat: six signed integers, one per line, the window positions.
#pragma once

#include <QByteArray>
#include <QString>

namespace Turrion {

struct State;

// " 1440 \r\n" for 1440, "-15 \r\n" for -15, for the six values in order.
QByteArray FormatSettings(const State& s);
// Takes up to six integers in order, skipping spaces and line ends. A value
// that cannot be read, and every value after it, keeps what it had.
void ParseSettings(const QByteArray& data, State& s);

// Reads the file if it exists; a missing or unreadable file changes nothing.
void ReadSettings(const QString& path, State& s);
// Replaces the file in one step. Returns false when it could not be written;
// the caller goes on regardless.
bool WriteSettings(const QString& path, const State& s);

// The preferences file: the player's choices that outlive a run, one
// "key=value" line each ("zoom=2", "strength=hard"). Lines that are not
// understood, and values out of range, are ignored.
QByteArray FormatPreferences(const State& s);
void ParsePreferences(const QByteArray& data, State& s);
void ReadPreferences(const QString& path, State& s);
bool WritePreferences(const QString& path, const State& s);

} // namespace Turrion
