// Saved games: the exact file bytes, round trips through a file, and files
// and saves that must be refused without costing the player anything.
#include "core/Drawing.h"
#include "core/GameFlow.h"
#include "core/SaveGame.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "tests/TestSupport.h"
#include "tests/core/SaveFiles.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <vector>

using namespace Turrion;

using namespace SaveFiles;
using TestSupport::Bytes;
using TestSupport::ExpectSameGame;
using TestSupport::ReadAll;

namespace {

class SaveGameTest : public TestSupport::MessageGameTest {
protected:
    // A running game on the screen, as after a few moves of Red's.
    void RunningGame()
    {
        State& s = S();
        NewGame(S());
        Put(2, 2, Blue, Builder);
        Put(3, 6, Blue, CannonReady);
        Put(5, 3, Red, CannonFired);
        Put(6, 0, Red, Builder);
        Put(2, 4, Red, Fire);
        s.CurrentPlayer = Red;
        s.TurnNumber = 17;
        s.MovesLeft = 5;
        s.FreshTurn = false;
        s.CursorCol = 6; // the Builder that just moved
        s.CursorRow = 0;
        s.GameFileName = "somewhere-else.trs";
        RedrawAll();
    }
};

} // namespace

TEST_F(SaveGameTest, RunningAndFreshGamesComeBackFromTheirFiles)
{
    RunningGame();
    State expected = S();
    const QString path = Path("running.trs");
    ASSERT_TRUE(SaveGameTo(path));
    const QByteArray first = ReadAll(path);
    NewGame(S()); // something else is played in the meantime
    form->mnuTurnEndTurn->setEnabled(false);
    form->mnuGameSave->setEnabled(false);

    ASSERT_TRUE(LoadGameFrom(path));
    expected.CursorCol = 8; // the selector goes to the King, not the piece that moved
    expected.CursorRow = 1;
    expected.GameFileName = path;
    ExpectSameGame(S(), expected);
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_TRUE(form->mnuGameSave->isEnabled());
    const QImage shown = Screen().copy(); // board, panel and selector
    RedrawAll();
    EXPECT_TRUE(shown == BackBuffer());
    ASSERT_TRUE(SaveGame());
    EXPECT_EQ(ReadAll(path), first) << "saving again without a change";

    // A fresh turn: the loaded game starts over with the turn report.
    NewGame(S());
    S().CurrentPlayer = Red;
    S().TurnNumber = 3;
    ASSERT_TRUE(SaveGameTo(Path("fresh.trs")));
    NewGame(S());
    ASSERT_TRUE(LoadGameFrom(Path("fresh.trs")));
    EXPECT_EQ(S().ResumeState, PhaseTurnStart);
    EXPECT_TRUE(S().FreshTurn);
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().MovesLeft, 6);
    // No selector before the turn report: board and panel only.
    const QImage freshShown = Screen().copy();
    DrawBoard();
    DrawMovesPanel();
    EXPECT_TRUE(freshShown == BackBuffer());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveGameTest, FinishedGamesReloadWithTheSameResult)
{
    struct Case {
        const char* name;
        int shooter, kingCol, winner;
    };
    for (const Case& k : {Case{"blue-wins", Blue, 8, Blue}, Case{"own-king", Blue, 0, Red},
                          Case{"red-wins", Red, 0, Red}}) {
        SCOPED_TRACE(k.name);
        NewGame(S());
        State& s = S();
        s.CurrentPlayer = k.shooter;
        s.Board[k.kingCol][1] = Fire; // the blink shows the fire just now
        s.Owner[k.kingCol][1] = k.shooter;
        s.CursorCol = k.kingCol;
        s.CursorRow = 1;
        s.GameState = s.ResumeState = PhaseGameOver;
        const QString path = Path(QString(k.name) + ".trs");
        ASSERT_TRUE(SaveGameTo(path));

        NewGame(S()); // load it over a running game
        form->mnuTurnEndTurn->setEnabled(true);
        ASSERT_TRUE(LoadGameFrom(path));
        const int loser = k.kingCol < 4 ? Blue : Red;
        EXPECT_EQ(s.GameState, PhaseGameOver);
        EXPECT_EQ(s.CurrentPlayer, k.winner);
        EXPECT_EQ(QPoint(s.CursorCol, s.CursorRow), QPoint(k.kingCol, 1)) << "the King that fell";
        EXPECT_EQ(s.Board[k.kingCol][1], King);
        EXPECT_EQ(s.Owner[k.kingCol][1], loser);
        EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());

        // The display blinks that King; the winner's King stands.
        s.LastBlinkTime = -10;
        s.BlinkToggle = false;
        GameOverStep();
        EXPECT_EQ(s.Board[k.kingCol][1], Fire);
        EXPECT_EQ(s.Board[8 - k.kingCol][1], King);
    }
}

