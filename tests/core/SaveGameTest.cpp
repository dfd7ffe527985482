// Saved games: the exact file bytes, round trips through a file, and files
// and saves that must be refused without costing the player anything.
#include "core/Drawing.h"
#include "core/GameFlow.h"
#include "core/SaveGame.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <vector>

using namespace Turrion;

using TestSupport::Bytes;
using TestSupport::ExpectSameGame;
using TestSupport::ReadAll;

namespace {

std::vector<int> Values(const QByteArray& bytes)
{
    return std::vector<int>(reinterpret_cast<const unsigned char*>(bytes.cbegin()),
                            reinterpret_cast<const unsigned char*>(bytes.cend()));
}

// A new game after the turn report: Blue to move, turn 1, six moves. On the
// live state it keeps the window and picture handles.
State& NewGame(State& s)
{
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    s.FreshTurn = true;
    s.RecruitKind = 0;
    s.GameState = s.ResumeState = PhaseMove;
    PutCursorOnKing(s, Blue);
    return s;
}
State NewGameState()
{
    State s;
    return NewGame(s);
}

const std::vector<int> NewGameFile = {1,  1,  13, 10, 11, 11, 14, 17, 24, 18, 21,
                                      50, 12, 51, 14, 57, 24, 58, 22};

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

// Malformed saves, each refused by the parser and by the loader.
const struct {
    const char* name;
    QByteArray bytes;
} kBadFiles[] = {
    {"empty", QByteArray()},
    {"short", Bytes({1, 1})},
    {"even", Bytes({1, 1, 13, 10, 11, 11})},
    {"status0", Bytes({0, 1, 13, 10, 11})},
    {"status5", Bytes({5, 1, 13, 10, 11})},
    {"row7", Bytes({1, 1, 13, 10, 11, 75, 21})},
    {"col9", Bytes({1, 1, 13, 10, 11, 29, 21})},
    {"owner3", Bytes({1, 1, 13, 10, 31})},
    {"piece8", Bytes({1, 1, 13, 10, 11, 18, 28})},
    {"toolong", QByteArray(MaxSaveFileBytes + 1, char(1))},
};

} // namespace

TEST(SaveGameFormat, WritesTheDocumentedBytes)
{
    State s = NewGameState();
    EXPECT_EQ(Values(SerializeGame(s)), NewGameFile);
    // The turn report not yet shown: the turn is saved as fresh whatever the
    // flag says, so that a reload shows the report and its recruit.
    s.GameState = s.ResumeState = PhaseTurnStart;
    s.FreshTurn = false;
    EXPECT_EQ(Values(SerializeGame(s)), NewGameFile);

    // One move spent, five left: an even moves byte; behind the About
    // picture a running game is saved as running.
    s = NewGameState();
    SpendMove(s);
    s.MovesLeft = 5;
    s.GameState = PhaseOverlay;
    EXPECT_EQ(Values(SerializeGame(s)).at(2), 10);
    EXPECT_EQ(Values(SerializeGame(s)).at(0), 1);

    // An empty board gives the three bytes alone; owner-only and piece-only
    // cells are still written.
    State empty;
    empty.CurrentPlayer = Red;
    empty.TurnNumber = 200;
    empty.MovesLeft = 0;
    empty.GameState = empty.ResumeState = PhaseMove;
    EXPECT_EQ(Values(SerializeGame(empty)), (std::vector<int>{2, 200, 0}));
    empty.Owner[8][6] = Red;
    empty.Board[0][0] = Wall;
    EXPECT_EQ(Values(SerializeGame(empty)), (std::vector<int>{2, 200, 0, 0, 4, 68, 20}));
}

TEST(SaveGameFormat, FinishedGameStoresTheFallenKingAndTheWinner)
{
    // Blue's shot came down on a King at (kingCol, 1); the blink shows Fire.
    for (const auto& [kingCol, status, at] : {std::tuple{8, 3, 9}, std::tuple{0, 4, 3}}) {
        State s = NewGameState();
        s.Board[kingCol][1] = Fire;
        s.Owner[kingCol][1] = Blue;
        s.CursorCol = kingCol;
        s.CursorRow = 1;
        s.GameState = PhaseOverlay; // behind the About picture: still finished
        s.ResumeState = PhaseGameOver;
        s.MovesLeft = 2;
        s.FreshTurn = false;
        const std::vector<int> v = Values(SerializeGame(s));
        ASSERT_EQ(v.size(), NewGameFile.size());
        EXPECT_EQ(v[0], status) << "3: Blue won, 4: Red won";
        EXPECT_EQ(v[2], 4);
        EXPECT_EQ(v[at + 1], kingCol == 8 ? 21 : 11) << "the King is stored, not the Fire";
        EXPECT_EQ(s.Board[kingCol][1], Fire) << "saving does not touch the running game";
    }
}

TEST(SaveGameFormat, RefusesGamesThatDoNotFitTheBytes)
{
    State s = NewGameState();
    QString why;
    s.TurnNumber = 255;
    s.MovesLeft = 127;
    const std::vector<int> highest = Values(SerializeGame(s));
    EXPECT_EQ(std::pair(highest.at(1), highest.at(2)), std::pair(255, 255));
    for (int turn : {256, -1}) {
        s.TurnNumber = turn;
        EXPECT_TRUE(SerializeGame(s, &why).isEmpty()) << turn;
        EXPECT_TRUE(why.contains(QString::number(turn))) << why.toStdString();
    }
    s.TurnNumber = 1;
    s.MovesLeft = 128;
    EXPECT_TRUE(SerializeGame(s).isEmpty());
    s.MovesLeft = 3;
    s.Board[3][3] = 9; // not a piece: the file could not be read back
    EXPECT_TRUE(SerializeGame(s).isEmpty());
    State none; // no game started yet
    none.GameState = PhaseOverlay;
    EXPECT_TRUE(SerializeGame(none).isEmpty());
}

TEST(SaveGameFormat, ParserChecksEveryByte)
{
    SavedGame g;
    ASSERT_TRUE(ParseGame(SerializeGame(NewGameState()), g).isEmpty());
    EXPECT_EQ(std::tuple(g.Status, g.Turn, g.MovesByte), std::tuple(1, 1, 13));
    EXPECT_EQ(g.Board[0][5], Wizard);
    EXPECT_EQ(g.Owner[8][5], Red);
    // The highest legal values: row 6, column 8, owner 2, piece 7 (and the
    // fallen King a finished game needs).
    ASSERT_TRUE(ParseGame(Bytes({4, 255, 255, 68, 27, 0, 11}), g).isEmpty());
    EXPECT_EQ(g.Board[8][6], CannonFired);
    EXPECT_EQ(g.Owner[8][6], Red);
    // The same cell twice: the later record wins.
    ASSERT_TRUE(ParseGame(Bytes({1, 1, 1, 33, 14, 33, 26}), g).isEmpty());
    EXPECT_EQ(g.Board[3][3], CannonReady);
    EXPECT_EQ(g.Owner[3][3], Red);

    for (const auto& f : kBadFiles) {
        SavedGame out;
        out.Status = 77;
        EXPECT_FALSE(ParseGame(f.bytes, out).isEmpty()) << f.name;
        EXPECT_EQ(out.Status, 77) << f.name << ": a refused file fills nothing";
    }
}

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
