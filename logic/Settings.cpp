#include "logic/Settings.h"

#include <QFile>
#include <QSaveFile>
#include <climits>

namespace Turrion {

namespace {
int* Fields(WindowPlaces& s, int i)
{
    int* const fields[] = {&s.MainLeft, &s.MainTop, &s.ReportLeft, &s.ReportTop, &s.ChatLeft, &s.ChatTop};
    return fields[i];
}
} // namespace

QByteArray FormatSettings(const WindowPlaces& s)
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

void ParseSettings(const QByteArray& data, WindowPlaces& s)
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

namespace {
// The real files are a few short lines; a huge one is never read whole.
QByteArray ReadStart(const QString& path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096);
}

bool WriteWhole(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s
    // count instead of vanishing in a later flush; the old file then stays.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

const char* const kStrengths[] = {"easy", "normal", "hard"};

} // namespace

void ReadSettings(const QString& path, WindowPlaces& s)
{
    ParseSettings(ReadStart(path), s);
}

bool WriteSettings(const QString& path, const WindowPlaces& s)
{
    return WriteWhole(path, FormatSettings(s));
}

QByteArray FormatPreferences(const Preferences& s)
{
    const int strength = s.ComputerStrength >= 0 && s.ComputerStrength <= 2 ? s.ComputerStrength : 1;
    return "zoom=" + QByteArray::number(s.ZoomChoice) + "\nstrength=" + kStrengths[strength] + "\n";
}

void ParsePreferences(const QByteArray& data, Preferences& s)
{
    for (const QByteArray& line : data.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
        if (key == "zoom") {
            bool ok = false;
            const int zoom = value.toInt(&ok);
            if (ok && zoom >= 0 && zoom <= 4)
                s.ZoomChoice = zoom;
        } else if (key == "strength") {
            for (int i = 0; i < 3; ++i)
                if (value == kStrengths[i])
                    s.ComputerStrength = i;
        }
    }
}

void ReadPreferences(const QString& path, Preferences& s)
{
    ParsePreferences(ReadStart(path), s);
}

bool WritePreferences(const QString& path, const Preferences& s)
{
    return WriteWhole(path, FormatPreferences(s));
}

} // namespace Turrion
