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

class LogTest : public EngineFixture {
protected:
    // Lines [from, from + expected.size()) of `lines`; an expected line
    // starting with " ... " must be stamped, any other must match exactly.
    static void ExpectBlock(const QStringList& lines, qsizetype from, const QStringList& expected)
    {
        ASSERT_GE(lines.size(), from + expected.size()) << lines.join(QLatin1Char('|')).toStdString();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QString& line = lines[from + i];
            if (expected[i].startsWith(QStringLiteral(" ... ")))
                EXPECT_TRUE(IsStamped(line, expected[i])) << from + i << ": " << line.toStdString();
            else
                EXPECT_EQ(line, expected[i]) << from + i;
        }
    }
    static QStringList Opening() { return {QString(), kEquals, QStringLiteral(" ... Log Opened"), QString()}; }
    static QStringList Closing()
    {
        return {QString(), QStringLiteral(" ... Log Closed"), kHyphens, QString()};
    }
};

TEST_F(LogTest, EngineStartAndStopWriteTheirBlocksAndNothingAfter)
{
    StartEngine(1);
    QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 7);
    ExpectBlock(lines, 0, Opening());
    ExpectBlock(lines, 4, {QStringLiteral(" ... > PavixGames General Engine Started <"),
                           QStringLiteral(" ...      Log Level = 1"), QString()});
    EXPECT_EQ(Engine().EngineLog, 1);
    EXPECT_EQ(Engine().LogLevel, 1);

    StopEngine();
    lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 13);
    ExpectBlock(lines, 7, {QString(), QStringLiteral(" ... > PavixGames General Engine Shutdown <")});
    ExpectBlock(lines, 9, Closing());
    EXPECT_TRUE(Engine().LogFiles.empty());

    const QByteArray before = ReadBytes(EngineLogPath());
    WriteLog(1, QStringLiteral("too late"), true);
    CloseLog(1);
    EXPECT_EQ(ReadBytes(EngineLogPath()), before);
}

TEST_F(LogTest, SecondStartReplacesTheFileAndWritesTheLevelInDecimal)
{
    StartEngine(1);
    WriteLog(Engine().EngineLog, QStringLiteral("from the first run"), false);
    StartEngine(12);
    const QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 7);
    EXPECT_FALSE(lines.contains(QStringLiteral("from the first run")));
    EXPECT_TRUE(IsStamped(lines[5], QStringLiteral(" ...      Log Level = 12")));
    EXPECT_EQ(Engine().EngineLog, 2) << "handles are never reused";
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

TEST_F(LogTest, HandlesCountUpAreNeverReusedAndWriteToTheirOwnFiles)
{
    EXPECT_EQ(OpenLog(QString(), false), 0);
    const QString send = Path(QStringLiteral("send.log"));
    const QString get = Path(QStringLiteral("get.log"));
    EXPECT_EQ(OpenLog(send, false), 1);
    EXPECT_EQ(OpenLog(get, false), 2);
    EXPECT_EQ(Engine().LogCount, 2) << "an empty path takes no handle";
    WriteLog(2, QStringLiteral("in"), false);
    WriteLog(1, QStringLiteral("out"), false);
    EXPECT_EQ(ReadLines(send).mid(4), QStringList{QStringLiteral("out")});
    EXPECT_EQ(ReadLines(get).mid(4), QStringList{QStringLiteral("in")});

    const QByteArray before = ReadBytes(send) + ReadBytes(get);
    for (int bad : {0, -1, 3, 1000}) {
        WriteLog(bad, QStringLiteral("stray"), true);
        CloseLog(bad);
    }
    EXPECT_EQ(ReadBytes(send) + ReadBytes(get), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);

    CloseLog(1);
    EXPECT_EQ(OpenLog(send, true), 3);
    EXPECT_EQ(Engine().LogFiles[1], QString());
    EXPECT_EQ(Engine().LogFiles[3], send);
}

TEST_F(LogTest, OpenWriteAndCloseGiveExactLines)
{
    const QString path = Path(QStringLiteral("w.log"));
    const int handle = OpenLog(path, false);
    WriteLog(handle, QString(), false);
    WriteLog(handle, QStringLiteral("abc"), true);
    WriteLog(handle, QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e"), false);
    EXPECT_TRUE(ReadBytes(path).endsWith("\r\nGr\xc3\xbc\xc3\x9f" "e\r\n")) << "UTF-8";
    CloseLog(handle);
    const QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 11);
    ExpectBlock(lines, 0, Opening());
    ExpectBlock(lines, 4, {QString(), QStringLiteral(" ... abc"), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e")});
    ExpectBlock(lines, 7, Closing());

    const QByteArray before = ReadBytes(path);
    WriteLog(handle, QStringLiteral("after close"), false);
    CloseLog(handle);
    EXPECT_EQ(ReadBytes(path), before);
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

TEST_F(LogTest, StampsUseEnglishMonthsAndPaddedTimesWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2026, 12, 5), QTime(9, 4, 7))),
              QStringLiteral("5-Dec-2026, 09:04:07"));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(1999, 1, 31), QTime(23, 59, 59))),
              QStringLiteral("31-Jan-1999, 23:59:59"));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2000, 2, 29), QTime(0, 0, 0))),
              QStringLiteral("29-Feb-2000, 00:00:00"));
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(TimeStamp(QDateTime(QDate(2024, m, 10), QTime(12, 0, 0))),
                  QStringLiteral("10-%1-2024, 12:00:00").arg(QLatin1String(months[m - 1])));
    QLocale::setDefault(saved);
}

TEST_F(LogTest, ShellOpenHandsOnTheTargetAndLogsItAtLevelTwo)
{
    for (int level : {1, 2}) {
        QStringList opened;
        SetShellHook([&](const QString& target) { opened << target; });
        StartEngine(level);
        const QString target = AppPath() + QStringLiteral("help/help.htm");
        ShellOpen(nullptr, target);
        EXPECT_EQ(opened, QStringList{target});
        const QStringList lines = ReadLines(EngineLogPath());
        if (level == 1) {
            EXPECT_EQ(lines.size(), 7);
        } else {
            ASSERT_EQ(lines.size(), 8);
            EXPECT_TRUE(IsStamped(lines[7], QStringLiteral(" ... Processes request to open file: ") + target))
                << lines[7].toStdString();
        }
    }
}

TEST_F(LogTest, AppPathEndsInOneSlashAndDefaultsToTheExecutablesFolder)
{
    for (const QString& given : {dir_.path(), dir_.path() + QLatin1Char('/')}) {
        SetAppPathOverride(given);
        StartEngine(0);
        EXPECT_EQ(AppPath(), dir_.path() + QLatin1Char('/'));
    }
    SetAppPathOverride(QString());
    StartEngine(0);
    EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}
