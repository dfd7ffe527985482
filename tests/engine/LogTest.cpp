// The engine log: its format and handles, the time stamp, and the folders the
// engine writes to.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Root writes in any folder, so a read-only folder is tried as "nobody";
// false when that is not possible here.
bool DropToNobody()
{
    return geteuid() != 0 || seteuid(65534) == 0;
}

bool RestoreUser()
{
    return getuid() != 0 || seteuid(0) == 0;
}

QStringList Files(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    return found;
}

} // namespace

// Where settings and logs go: beside the program only when its folder can be
// written and the install step did not mark it as installed; the user's XDG
// folders otherwise, even for root. Each row runs in fresh folders.
TEST_F(LogTest, WritesStayInAWritableProgramFolderUnlessInstalledAndGoToTheUserFoldersOtherwise)
{
    const struct {
        bool marker, readOnly, beside;
    } rows[] = {
        {false, false, true},  // the build tree, a copied folder
        {true, false, false},  // an installed copy run by root, or a user who owns the prefix
        {false, true, false},  // a copy in a shared read-only folder
        {true, true, false},   // an installed copy run by a user
    };
    QStringList leftOut;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "marker " << row.marker << ", read-only " << row.readOnly);
        QTemporaryDir app, user;
        ASSERT_TRUE(app.isValid() && user.isValid());
        const QString appDir = app.path() + '/', name = QCoreApplication::applicationName() + '/';
        const QString config = user.filePath(QStringLiteral("config")), data = user.filePath(QStringLiteral("data"));
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config)), qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        const auto restore = qScopeGuard([&] {
            if (!RestoreUser())
                ADD_FAILURE() << "could not become root again";
            chmod(QFile::encodeName(app.path()), 0700);
            qputenv("XDG_CONFIG_HOME", oldConfig), qputenv("XDG_DATA_HOME", oldData);
        });
        if (row.marker) {
            ASSERT_TRUE(QFile(appDir + kInstalledMarker).open(QIODevice::WriteOnly));
        }
        // "nobody" must reach the user folders, and only read the program's.
        chmod(QFile::encodeName(user.path()), 0777);
        chmod(QFile::encodeName(app.path()), row.readOnly ? 0555 : 0700);
        if (row.readOnly && (!DropToNobody() || QFile(appDir + "probe").open(QIODevice::WriteOnly))) {
            leftOut << QStringLiteral("marker %1, read-only").arg(row.marker);
            continue;
        }
        SetAppPathOverride(app.path());
        StartEngine(1);
        StopEngine();
        ASSERT_TRUE(RestoreUser());
        const QString wantConfig = row.beside ? appDir : config + '/' + name;
        const QString wantData = row.beside ? appDir : data + '/' + name;
        EXPECT_EQ(std::pair(ConfigPath(), DataPath()), std::pair(wantConfig, wantData));
        EXPECT_TRUE(QDir(wantConfig).exists());
        EXPECT_TRUE(ReadAll(wantData + QStringLiteral("engine.log")).contains("Engine Shutdown"));
        // Nothing else anywhere: the write probe is removed again.
        QStringList inApp = row.marker ? QStringList{kInstalledMarker} : QStringList{};
        if (row.beside)
            inApp << QStringLiteral("engine.log");
        EXPECT_EQ(Files(app.path()), inApp);
        EXPECT_EQ(Files(user.path()), row.beside ? QStringList{} : QStringList{"data/" + name + "engine.log"});
    }
    if (!leftOut.isEmpty())
        GTEST_SKIP() << "not tried, no user here without write access to a read-only folder: "
                     << leftOut.join(QStringLiteral("; ")).toStdString();
}
