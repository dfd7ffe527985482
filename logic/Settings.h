// settings.dat: six signed integers, one per line, the window positions.
#pragma once

#include <QByteArray>
#include <QString>

namespace Turrion {

// The places of the windows, kept in settings.dat: twips; the last four are
// offsets from the main window's left and top.
struct WindowPlaces {
    int MainLeft = 0;
    int MainTop = 0;
    int ReportLeft = 0;
    int ReportTop = 0;
    int ChatLeft = 0;
    int ChatTop = 0;
};

// The player's choices that outlive a run: the view's zoom (0 for the
// automatic choice, else 1..4) and the computer's strength.
struct Preferences {
    int ZoomChoice = 0;
    int ComputerStrength = 1; // 0 Easy, 1 Normal, 2 Hard
};

// " 1440 \r\n" for 1440, "-15 \r\n" for -15, for the six values in order.
QByteArray FormatSettings(const WindowPlaces& s);
// Takes up to six integers in order, skipping spaces and line ends. A value
// that cannot be read, and every value after it, keeps what it had.
void ParseSettings(const QByteArray& data, WindowPlaces& s);

// Reads the file if it exists; a missing or unreadable file changes nothing.
void ReadSettings(const QString& path, WindowPlaces& s);
// Replaces the file in one step. Returns false when it could not be written;
// the caller goes on regardless.
bool WriteSettings(const QString& path, const WindowPlaces& s);

// The preferences file: the player's choices that outlive a run, one
// "key=value" line each ("zoom=2", "strength=hard"). Lines that are not
// understood, and values out of range, are ignored.
QByteArray FormatPreferences(const Preferences& s);
void ParsePreferences(const QByteArray& data, Preferences& s);
void ReadPreferences(const QString& path, Preferences& s);
bool WritePreferences(const QString& path, const Preferences& s);

} // namespace Turrion
