// What the game core needs from NetPlay. Each call does nothing when no
// NetPlay window exists.
#pragma once

#include "logic/Protocol.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace Turrion::NetPlay {

// Sends one message (code, "}" and payload; the terminator is added).
void SendMessage(const QString& text);
// A game action's message: sent only while a NetPlay game runs.
void SendGameMessage(const QString& text);
// Adds one line to the chat transcript.
void AddChat(const QString& line);
// Closes the NetPlay window as the main window closes: the window asks its
// user first and, on Yes, closes and runs `closed`. False when no window is
// open (nothing to wait for).
bool UnloadChatWindow(std::function<void()> closed);
// The NetPlay window is open.
bool ChatWindowOpen();

// The other side's game messages that waited while the game was busy act now.
void TakeWaitingMessages();
// A turn passed on: the boards of the two copies are compared.
void TurnPassed();

// A line for the transcript about the game: written only while a NetPlay
// game runs.
void GameChat(const QString& line);

// The host's "LF" message: the saved-game file, one character per byte. The
// file must not hold the byte 255.
void SendGameFile(const QByteArray& fileBytes);

// Test seams: see every game message and game chat line that goes out.
void SetSendObserver(std::function<void(const QString&)> observer);
void SetChatObserver(std::function<void(const QString&)> observer);

} // namespace Turrion::NetPlay
