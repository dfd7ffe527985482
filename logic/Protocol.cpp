#include "logic/Protocol.h"

#include <QStringList>

#include <array>
#include <cmath>
#include <limits>

namespace Turrion::NetPlay {

namespace {

// Windows-1252 for the bytes 0x80..0x9F; 0 marks the five undefined bytes,
// which decode to the C1 control of the same number.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98..9F
};

bool IsAsciiDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// The value of a fixed-width field of digits, or -1 when any character of
// it is not a digit.
int Digits(const QString& payload, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        if (!IsAsciiDigit(payload[i]))
            return -1;
        value = value * 10 + (payload[i].unicode() - '0');
    }
    return value;
}

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

bool ValidCol(int c) { return InRange(c, 0, 8); }
bool ValidRow(int r) { return InRange(r, 0, 6); }
bool ValidPlayer(int p) { return InRange(p, 1, 2); }

std::optional<Code> CodeOf(QStringView code)
{
    static const struct {
        const char* text;
        Code code;
    } kCodes[] = {
        {"PD", Code::PD}, {"CH", Code::CH}, {"SC", Code::SC}, {"DQ", Code::DQ},
        {"NG", Code::NG}, {"AP", Code::AP}, {"RP", Code::RP}, {"MP", Code::MP},
        {"FC", Code::FC}, {"ET", Code::ET}, {"SG", Code::SG}, {"LF", Code::LF},
        {"GA", Code::GA}, {"BD", Code::BD},
    };
    for (const auto& entry : kCodes)
        if (code == QLatin1String(entry.text))
            return entry.code;
    return std::nullopt;
}

// A count of 1 to 9 decimal digits, or -1.
int Count(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return -1;
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
}

} // namespace

QChar CharFromWireByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHighTable[byte - 0x80];
        return QChar(mapped ? mapped : char16_t(byte));
    }
    return QChar(char16_t(byte));
}

