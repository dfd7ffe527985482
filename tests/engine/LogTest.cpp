// The engine log: its format and handles, the time stamp, and the folders the
// engine writes to.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <sys/stat.h>
#include <tuple>

using namespace PavixGames;
using TestSupport::ReadAll;

class LogTest : public EngineFixture {};

TEST_F(LogTest, FormatHandlesAndStamps)
{
    const QString send = Path(QStringLiteral("send.log")), get = Path(QStringLiteral("get.log"));
    EXPECT_EQ(OpenLog(QString(), false), 0) << "an empty path takes no handle";
    EXPECT_EQ(OpenLog(send, false), 1);
    EXPECT_EQ(OpenLog(get, false), 2);
    WriteLog(1, QStringLiteral("abc"), true);
    WriteLog(2, QStringLiteral("in"), false);
    WriteLog(1, QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e"), false);
    for (int bad : {0, -1, 3})
        WriteLog(bad, QStringLiteral("stray"), true);
    CloseLog(1);
    WriteLog(1, QStringLiteral("after close"), false);
    // An opening and a closing block; lines stamped or not, in UTF-8, each ending in CR LF.
    const QString stamp = QStringLiteral("[1-9][0-9]?-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-"
                                         "[0-9]{4}, [0-2][0-9]:[0-5][0-9]:[0-5][0-9] \\.\\.\\. ");
    const QRegularExpression format(QStringLiteral("^\r\n====================\r\n%1Log Opened\r\n\r\n%1abc\r\n"
                                                   "Gr\u00fc\u00dfe\r\n\r\n%1Log Closed\r\n-{20}\r\n\r\n$").arg(stamp));
    EXPECT_TRUE(format.match(QString::fromUtf8(ReadAll(send))).hasMatch()) << ReadAll(send).toStdString();
    EXPECT_TRUE(ReadAll(get).endsWith("\r\n\r\nin\r\n"));
    // Handles are never reused; appending keeps the old content, truncating drops it.
    const QByteArray closed = ReadAll(send);
    EXPECT_EQ(OpenLog(send, true), 3);
    EXPECT_TRUE(ReadAll(send).startsWith(closed) && ReadAll(send).count("\r\n") == 14);
    OpenLog(send, false);
    EXPECT_EQ(ReadAll(send).count("\r\n"), 4);
    // A log that cannot be written is skipped silently.
    const QString lost = Path(QStringLiteral("missing/x.log"));
    WriteLog(OpenLog(lost, false), QStringLiteral("lost"), true);
    EXPECT_FALSE(QFile::exists(lost));
    // Stamps have English months and padded times whatever the locale.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TimeStamp(QDateTime(QDate(2026, 3, 5), QTime(9, 4, 7))), QStringLiteral("5-Mar-2026, 09:04:07"));
    QLocale::setDefault(saved);
}

// test_main points XDG_CONFIG_HOME and XDG_DATA_HOME into a folder of the run.
TEST_F(LogTest, WritesStayInAWritableProgramFolderAndGoToTheUserFoldersOtherwise)
{
    StartEngine(0); // no log at level 0
    StopEngine();
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
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
        EXPECT_EQ(std::pair(ConfigPath(), DataPath()), std::pair(wantConfig, wantData));
        EXPECT_TRUE(QDir(wantConfig).exists());
        EXPECT_TRUE(ReadAll(wantData + QStringLiteral("engine.log")).contains("Engine Shutdown"));
    }
    EXPECT_EQ(QDir(app).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("engine.log")})
        << "the probe is removed again";
}
