// What the game core needs from NetPlay. Each call does nothing when no
// NetPlay window exists.
#pragma once

#include <QByteArray>
#include <QString>

namespace NetPlay {

// Sends one message (code, "}" and payload; the terminator is added).
void SendMessage(const QString& text);
// Adds one line to the chat transcript.
void AddChat(const QString& line);
// Closes the NetPlay window as the main window closes; the window may ask its
// user and set CancelClose to keep both windows open.
void UnloadChatWindow();

// Text on the wire is single-byte Windows-1252: every byte 0..254 maps to one
// character and back unchanged.
QString FromWire(const QByteArray& bytes);
QByteArray ToWire(const QString& text);

// The host's "LF" message: the saved-game file, one character per byte.
void SendGameFile(const QByteArray& fileBytes);

} // namespace NetPlay