TEST_F(SaveGameTest, MalformedFilesAreRefusedAndChangeNothing)
{
    RunningGame();
    form->mnuTurnEndTurn->setEnabled(true);
    const State before = S();
    const QImage screenBefore = Screen().copy();
    auto refusedOnce = [&](const QString& path) {
        messages.clear();
        EXPECT_FALSE(LoadGameFrom(path));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(path)) << messages[0].toStdString();
        ExpectSameGame(S(), before);
        EXPECT_TRUE(Screen() == screenBefore);
        EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());
    };
    for (const auto& f : kBadFiles) {
        SCOPED_TRACE(f.name);
        const QString path = Path(QString(f.name) + ".trs");
        ASSERT_TRUE(TestSupport::WriteAll(path, f.bytes));
        refusedOnce(path);
    }
    // Not a file: a folder and a pipe (reading a pipe would never end).
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.trs"));
    ASSERT_EQ(::mkfifo(Path("pipe.trs").toLocal8Bit().constData(), 0600), 0);
    refusedOnce(Path("folder.trs"));
    refusedOnce(Path("pipe.trs"));

    // No name, or no such file: silently nothing.
    messages.clear();
    S().GameFileName.clear();
    EXPECT_FALSE(LoadGame());
    S().GameFileName = before.GameFileName;
    EXPECT_FALSE(LoadGameFrom(Path("missing.trs")));
    EXPECT_TRUE(messages.empty());
    ExpectSameGame(S(), before);
}

TEST_F(SaveGameTest, FailedSavesKeepTheOldFileAndTheGame)
{
    RunningGame();
    const QString path = Path("game.trs");
    ASSERT_TRUE(SaveGameTo(path));
    const QByteArray old = ReadAll(path);

    // A turn beyond the byte: refused before any file is touched.
    S().TurnNumber = 256;
    const State before = S();
    EXPECT_FALSE(SaveGame());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("256") && messages[0].contains(path));
    ExpectSameGame(S(), before);

    // A folder that cannot exist (its parent is a plain file), and a folder
    // in the way of the file: both are kept as they are.
    S().TurnNumber = 4;
    ASSERT_TRUE(TestSupport::WriteAll(Path("plain"), "x"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("taken.trs"));
    for (const QString& target : {Path("plain/game.trs"), Path("taken.trs")}) {
        messages.clear();
        EXPECT_FALSE(SaveGameTo(target));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(target));
        EXPECT_EQ(S().GameFileName, path) << "the name in use stays";
    }
    EXPECT_EQ(ReadAll(Path("plain")), "x");
    EXPECT_TRUE(QFileInfo(Path("taken.trs")).isDir());
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir_.path()).entryList({"game*", ".game*"}, QDir::Files | QDir::Hidden),
              QStringList{"game.trs"})
        << "no temporary file is left behind";

    // A save that works replaces the old file completely.
    ASSERT_TRUE(SaveGame());
    EXPECT_EQ(ReadAll(path).size(), old.size());
    EXPECT_EQ(ReadAll(path).at(1), 4);
}

TEST_F(SaveGameTest, NetPlayLoadRules)
{
    RunningGame();
    const QString path = Path("net.trs");
    ASSERT_TRUE(SaveGameTo(path));

    // Either side of a connection plays a loaded game as the NetPlay game;
    // only the host may save it.
    for (const auto& [net, colour, canSave] :
         {std::tuple{NetConnected, Red, false}, std::tuple{NetHostWithPlayer, Blue, true}}) {
        form->mnuGameSave->setEnabled(false);
        S().NetState = net;
        S().NetColor = colour;
        S().NetGame = false;
        ASSERT_TRUE(LoadGameFrom(path));
        EXPECT_TRUE(S().NetGame);
        EXPECT_EQ(S().NetGameColor, colour);
        EXPECT_EQ(form->mnuGameSave->isEnabled(), canSave);
    }

    // A file holding the byte 255 cannot travel: neither sent nor loaded.
    const QString turn255 = Path("turn255.trs");
    ASSERT_TRUE(TestSupport::WriteAll(turn255, Bytes({1, 255, 13, 10, 11, 18, 21})));
    const State before = S();
    messages.clear();
    EXPECT_FALSE(LoadGameFrom(turn255));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(turn255));
    ExpectSameGame(S(), before);

    // Without a connection the same file loads, and the game is local.
    S().NetState = NetNone;
    ASSERT_TRUE(LoadGameFrom(turn255));
    EXPECT_EQ(S().TurnNumber, 255);
    EXPECT_FALSE(S().NetGame);
}
