#include "engine/PavixGames.h"

#include "engine/PavixSteps.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace PavixGames {

namespace {

EngineState g_state;
QString g_appPathOverride;

std::int64_t ReadCounter()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

std::int64_t CounterFrequency()
{
    using Period = std::chrono::steady_clock::period;
    return std::int64_t(Period::den / Period::num);
}

QString WithTrailingSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// Whether a file can be created in `folder`. Tried for real: the permission
// bits do not tell (read-only mounts, ACLs, root). The probe is removed again.
bool CanCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".write-probe-XXXXXX"));
    return probe.open();
}

// Whether this copy runs from the folder it was installed to: the install step
// leaves kInstalledMarker beside the executable. Such a folder belongs to the
// package manager, so the program never writes there, not even as root, for
// whom the write probe would succeed (and a removed package would leave the
// folder behind, full of one user's files).
bool IsInstalledCopy(const QString& folder)
{
    return QFileInfo::exists(folder + QLatin1String(kInstalledMarker));
}

// The user's folder of that kind, created when missing. Where the system names
// none (Qt on Linux always does, from $HOME), a portable copy keeps its files
// beside itself and an installed one takes a fresh private folder under the
// temporary folder; only if even that cannot be made does it fall back to
// its own folder, where the writes of anyone but root fail harmlessly.
QString UserFolder(QStandardPaths::StandardLocation kind, bool installed)
{
    const QString folder = QStandardPaths::writableLocation(kind);
    if (folder.isEmpty()) {
        if (!installed)
            return g_state.AppPath;
        QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/Turrion-XXXXXX"));
        scratch.setAutoRemove(false);
        return scratch.isValid() ? WithTrailingSlash(scratch.path()) : g_state.AppPath;
    }
    QDir().mkpath(folder);
    return WithTrailingSlash(folder);
}

bool HandleIsLive(int handle)
{
    return handle >= 1 && handle <= g_state.LogCount &&
           std::size_t(handle) < g_state.LogFiles.size() && !g_state.LogFiles[handle].isEmpty();
}

// One open-write-close per call, so the file is never held open and a crash
// loses nothing already logged. A file that cannot be opened is skipped: the
// log is a diagnostic aid and must never stop the game. The plain system
// calls: a log record is written often, and QFile's set-up costs more than
// the write.
void AppendLines(const QString& path, const QStringList& lines, bool truncate)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND), 0666);
    if (fd < 0)
        return;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            break;
        done += wrote;
    }
    ::close(fd);
}

QString Stamped(const QString& text)
{
    // Records come in bursts within one second, and formatting the local
    // time is the dear part of one: the stamp is made once a second.
    static qint64 second = -1;
    static QString stamp;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now != second) {
        second = now;
        stamp = TimeStamp(QDateTime::fromSecsSinceEpoch(now));
    }
    return stamp + QStringLiteral(" ... ") + text;
}

} // namespace

EngineState& Engine()
{
    return g_state;
}

const QString& AppPath()
{
    return g_state.AppPath;
}

const QString& ConfigPath()
{
    return g_state.ConfigPath;
}

const QString& DataPath()
{
    return g_state.DataPath;
}

int LogLevel()
{
    return g_state.LogLevel;
}

void StartEngine(int level)
{
    if (!g_appPathOverride.isEmpty())
        g_state.AppPath = WithTrailingSlash(g_appPathOverride);
    else if (QCoreApplication::instance())
        g_state.AppPath = WithTrailingSlash(QCoreApplication::applicationDirPath());
    else
        g_state.AppPath = QStringLiteral("./");
    const bool installed = IsInstalledCopy(g_state.AppPath);
    if (!installed && CanCreateFilesIn(g_state.AppPath)) {
        g_state.ConfigPath = g_state.DataPath = g_state.AppPath;
    } else {
        g_state.ConfigPath = UserFolder(QStandardPaths::AppConfigLocation, installed);
        g_state.DataPath = UserFolder(QStandardPaths::AppDataLocation, installed);
    }

    g_state.PerfFrequency = CounterFrequency();
    g_state.PerfStart = ReadCounter();
    g_state.LogLevel = level;

    if (g_state.LogLevel > 0) {
        g_state.EngineLog = OpenLog(g_state.DataPath + QStringLiteral("engine.log"), false);
        WriteLog(g_state.EngineLog, QStringLiteral("> PavixGames General Engine Started <"), true);
        WriteLog(g_state.EngineLog, QStringLiteral("     Log Level = ") + QString::number(level),
                 true);
        WriteLog(g_state.EngineLog, QString(), false);
    }
}

void StopEngine()
{
    if (g_state.LogLevel > 0) {
        WriteLog(g_state.EngineLog, QString(), false);
        WriteLog(g_state.EngineLog, QStringLiteral("> PavixGames General Engine Shutdown <"), true);
        CloseLog(g_state.EngineLog);
    }
    g_state.LogFiles.clear();
}

double GetEngineTime()
{
    if (ManualClock())
        return ManualNow();
    if (g_state.PerfFrequency <= 0)
        return 0.0;
    return double(ReadCounter() - g_state.PerfStart) / double(g_state.PerfFrequency);
}

int OpenLog(const QString& path, bool append)
{
    if (path.isEmpty())
        return 0;
    ++g_state.LogCount;
    if (g_state.LogFiles.size() < std::size_t(g_state.LogCount) + 1)
        g_state.LogFiles.resize(std::size_t(g_state.LogCount) + 1);
    g_state.LogFiles[g_state.LogCount] = path;
    AppendLines(path,
                {QString(), QStringLiteral("===================="),
                 TimeStamp(QDateTime::currentDateTime()) + QStringLiteral(" ... Log Opened"),
                 QString()},
                !append);
    return g_state.LogCount;
}

void WriteLog(int handle, const QString& text, bool stamp)
{
    if (!HandleIsLive(handle))
        return;
    AppendLines(g_state.LogFiles[handle], {stamp ? Stamped(text) : text}, false);
}

void CloseLog(int handle)
{
    if (!HandleIsLive(handle))
        return;
    AppendLines(g_state.LogFiles[handle],
                {QString(),
                 TimeStamp(QDateTime::currentDateTime()) + QStringLiteral(" ... Log Closed"),
                 QStringLiteral("--------------------"), QString()},
                false);
    g_state.LogFiles[handle].clear();
}

QString TimeStamp(const QDateTime& when)
{
    // A fixed table: the log reads the same whatever the user's language.
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = when.date();
    const QTime time = when.time();
    const int month = date.isValid() ? date.month() : 1;
    return QStringLiteral("%1-%2-%3, %4:%5:%6")
        .arg(date.isValid() ? date.day() : 1)
        .arg(QLatin1String(kMonths[(month - 1) % 12]))
        .arg(date.isValid() ? date.year() : 0, 4, 10, QLatin1Char('0'))
        .arg(time.isValid() ? time.hour() : 0, 2, 10, QLatin1Char('0'))
        .arg(time.isValid() ? time.minute() : 0, 2, 10, QLatin1Char('0'))
        .arg(time.isValid() ? time.second() : 0, 2, 10, QLatin1Char('0'));
}

void SetAppPathOverride(const QString& folder)
{
    g_appPathOverride = folder;
}


void ResetForTests()
{
    g_state = EngineState{};
}

} // namespace PavixGames
