// The engine log: file format, the opening and closing blocks, handle rules
// and the lines the engine core writes.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QScopeGuard>
#include <sys/stat.h>
#include <tuple>

using namespace PavixGames;

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
    static QStringList Opening()
    {
        return {QString(), QStringLiteral("===================="), QStringLiteral(" ... Log Opened"), QString()};
    }
    static QStringList Closing()
    {
        return {QString(), QStringLiteral(" ... Log Closed"), QStringLiteral("--------------------"), QString()};
    }
};

TEST_F(LogTest, EngineStartAndStopWriteTheirBlocksAndASecondStartReplacesTheFile)
{
    StartEngine(1);
    WriteLog(Engine().EngineLog, QStringLiteral("from the first run"), false);
    StartEngine(12);
    QStringList lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 7);
    ExpectBlock(lines, 0, Opening());
    ExpectBlock(lines, 4, {QStringLiteral(" ... > PavixGames General Engine Started <"),
                           QStringLiteral(" ...      Log Level = 12"), QString()});
    EXPECT_EQ(Engine().EngineLog, 2) << "handles are never reused";

    StopEngine();
    lines = ReadLines(EngineLogPath());
    ASSERT_EQ(lines.size(), 13);
    ExpectBlock(lines, 7, {QString(), QStringLiteral(" ... > PavixGames General Engine Shutdown <")});
    ExpectBlock(lines, 9, Closing());
    const QByteArray before = ReadBytes(EngineLogPath());
    WriteLog(2, QStringLiteral("too late"), true);
    EXPECT_EQ(ReadBytes(EngineLogPath()), before);
}

TEST_F(LogTest, HandlesWriteExactLinesToTheirOwnFilesAndAreNeverReused)
{
    EXPECT_EQ(OpenLog(QString(), false), 0) << "an empty path takes no handle";
    const QString send = Path(QStringLiteral("send.log"));
    const QString get = Path(QStringLiteral("get.log"));
    EXPECT_EQ(OpenLog(send, false), 1);
    EXPECT_EQ(OpenLog(get, false), 2);
    WriteLog(2, QStringLiteral("in"), false);
    WriteLog(1, QString(), false);
    WriteLog(1, QStringLiteral("abc"), true);
    WriteLog(1, QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e"), false);
    EXPECT_TRUE(ReadBytes(send).endsWith("\r\nGr\xc3\xbc\xc3\x9f" "e\r\n")) << "UTF-8";
    for (int bad : {0, -1, 3})
        WriteLog(bad, QStringLiteral("stray"), true);
    CloseLog(1);
    WriteLog(1, QStringLiteral("after close"), false);
    const QStringList lines = ReadLines(send);
    ASSERT_EQ(lines.size(), 11);
    ExpectBlock(lines, 0, Opening());
    ExpectBlock(lines, 4, {QString(), QStringLiteral(" ... abc"), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e")});
    ExpectBlock(lines, 7, Closing());
    EXPECT_EQ(ReadLines(get).mid(4), QStringList{QStringLiteral("in")});
    EXPECT_EQ(OpenLog(send, true), 3);

    // Appending keeps the old content, truncating drops it.
    EXPECT_EQ(ReadLines(send).size(), 15);
    OpenLog(send, false);
    EXPECT_EQ(ReadLines(send).size(), 4);
}

TEST_F(LogTest, UnwritableLogIsSkippedSilently)
{
    const QString path = Path(QStringLiteral("missing/deeper/x.log"));
    const int handle = OpenLog(path, false);
    EXPECT_EQ(handle, 1);
    WriteLog(handle, QStringLiteral("lost"), true);
    CloseLog(handle);
    EXPECT_FALSE(QFile::exists(path));
}

// test_main points XDG_CONFIG_HOME and XDG_DATA_HOME into a folder of the run.
TEST_F(LogTest, WritesStayInAWritableProgramFolderAndGoToTheUserFoldersOtherwise)
{
    const QString app = dir_.path() + QLatin1Char('/'), name = QCoreApplication::applicationName() + '/';
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + '/' + name;
    const QString data = qEnvironmentVariable("XDG_DATA_HOME") + '/' + name;
    const auto restore = qScopeGuard([&] { chmod(QFile::encodeName(dir_.path()), 0700); });
    for (const auto& [readOnly, wantConfig, wantData] :
         {std::tuple{false, app, app}, std::tuple{true, config, data}}) {
        if (readOnly && chmod(QFile::encodeName(dir_.path()), 0555) == 0 &&
            QFile(Path(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
            GTEST_SKIP() << "a read-only folder can still be written here (root)";
        StartEngine(1);
        StopEngine();
        EXPECT_EQ(ConfigPath(), wantConfig);
        EXPECT_EQ(DataPath(), wantData);
        EXPECT_TRUE(QDir(wantConfig).exists());
        EXPECT_EQ(ReadLines(wantData + QStringLiteral("engine.log")).size(), 13);
    }
    EXPECT_EQ(QDir(app).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("engine.log")})
        << "the probe is removed again";
}

TEST_F(LogTest, StampsUseEnglishMonthsAndPaddedTimesWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2026, 12, 5), QTime(9, 4, 7))),
              QStringLiteral("5-Dec-2026, 09:04:07"));
    const QStringList months = QStringLiteral("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec").split(' ');
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(TimeStamp(QDateTime(QDate(2024, m, 10), QTime(23, 59, 0))),
                  QStringLiteral("10-%1-2024, 23:59:00").arg(months[m - 1]));
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
        ASSERT_EQ(lines.size(), level == 1 ? 7 : 8);
        if (level == 2) {
            EXPECT_TRUE(IsStamped(lines[7], QStringLiteral(" ... Processes request to open file: ") + target));
        }
    }
}

TEST_F(LogTest, AppPathEndsInOneSlashAndLevelZeroCreatesNoFile)
{
    SetShellHook([](const QString&) {});
    for (const QString& given : {dir_.path(), dir_.path() + QLatin1Char('/')}) {
        SetAppPathOverride(given);
        StartEngine(0);
        EXPECT_EQ(AppPath(), dir_.path() + QLatin1Char('/'));
    }
    WriteLog(Engine().EngineLog, QStringLiteral("ignored"), true);
    ShellOpen(nullptr, QStringLiteral("x"));
    StopEngine();
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    SetAppPathOverride(QString());
    StartEngine(0);
    EXPECT_EQ(AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}
