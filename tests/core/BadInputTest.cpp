// Files that fail in ways a test folder does not fail by itself.
#include "core/SaveGame.h"
#include "core/Settings.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "engine/PavixGames.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace Turrion;
using TestSupport::ExpectSameGame;
using TestSupport::ReadAll;
using TestSupport::WriteAll;

namespace {

// While it lives, no file of the process can grow beyond `bytes`: writes
// past that fail as they would on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_;
        small.rlim_cur = bytes;
        ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok = false;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

class FileBadInput : public TestSupport::MessageGameTest {
protected:
    void SetUp() override
    {
        MessageGameTest::SetUp();
        State& s = S();
        SetupBoard(s);
        Put(2, 2, Blue, Builder);
        Put(6, 4, Red, CannonReady);
        s.CurrentPlayer = Red;
        s.TurnNumber = 9;
        s.MovesLeft = 4;
        s.FreshTurn = false;
        s.GameState = s.ResumeState = PhaseMove;
        PutCursorOnKing(s, Red);
    }
};

} // namespace

TEST_F(FileBadInput, AFullDiskCostsNeitherTheOldFilesNorTheGame)
{
    const QString game = Path("game.trs");
    ASSERT_TRUE(SaveGameTo(game));
    const QByteArray oldGame = ReadAll(game);
    const QString settings = Path("settings.dat");
    S().MainLeft = 1234;
    ASSERT_TRUE(WriteSettings(settings, S()));
    const QByteArray oldSettings = ReadAll(settings);
    const State before = S();

    bool saved = true, settingsWritten = true;
    {
        FileSizeLimit full(8);
        ASSERT_TRUE(full.ok);
        saved = SaveGame();
        S().MainLeft = 99;
        settingsWritten = WriteSettings(settings, S());
        PavixGames::WriteLog(1, "a line that does not fit", true);
    }
    S().MainLeft = before.MainLeft;

    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(game)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("kept")) << messages[0].toStdString();
    EXPECT_EQ(ReadAll(game), oldGame);
    ExpectSameGame(S(), before);
    EXPECT_FALSE(settingsWritten);
    EXPECT_EQ(ReadAll(settings), oldSettings);
    EXPECT_EQ(QDir(dir_.path()).entryList({"game*", "settings*"}, QDir::Files | QDir::Hidden),
              (QStringList{"game.trs", "settings.dat"}));

    ASSERT_TRUE(SaveGame()) << "with room again everything works";
}

TEST_F(FileBadInput, AFileThatCannotBeReadIsReportedAndChangesNothing)
{
    const State before = S();

    // It opens, but the first read fails (the process's own memory at
    // address 0 is never mapped).
    const QString unreadable = Path("memory.trs");
    ASSERT_TRUE(QFile::link("/proc/self/mem", unreadable));
    EXPECT_FALSE(LoadGameFrom(unreadable));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(unreadable));
    EXPECT_TRUE(messages[0].contains("cannot be read")) << messages[0].toStdString();
    ExpectSameGame(S(), before);

    // No permission (only meaningful for a user whom permissions bind).
    if (geteuid() != 0) {
        const QString locked = Path("locked.trs");
        ASSERT_TRUE(WriteAll(locked, QByteArray("\x01\x01\x0D", 3)));
        ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
        messages.clear();
        EXPECT_FALSE(LoadGameFrom(locked));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains("cannot be opened")) << messages[0].toStdString();
        ExpectSameGame(S(), before);
    }
}

TEST_F(FileBadInput, SettingsThatAreAFolderOrFarTooLongAreHarmless)
{
    // A folder in place of settings.dat: nothing is read, nothing written.
    const QString folder = Path("settings.dat");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("settings.dat"));
    State s;
    s.MainLeft = 77;
    ReadSettings(folder, s);
    EXPECT_EQ(s.MainLeft, 77);
    EXPECT_FALSE(WriteSettings(folder, s));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // Six good lines followed by a megabyte of rubbish: the lines count, the
    // rest is never read.
    const QString longFile = Path("long.dat");
    ASSERT_TRUE(WriteAll(longFile, " 1 \r\n 2 \r\n 3 \r\n 4 \r\n-5 \r\n 6 \r\n" + QByteArray(1 << 20, '9')));
    State t;
    ReadSettings(longFile, t);
    EXPECT_EQ(t.MainLeft, 1);
    EXPECT_EQ(t.ChatLeft, -5);
    EXPECT_EQ(t.ChatTop, 6);

    // One endless number does not fit, so nothing is taken from it.
    ASSERT_TRUE(WriteAll(longFile, QByteArray(1 << 20, '7')));
    ReadSettings(longFile, s);
    EXPECT_EQ(s.MainLeft, 77);
}

// Found by fuzzing: such a file loaded, and the game-over display then put a
// King wherever the previous game had left the cursor.
TEST_F(FileBadInput, AFinishedGameWithoutAFallenKingIsRefused)
{
    // Blue has won, but the only King is Blue's own.
    const QString path = Path("no_fallen_king.trs");
    ASSERT_TRUE(WriteAll(path, QByteArray("\x03\x04\x00\x25\x0b", 5)));
    const State before = S();
    EXPECT_FALSE(LoadGameFrom(path));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("no fallen King")) << messages[0].toStdString();
    ExpectSameGame(S(), before);

    // With the fallen Red King beside it, the same file loads and marks it.
    ASSERT_TRUE(WriteAll(path, QByteArray("\x03\x04\x00\x25\x0b\x12\x15", 7)));
    ASSERT_TRUE(LoadGameFrom(path));
    EXPECT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(8, 1));
}
