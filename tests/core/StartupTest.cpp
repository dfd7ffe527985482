// Start-up and shutdown as the files on disk show them.
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/PavixGames.h"
#include "tests/TestSupport.h"

#include <QRegularExpression>

using namespace Turrion;

namespace {

// The file's lines without their CR LF ends and with "<T>" for the stamps.
QStringList Lines(const QString& path)
{
    const QByteArray data = TestSupport::ReadAll(path);
    EXPECT_TRUE(data.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(data).split("\r\n");
    lines.removeLast(); // after the final CR LF
    static const QRegularExpression stamp(
        "^([1-9]|[12][0-9]|3[01])-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-[0-9]{4}, "
        "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    for (QString& line : lines)
        line.replace(stamp, "<T>");
    return lines;
}

class Startup : public TestSupport::GameTest {
protected:
    Startup() { autoStart = false; }
};

} // namespace

TEST_F(Startup, TheLogAndTheWindowPlaceAreWrittenAndASecondStartReplacesTheLog)
{
    Start();
    const QStringList opening = {
        "",
        "====================",
        "<T> ... Log Opened",
        "",
        "<T> ... > PavixGames General Engine Started <",
        "<T> ...      Log Level = 1",
        "",
        "<T> ... >> New Viewport Initialized: picViewPort <<",
        "<T> ...      Backbuffer set to 360x280",
    };
    EXPECT_EQ(Lines(Path("engine.log")), opening);

    form->close();
    EXPECT_TRUE(S().QuitFlag);
    EXPECT_EQ(Lines(Path("engine.log")), (opening + QStringList{
        "<T> ... >> PavixGDI Graphics Engine Shutdown <<",
        "",
        "<T> ... > PavixGames General Engine Shutdown <",
        "",
        "<T> ... Log Closed",
        "--------------------",
        "",
    }));
    const QList<QByteArray> lines = TestSupport::ReadAll(Path("settings.dat")).split('\n');
    ASSERT_EQ(lines.size(), 7); // six lines and nothing after the last CR LF
    static const QRegularExpression format("^[ -][0-9]+ \r$");
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(format.match(QString::fromLatin1(lines[i])).hasMatch()) << lines[i].toStdString();
    const int left = lines[0].trimmed().toInt();
    const int top = lines[1].trimmed().toInt();
    EXPECT_EQ(left % frmMain::TwipsPerPixel, 0) << "twips of whole pixels";
    EXPECT_EQ(top % frmMain::TwipsPerPixel, 0);
    delete form;
    form = nullptr;

    // The second run starts where the first one was closed, with a new log.
    TestSupport::ResetAll(dir_.path());
    Start();
    EXPECT_EQ(S().MainLeft, left);
    EXPECT_EQ(S().MainTop, top);
    EXPECT_EQ(Lines(Path("engine.log")), opening);
}

TEST_F(Startup, AnUnwritableProgramFolderDoesNotStopTheGame)
{
    // A folder that is really a file: neither the log nor the settings can
    // be written there.
    ASSERT_TRUE(TestSupport::WriteAll(Path("not-a-folder"), ""));
    TestSupport::ResetAll(Path("not-a-folder"));
    Start();
    EXPECT_EQ(S().GameState, PhaseOverlay);
    form->close();
    EXPECT_TRUE(S().QuitFlag);
}

TEST_F(Startup, CommandLineNamesOnlyExistingTrsFiles)
{
    ASSERT_TRUE(TestSupport::WriteAll(Path("my game.trs"), "\x01\x01\x0d"));
    ASSERT_TRUE(TestSupport::WriteAll(Path("other.TRS"), "\x01\x01\x0d"));

    EXPECT_EQ(GameFileFromCommandLine("\"" + Path("my game.trs") + "\""), Path("my game.trs"));
    EXPECT_EQ(GameFileFromCommandLine(Path("other.TRS")), QString()) << "the extension is case-sensitive";
    EXPECT_EQ(GameFileFromCommandLine(Path("missing.trs")), QString());
    EXPECT_EQ(GameFileFromCommandLine(dir_.path() + "/.trs/"), QString());
    EXPECT_EQ(GameFileFromCommandLine(""), QString());
    EXPECT_EQ(JoinCommandLine({"turrion", "a", "b.trs"}), "a b.trs");
    EXPECT_EQ(JoinCommandLine({"turrion"}), "");

    // A start with an upper-case save named keeps the title picture.
    Start("\"" + Path("other.TRS") + "\"");
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_FALSE(form->mnuGameSave->isEnabled());
}