int WireByteFromChar(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        const char16_t mapped = kHighTable[i];
        if ((mapped && mapped == u) || (!mapped && u == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

QString FromWire(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = CharFromWireByte(static_cast<unsigned char>(bytes[i]));
    return text;
}

QByteArray ToWire(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = WireByteFromChar(text[i]);
        bytes[i] = b < 0 ? '?' : char(b);
    }
    return bytes;
}

QByteArray Frame(const QString& message)
{
    QByteArray bytes = ToWire(message);
    bytes.append(TerminatorByte);
    return bytes;
}

bool TakeMessage(QString& buffer, QString& message)
{
    const qsizetype end = buffer.indexOf(QChar(TerminatorChar));
    if (end < 0)
        return false;
    message = buffer.left(end);
    buffer.remove(0, end + 1);
    return true;
}

bool IsControl(QChar ch)
{
    const char16_t u = ch.unicode();
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

QString OneLine(const QString& line)
{
    QString clean = line;
    for (QChar& ch : clean)
        if (IsControl(ch))
            ch = QLatin1Char(' ');
    return clean;
}

QString Sendable(const QString& text)
{
    QString clean = StripTerminator(OneLine(text));
    for (QChar& ch : clean)
        if (WireByteFromChar(ch) < 0)
            ch = QLatin1Char('?');
    return clean;
}

QString StripTerminator(const QString& text)
{
    QString clean = text;
    clean.remove(QChar(TerminatorChar));
    return clean;
}

int DecimalValue(const QString& text)
{
    // Blanks may stand anywhere in the number; they are skipped.
    QString t;
    t.reserve(text.size());
    for (QChar ch : text)
        if (ch != QLatin1Char(' ') && ch != QLatin1Char('\t') && ch != QLatin1Char('\n'))
            t += ch;

    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    double value = 0.0;
    for (; i < t.size() && IsAsciiDigit(t[i]); ++i)
        value = value * 10.0 + (t[i].unicode() - '0');
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < t.size() && IsAsciiDigit(t[i]); ++i, scale /= 10.0)
            value += (t[i].unicode() - '0') * scale;
    }
    if (negative)
        value = -value;
    // Halves go to the even neighbour, as the usual conversion to an integer
    // does.
    value = std::nearbyint(value);
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

QString TwoDigits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString MoveMessage(int fromCol, int fromRow, int toCol, int toRow)
{
    return QStringLiteral("MP}") + TwoDigits(fromCol) + TwoDigits(fromRow) + TwoDigits(toCol) +
           TwoDigits(toRow);
}

QString AddPieceMessage(int player, int kind, int col, int row, bool wall)
{
    return QStringLiteral("AP}") + QString::number(player) + QString::number(kind) +
           TwoDigits(col) + TwoDigits(row) + (wall ? QLatin1Char('1') : QLatin1Char('0'));
}

QString RemovePieceMessage(int col, int row)
{
    return QStringLiteral("RP}") + TwoDigits(col) + TwoDigits(row);
}

QString FireMessage(int col, int row, int player)
{
    return QStringLiteral("FC}") + TwoDigits(col) + TwoDigits(row) + QString::number(player);
}

QString EndTurnMessage(int player)
{
    return QStringLiteral("ET}") + QString::number(player);
}

QString GameTakenMessage(int games)
{
    return QStringLiteral("GA}") + QString::number(games);
}

QString BoardDigestMessage(int games, int turn, int player, quint32 digest)
{
    return QStringLiteral("BD}%1,%2,%3,%4")
        .arg(games)
        .arg(turn)
        .arg(player)
        .arg(digest, 8, 16, QLatin1Char('0'));
}

std::optional<Message> ParseMessage(const QString& text)
{
    if (text.size() < 3 || text[2] != QLatin1Char('}'))
        return std::nullopt;
    const std::optional<Code> code = CodeOf(QStringView(text).left(2));
    if (!code)
        return std::nullopt;

    Message m;
    m.code = *code;
    m.payload = text.mid(3);
    const QString& p = m.payload;
    const qsizetype n = p.size();

    switch (m.code) {
    case Code::PD:
    case Code::CH:
    case Code::DQ:
    case Code::NG:
    case Code::SG:
    case Code::LF:
        return m;
    case Code::SC:
        if (n != 1)
            return std::nullopt;
        m.colour = Digits(p, 0, 1);
        if (!ValidPlayer(m.colour))
            return std::nullopt;
        return m;
    case Code::AP:
        if (n != 7 || Digits(p, 6, 1) < 0)
            return std::nullopt;
        m.owner = Digits(p, 0, 1);
        m.kind = Digits(p, 1, 1);
        m.col = Digits(p, 2, 2);
        m.row = Digits(p, 4, 2);
        if (!ValidPlayer(m.owner) || !InRange(m.kind, 1, 7) || !ValidCol(m.col) ||
            !ValidRow(m.row))
            return std::nullopt;
        return m;
    case Code::RP:
        if (n != 4)
            return std::nullopt;
        m.col = Digits(p, 0, 2);
        m.row = Digits(p, 2, 2);
        if (!ValidCol(m.col) || !ValidRow(m.row))
            return std::nullopt;
        return m;
    case Code::MP:
        if (n != 8)
            return std::nullopt;
        m.col = Digits(p, 0, 2);
        m.row = Digits(p, 2, 2);
        m.toCol = Digits(p, 4, 2);
        m.toRow = Digits(p, 6, 2);
        if (!ValidCol(m.col) || !ValidRow(m.row) || !ValidCol(m.toCol) || !ValidRow(m.toRow))
            return std::nullopt;
        return m;
    case Code::FC:
        if (n != 5)
            return std::nullopt;
        m.col = Digits(p, 0, 2);
        m.row = Digits(p, 2, 2);
        m.colour = Digits(p, 4, 1);
        if (!ValidCol(m.col) || !ValidRow(m.row) || !ValidPlayer(m.colour))
            return std::nullopt;
        return m;
    case Code::ET:
        // The digit names the player whose turn ended; nobody reads it, but
        // a message of another shape was not sent by this program.
        if (n != 1 || Digits(p, 0, 1) < 0)
            return std::nullopt;
        return m;
    case Code::GA:
        m.games = Count(p);
        return m.games < 0 ? std::nullopt : std::optional<Message>(m);
    case Code::BD: {
        const QStringList parts = p.split(QLatin1Char(','));
        if (parts.size() != 4 || parts[3].size() != 8)
            return std::nullopt;
        m.games = Count(parts[0]);
        m.turn = Count(parts[1]);
        m.colour = Count(parts[2]);
        bool hex = true;
        for (QChar ch : parts[3])
            hex = hex && ((ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ||
                          (ch >= QLatin1Char('a') && ch <= QLatin1Char('f')));
        if (m.games < 0 || m.turn < 0 || !ValidPlayer(m.colour) || !hex)
            return std::nullopt;
        m.digest = parts[3].toUInt(nullptr, 16);
        return m;
    }
    }
    return std::nullopt;
}

} // namespace Turrion::NetPlay
