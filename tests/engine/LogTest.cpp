// The engine log: file format, the opening and closing blocks, handle rules
// and the lines the engine core writes.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>

using namespace PavixGames;

namespace {

const QString kEquals = QStringLiteral("====================");
const QString kHyphens = QStringLiteral("--------------------");

} // namespace

class LogTest : public EngineFixture {};

// ---- Opening and closing of engine.log --------------------------------------

TEST_F(LogTest, StartAtLevelOneWritesTheSevenOpeningLines)
{
    StartEngine(1);
    const QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 7) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], kEquals);
    EXPECT_TRUE(IsStamped(lines[2], QStringLiteral(" ... Log Opened"))) << lines[2].toStdString();
    EXPECT_EQ(lines[3], QString());
    EXPECT_TRUE(IsStamped(lines[4], QStringLiteral(" ... > PavixGames General Engine Started <")))
        << lines[4].toStdString();
    EXPECT_TRUE(IsStamped(lines[5], QStringLiteral(" ...      Log Level = 1")))
        << lines[5].toStdString();
    EXPECT_EQ(lines[6], QString());
    EXPECT_EQ(Engine().EngineLog, 1);
    EXPECT_EQ(Engine().LogCount, 1);
    EXPECT_EQ(Engine().LogLevel, 1);
}

TEST_F(LogTest, SecondStartReplacesTheFile)
{
    StartEngine(1);
    WriteLog(Engine().EngineLog, QStringLiteral("from the first run"), false);
    StartEngine(1);
    const QStringList lines = ReadLines(EngineLogPath());
    EXPECT_EQ(lines.size(), 7);
    EXPECT_FALSE(lines.contains(QStringLiteral("from the first run")));
    EXPECT_EQ(Engine().EngineLog, 2) << "handles are never reused";
}

TEST_F(LogTest, LevelIsWrittenInDecimal)
{
    StartEngine(12);
    const QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(IsStamped(lines[5], QStringLiteral(" ...      Log Level = 12")));
}

TEST_F(LogTest, StopWritesShutdownLineAndClosingBlock)
{
    StartEngine(1);
    StopEngine();
    const QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 13) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[7], QString());
    EXPECT_TRUE(IsStamped(lines[8], QStringLiteral(" ... > PavixGames General Engine Shutdown <")))
        << lines[8].toStdString();
    EXPECT_EQ(lines[9], QString());
    EXPECT_TRUE(IsStamped(lines[10], QStringLiteral(" ... Log Closed"))) << lines[10].toStdString();
    EXPECT_EQ(lines[11], kHyphens);
    EXPECT_EQ(lines[12], QString());
    EXPECT_TRUE(Engine().LogFiles.empty());
}

TEST_F(LogTest, NothingIsWrittenAfterStop)
{
    StartEngine(1);
    StopEngine();
    const QByteArray before = ReadBytes(EngineLogPath());
    WriteLog(Engine().EngineLog, QStringLiteral("too late"), true);
    CloseLog(Engine().EngineLog);
    EXPECT_EQ(ReadBytes(EngineLogPath()), before);
}

TEST_F(LogTest, LevelZeroCreatesNoFile)
{
    SetShellHook([](const QString&) {});
    StartEngine(0);
    EXPECT_EQ(Engine().EngineLog, 0);
    WriteLog(Engine().EngineLog, QStringLiteral("ignored"), true);
    ShellOpen(nullptr, QStringLiteral("x"));
    StopEngine();
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(Engine().LogCount, 0);
}

// ---- Handles ---------------------------------------------------------------

TEST_F(LogTest, OpenLogWithEmptyPathReturnsZero)
{
    StartEngine(1);
    const int countBefore = Engine().LogCount;
    EXPECT_EQ(OpenLog(QString(), false), 0);
    EXPECT_EQ(OpenLog(QString(), true), 0);
    EXPECT_EQ(Engine().LogCount, countBefore);
}

TEST_F(LogTest, HandlesCountUpAndAreNeverReused)
{
    const QString a = Path(QStringLiteral("a.log"));
    EXPECT_EQ(OpenLog(a, false), 1);
    EXPECT_EQ(OpenLog(Path(QStringLiteral("b.log")), false), 2);
    CloseLog(1);
    EXPECT_EQ(OpenLog(a, true), 3);
    EXPECT_EQ(Engine().LogFiles[1], QString());
    EXPECT_EQ(Engine().LogFiles[3], a);
}

TEST_F(LogTest, OpenLogWritesOpeningBlock)
{
    const QString path = Path(QStringLiteral("Host_Send.log"));
    const int handle = OpenLog(path, false);
    const QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], kEquals);
    EXPECT_TRUE(IsStamped(lines[2], QStringLiteral(" ... Log Opened")));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(handle, 1);
}

TEST_F(LogTest, AppendKeepsAndTruncateDropsOldContent)
{
    const QString path = Path(QStringLiteral("x.log"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old\r\n");
    }
    OpenLog(path, true);
    QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("old"));

    OpenLog(path, false);
    lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QString());
}

TEST_F(LogTest, StampedAndUnstampedLines)
{
    const QString path = Path(QStringLiteral("w.log"));
    const int handle = OpenLog(path, false);
    WriteLog(handle, QString(), false);
    WriteLog(handle, QStringLiteral("abc"), true);
    WriteLog(handle, QStringLiteral("plain"), false);
    const QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[4], QString());
    EXPECT_TRUE(IsStamped(lines[5], QStringLiteral(" ... abc"))) << lines[5].toStdString();
    EXPECT_EQ(lines[6], QStringLiteral("plain"));
}

