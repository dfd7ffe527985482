// The NetPlay wire protocol without any window or socket: the single-byte
// text encoding, the framing with the terminator byte 255, and the parsing
// and validation of received messages.
//
// A message is a two-letter code, "}" and a payload; on the wire it is
// followed by the byte 255. Both sides run this program, so the writer and
// the reader share these functions.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <optional>

namespace Turrion::NetPlay {

// The message terminator: the byte 255, which is U+00FF once decoded.
constexpr char TerminatorByte = char(0xFF);
constexpr char16_t TerminatorChar = 0x00FF;

// The chat line marker between a name and the typed text (byte 187).
inline const QString ChatMarker = QString(QChar(0x00BB)) + QStringLiteral(" ");

// More than this many received characters without a terminator is not a
// message of this program; the receiver drops them.
constexpr int MaxPendingChars = 64 * 1024;

// Windows-1252, one character per byte. The five bytes that code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the C1 control of the
// same number, so every byte 0..255 decodes and encodes back unchanged.
// Characters the code page cannot represent are sent as '?'.
QChar CharFromWireByte(unsigned char byte);
// The byte of a character, or -1 when the code page has none for it.
int WireByteFromChar(QChar ch);

// Text on the wire is single-byte Windows-1252: every byte 0..254 maps to one
// character and back unchanged.
QString FromWire(const QByteArray& bytes);
QByteArray ToWire(const QString& text);

// Adds the terminator to a message.
QByteArray Frame(const QString& message);

// Cuts the first complete message off the front of `buffer` (message and
// terminator are removed together) and stores it in `message`. Returns false
// and leaves `buffer` alone when no terminator has arrived yet.
bool TakeMessage(QString& buffer, QString& message);

// C0 and C1 control characters, DEL and the Unicode line and paragraph
// separators: none of them belongs inside one line of a transcript or a log.
bool IsControl(QChar ch);
// A received name or chat line shown as exactly one line: each control
// character becomes a space, so a peer cannot write lines that look as if
// this program had written them.
QString OneLine(const QString& line);
// A name or chat text as the other side will receive it: control characters
// become spaces, characters Windows-1252 cannot carry become "?", and the
// terminator character is dropped. The entries show this text as the user
// types, so both sides see the same.
QString Sendable(const QString& text);

// Names and chat texts go on the wire inside messages; the terminator
// character in them would end the message early and let the rest be read as
// a message of its own. Removes every U+00FF.
QString StripTerminator(const QString& text);

// The leading decimal number of a text, rounded to a 32-bit integer: spaces
// are skipped, an optional sign and a fraction are read, and anything else
// ends the number ("4000 " is 4000, "abc" is 0). Values beyond the 32-bit
// range are held at its ends.
int DecimalValue(const QString& text);

// ---- The game's messages, as the side that acts sends them ---------------

QString TwoDigits(int value);
// A piece moved one cell.
QString MoveMessage(int fromCol, int fromRow, int toCol, int toRow);
// A piece added: a Wall a Builder built (`wall` true) or a recruit on the
// portal; the last digit tells them apart and is not read.
QString AddPieceMessage(int player, int kind, int col, int row, bool wall);
// A Wall removed.
QString RemovePieceMessage(int col, int row);
// Where a shot came down, and who fired it.
QString FireMessage(int col, int row, int player);
// The end of `player`'s turn.
QString EndTurnMessage(int player);

// Two messages beyond the first protocol, which a copy that knows only that
// one ignores as unknown codes:
// "GA}n": the connecting side has taken the host's n-th new or loaded game of
// this connection ("GA}0" on connecting says that it sends these at all).
QString GameTakenMessage(int games);
// "BD}g,t,p,xxxxxxxx": the board digest of a copy after a turn passed on, in
// its g-th game of the connection, at turn t with player p to move.
QString BoardDigestMessage(int games, int turn, int player, quint32 digest);

// ---- Received messages ------------------------------------------------------

enum class Code {
    PD, // player's name, on connecting
    CH, // chat line
    SC, // switch colours
    DQ, // disconnect
    NG, // new game on the host
    AP, // add piece
    RP, // remove piece
    MP, // move piece
    FC, // cannon fired
    ET, // end of turn
    SG, // game saved
    LF, // game loaded: the file itself
    GA, // the connecting side took the host's game number `games`
    BD, // a copy's board digest after a turn passed on
};

// A received message that is well formed. Numeric fields are filled for the
// codes that carry them and are always within the board and the ranges of
// owners and kinds.
struct Message {
    Code code = Code::PD;
    QString payload;
    int owner = 0;  // AP: 1..2
    int kind = 0;   // AP: 1..7
    int col = 0;    // AP, RP, FC; MP: from
    int row = 0;
    int toCol = 0;  // MP: to
    int toRow = 0;
    int colour = 0; // SC: 1..2; FC: the shooter 1..2; BD: the player to move
    int games = 0;  // GA, BD: the game of the connection, 0 or more
    int turn = 0;   // BD: the turn number
    quint32 digest = 0; // BD
};

// Reads a message (without its terminator). Returns nothing for a message
// this program does not act on: shorter than three characters, an unknown
// code, no "}" separator, or a game payload of the wrong length, with a field
// that is not digits, or with a value outside its range.
std::optional<Message> ParseMessage(const QString& text);

} // namespace Turrion::NetPlay
