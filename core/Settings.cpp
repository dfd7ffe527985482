#include "core/Settings.h"

#include "core/GameState.h"

#include <QFile>
#include <QSaveFile>
#include <climits>

namespace Turrion {

namespace {
int* Fields(State& s, int i)
{
    int* const fields[] = {&s.MainLeft, &s.MainTop, &s.ReportLeft, &s.ReportTop, &s.ChatLeft, &s.ChatTop};
    return fields[i];
}
} // namespace

QByteArray FormatSettings(const State& s)
{
    QByteArray out;
    for (int value : {s.MainLeft, s.MainTop, s.ReportLeft, s.ReportTop, s.ChatLeft, s.ChatTop}) {
        if (value >= 0)
            out += ' ';
        out += QByteArray::number(value);
        out += " \r\n";
    }
    return out;
}

void ParseSettings(const QByteArray& data, State& s)
{
    qsizetype pos = 0;
    const qsizetype n = data.size();
    for (int field = 0; field < 6; ++field) {
        while (pos < n && (data[pos] == ' ' || data[pos] == '\r' || data[pos] == '\n' || data[pos] == '\t'))
            ++pos;
        qsizetype start = pos;
        if (pos < n && (data[pos] == '-' || data[pos] == '+'))
            ++pos;
        qsizetype digitsStart = pos;
        while (pos < n && data[pos] >= '0' && data[pos] <= '9')
            ++pos;
        if (pos == digitsStart)
            return; // not a number: this and the rest stay as they were
        bool ok = false;
        long long value = data.mid(start, pos - start).toLongLong(&ok);
        if (!ok || value < INT_MIN || value > INT_MAX)
            return;
        *Fields(s, field) = int(value);
    }
}

void ReadSettings(const QString& path, State& s)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    // The real file is six short lines; never read a huge one whole.
    ParseSettings(file.read(4096), s);
}

bool WriteSettings(const QString& path, const State& s)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s
    // count instead of vanishing in a later flush; the old file then stays.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray data = FormatSettings(s);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

} // namespace Turrion