TEST_F(LogTest, InvalidHandlesAreIgnored)
{
    const QString path = Path(QStringLiteral("h.log"));
    const int handle = OpenLog(path, false);
    const QByteArray before = ReadBytes(path);
    for (int bad : {0, -1, handle + 1, 1000}) {
        WriteLog(bad, QStringLiteral("stray"), true);
        CloseLog(bad);
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(LogTest, ClosedHandleTakesNoMoreLines)
{
    const QString path = Path(QStringLiteral("c.log"));
    const int handle = OpenLog(path, false);
    CloseLog(handle);
    const QStringList closed = ReadLines(path);
    ASSERT_EQ(closed.size(), 8);
    EXPECT_EQ(closed[4], QString());
    EXPECT_TRUE(IsStamped(closed[5], QStringLiteral(" ... Log Closed")));
    EXPECT_EQ(closed[6], kHyphens);
    EXPECT_EQ(closed[7], QString());

    const QByteArray before = ReadBytes(path);
    WriteLog(handle, QStringLiteral("after close"), false);
    CloseLog(handle);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(LogTest, TwoHandlesWriteToTheirOwnFiles)
{
    const QString send = Path(QStringLiteral("send.log"));
    const QString get = Path(QStringLiteral("get.log"));
    const int s = OpenLog(send, false);
    const int g = OpenLog(get, false);
    WriteLog(g, QStringLiteral("in"), false);
    WriteLog(s, QStringLiteral("out"), false);
    EXPECT_EQ(ReadLines(send).last(), QStringLiteral("out"));
    EXPECT_EQ(ReadLines(get).last(), QStringLiteral("in"));
    EXPECT_EQ(ReadLines(send).size(), 5);
}

TEST_F(LogTest, TextIsWrittenAsUtf8)
{
    const QString path = Path(QStringLiteral("u.log"));
    const int handle = OpenLog(path, false);
    WriteLog(handle, QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e"), false);
    EXPECT_TRUE(ReadBytes(path).endsWith("Gr\xc3\xbc\xc3\x9f" "e\r\n"));
}

TEST_F(LogTest, UnwritableLogIsSkippedSilently)
{
    // A folder that does not exist: the handle is handed out, writes vanish.
    const QString path = Path(QStringLiteral("missing/deeper/x.log"));
    const int handle = OpenLog(path, false);
    EXPECT_EQ(handle, 1);
    WriteLog(handle, QStringLiteral("lost"), true);
    CloseLog(handle);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Engine().LogFiles[1], QString());

    // A start in a folder that does not exist runs and stops all the same.
    SetAppPathOverride(Path(QStringLiteral("nowhere")));
    StartEngine(1);
    StopEngine();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("nowhere/engine.log"))));
}

// ---- Time stamp --------------------------------------------------------------

TEST_F(LogTest, StampOfSingleDigitDayInTheMorning)
{
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2026, 12, 5), QTime(9, 4, 7))),
              QStringLiteral("5-Dec-2026, 09:04:07"));
}

TEST_F(LogTest, StampFieldsAtTheirLargest)
{
    EXPECT_EQ(TimeStamp(QDateTime(QDate(1999, 1, 31), QTime(23, 59, 59))),
              QStringLiteral("31-Jan-1999, 23:59:59"));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2000, 2, 29), QTime(0, 0, 0))),
              QStringLiteral("29-Feb-2000, 00:00:00"));
}

TEST_F(LogTest, StampUsesEnglishMonthsWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList months = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
                                QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                                QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    for (int m = 1; m <= 12; ++m) {
        const QString stamp = TimeStamp(QDateTime(QDate(2024, m, 10), QTime(12, 0, 0)));
        EXPECT_EQ(stamp, QStringLiteral("10-") + months[m - 1] + QStringLiteral("-2024, 12:00:00"));
    }
    QLocale::setDefault(saved);
}

// ---- Shell -----------------------------------------------------------------

TEST_F(LogTest, ShellOpenAtLevelOneLogsNothing)
{
    QStringList opened;
    SetShellHook([&](const QString& target) { opened << target; });
    StartEngine(1);
    const QString help = AppPath() + QStringLiteral("help/help.htm");
    ShellOpen(nullptr, help);
    EXPECT_EQ(opened, QStringList{help});
    EXPECT_EQ(ReadLines(EngineLogPath()).size(), 7);
}

TEST_F(LogTest, ShellOpenAtLevelTwoLogsTheRequest)
{
    QStringList opened;
    SetShellHook([&](const QString& target) { opened << target; });
    StartEngine(2);
    ShellOpen(nullptr, QStringLiteral("http://example.com/board"));
    EXPECT_EQ(opened, QStringList{QStringLiteral("http://example.com/board")});
    const QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(IsStamped(
        lines[7], QStringLiteral(" ... Processes request to open file: http://example.com/board")))
        << lines[7].toStdString();
}

// ---- Application folder ---------------------------------------------------------

TEST_F(LogTest, AppPathGetsOneTrailingSlash)
{
    SetAppPathOverride(dir_.path());
    StartEngine(0);
    EXPECT_EQ(AppPath(), dir_.path() + QLatin1Char('/'));
    SetAppPathOverride(dir_.path() + QLatin1Char('/'));
    StartEngine(0);
    EXPECT_EQ(AppPath(), dir_.path() + QLatin1Char('/'));
}

TEST_F(LogTest, AppPathDefaultsToTheExecutablesFolder)
{
    SetAppPathOverride(QString());
    StartEngine(0);
    EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}
