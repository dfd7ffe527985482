// Saved games through the window: files, folders and disks that fail without
// costing the player anything.
#include "game/Drawing.h"
#include "game/Screen.h"
#include "game/SaveGame.h"
#include "logic/Settings.h"
#include "game/frmMain.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

using namespace Turrion;
using namespace TestSupport;

namespace {

// While it lives, no file of the process can grow beyond `bytes`: writes
// past that fail as they would on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small{bytes, old.rlim_max};
        ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); std::signal(SIGXFSZ, handler); }
    void (*handler)(int);
    rlimit old{};
    bool ok = false;
};

// A running game on the screen, as after a few moves of Red's, named
// game.trs and not saved yet.
class SaveGameTest : public MessageGameTest {
protected:
    void SetUp() override
    {
        MessageGameTest::SetUp();
        StartNewGame(S());
        StartTurn(S(), Empty);
        Put(2, 2, Blue, Builder), Put(5, 3, Red, CannonFired), Put(6, 0, Red, Builder);
        S().CurrentPlayer = Red, S().TurnNumber = 17, S().MovesLeft = 5, S().FreshTurn = false;
        S().CursorCol = 6, S().CursorRow = 0; // the Builder that just moved
        S().GameFileName = Path("game.trs");
        RedrawAll();
        form->mnuTurnEndTurn->setEnabled(true);
        before = S();
    }
    // One message naming `path` (and `why`), and nothing of the game changed.
    void ExpectRefused(const QString& path, const char* why = "")
    {
        ASSERT_EQ(messages.size(), 1u) << path.toStdString();
        EXPECT_TRUE(messages[0].contains(path) && messages[0].contains(why)) << messages[0].toStdString();
        EXPECT_EQ(SerializeGame(S()), SerializeGame(before)) << "board, turn, moves and player";
        EXPECT_EQ(std::tuple(S().GameState, S().CursorCol, S().CursorRow, S().GameFileName, S().NetGame),
                  std::tuple(before.GameState, before.CursorCol, before.CursorRow, before.GameFileName, before.NetGame));
        messages.clear();
    }
    State before;
};
using FileBadInput = SaveGameTest;

} // namespace

TEST_F(SaveGameTest, MalformedFilesAreRefusedAndChangeNothing)
{
    const QImage screen = Screen().copy();
    // A file that opens but whose first read fails (the process's memory at
    // address 0 is never mapped); an even length and a finished game without
    // a fallen King (the parser's test and the load fuzzer's corpus hold
    // every kind); a file without permission.
    ASSERT_TRUE(QFile::link("/proc/self/mem", Path("memory.trs")));
    ASSERT_TRUE(WriteAll(Path("even.trs"), Bytes({1, 1, 13, 10, 11, 11})));
    ASSERT_TRUE(WriteAll(Path("won.trs"), Bytes({3, 4, 0, 25, 11})));
    ASSERT_TRUE(WriteAll(Path("locked.trs"), Bytes({1, 1, 13})));
    ASSERT_TRUE(QFile::setPermissions(Path("locked.trs"), QFileDevice::Permissions()));
    std::vector<std::pair<const char*, const char*>> files = {
        {"memory.trs", "cannot be read"}, {"even.trs", "even"}, {"won.trs", "no fallen King"}};
    if (geteuid() != 0) // only for a user whom permissions bind
        files.push_back({"locked.trs", "cannot be opened"});
    for (const auto& [name, why] : files) {
        EXPECT_FALSE(LoadGameFrom(Path(name)));
        ExpectRefused(Path(name), why);
    }
    EXPECT_TRUE(Screen() == screen);
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());

    // No such file, or no name: silently nothing.
    EXPECT_FALSE(LoadGame());
    S().GameFileName.clear();
    EXPECT_FALSE(LoadGame());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveGameTest, FailedSavesKeepTheOldFileAndTheGame)
{
    const QString path = S().GameFileName;
    ASSERT_TRUE(SaveGame());
    const QByteArray old = ReadAll(path);

    // A turn beyond the byte: refused before any file is touched.
    before.TurnNumber = S().TurnNumber = 256;
    EXPECT_FALSE(SaveGame());
    ExpectRefused(path, "256");

    // A folder that cannot exist (its parent is a plain file), and a folder
    // in the way of the file: both are kept as they are, and so is the name.
    before.TurnNumber = S().TurnNumber = 4;
    ASSERT_TRUE(WriteAll(Path("plain"), "x"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("taken.trs"));
    for (const QString& target : {Path("plain/game.trs"), Path("taken.trs")}) {
        EXPECT_FALSE(SaveGameTo(target));
        ExpectRefused(target);
    }
    EXPECT_EQ(ReadAll(Path("plain")), "x");
    EXPECT_TRUE(QFileInfo(Path("taken.trs")).isDir());
    EXPECT_EQ(ReadAll(path), old);
}

TEST_F(FileBadInput, AFullDiskCostsNeitherTheOldFilesNorTheGame)
{
    const QString game = S().GameFileName, settings = Path("settings.dat");
    ASSERT_TRUE(SaveGame());
    ASSERT_TRUE(WriteSettings(settings, TheScreen()));
    const QByteArray oldGame = ReadAll(game), oldSettings = ReadAll(settings);
    TheScreen().MainLeft = 1234;
    {
        FileSizeLimit full(8);
        ASSERT_TRUE(full.ok);
        EXPECT_FALSE(SaveGame());
        EXPECT_FALSE(WriteSettings(settings, TheScreen()));
        PavixGames::WriteLog(1, "a line that does not fit", true);
    }
    ExpectRefused(game, "kept");
    EXPECT_EQ(ReadAll(game), oldGame);
    EXPECT_EQ(ReadAll(settings), oldSettings);
    EXPECT_EQ(QDir(dir_.path()).entryList({"game*", "settings*"}, QDir::Files | QDir::Hidden),
              (QStringList{"game.trs", "settings.dat"})) << "no temporary file is left behind";
    ASSERT_TRUE(SaveGame()) << "with room again everything works";
}
