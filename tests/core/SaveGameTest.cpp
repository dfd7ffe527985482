// Saved games: the exact file bytes, round trips through a file, and files
// and saves that must be refused without costing the player anything.
#include "core/Drawing.h"
#include "core/GameFlow.h"
#include "core/SaveGame.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
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
    std::vector<int> out;
    for (char c : bytes)
        out.push_back(static_cast<unsigned char>(c));
    return out;
}

// A new game after the turn report: Blue to move, turn 1, six moves.
State NewGameState()
{
    State s;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    s.FreshTurn = true;
    s.GameState = s.ResumeState = PhaseMove;
    PutCursorOnKing(s, Blue);
    return s;
}

// Puts a game into the live state, keeping its window and picture handles.
void Adopt(const State& g)
{
    State& s = Game();
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            s.Board[c][r] = g.Board[c][r];
            s.Owner[c][r] = g.Owner[c][r];
        }
    s.CurrentPlayer = g.CurrentPlayer;
    s.TurnNumber = g.TurnNumber;
    s.MovesLeft = g.MovesLeft;
    s.FreshTurn = g.FreshTurn;
    s.RecruitKind = g.RecruitKind;
    s.GameState = g.GameState;
    s.ResumeState = g.ResumeState;
    s.CursorCol = g.CursorCol;
    s.CursorRow = g.CursorRow;
}

const std::vector<int> NewGameFile = {1,  1,  13, 10, 11, 11, 14, 17, 24, 18, 21,
                                      50, 12, 51, 14, 57, 24, 58, 22};

class SaveGameTest : public TestSupport::MessageGameTest {
protected:
    // A running game on the screen, as after a few moves of Red's.
    void RunningGame()
    {
        State& s = S();
        Adopt(NewGameState());
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
    {"row25", Bytes({1, 1, 13, 255, 11})},
    {"col9", Bytes({1, 1, 13, 10, 11, 29, 21})},
    {"owner3", Bytes({1, 1, 13, 10, 31})},
    {"piece8", Bytes({1, 1, 13, 10, 11, 18, 28})},
    {"piece9", Bytes({1, 1, 13, 10, 11, 10, 9})},
    {"toolong", QByteArray(MaxSaveFileBytes + 1, char(1))},
};

} // namespace

TEST(SaveGameFormat, WritesTheDocumentedBytes)
{
    State s = NewGameState();
    EXPECT_EQ(Values(SerializeGame(s)), NewGameFile);

    // The turn report not yet shown: the turn is fresh whatever the flag
    // says, so that a reload shows the report and its recruit.
    s.GameState = s.ResumeState = PhaseTurnStart;
    s.FreshTurn = false;
    EXPECT_EQ(Values(SerializeGame(s)), NewGameFile);

    // One move spent, five left: an even moves byte.
    s = NewGameState();
    SpendMove(s);
    s.MovesLeft = 5;
    EXPECT_EQ(Values(SerializeGame(s)).at(2), 10);

    // Behind the About picture a running game is saved as running.
    s.GameState = PhaseOverlay;
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
    for (const auto& [kingCol, status, kingRecord] :
         {std::tuple{8, 3, std::pair{18, 21}}, std::tuple{0, 4, std::pair{10, 11}}}) {
        State s = NewGameState();
        s.Board[kingCol][1] = Fire;
        s.Owner[kingCol][1] = Blue;
        s.CursorCol = kingCol;
        s.CursorRow = 1;
        s.GameState = s.ResumeState = PhaseGameOver;
        s.MovesLeft = 2;
        s.FreshTurn = false;
        const std::vector<int> v = Values(SerializeGame(s));
        ASSERT_EQ(v.size(), NewGameFile.size());
        EXPECT_EQ(v[0], status) << "3: Blue won, 4: Red won";
        EXPECT_EQ(v[2], 4);
        const int at = kingCol == 8 ? 9 : 3;
        EXPECT_EQ(std::pair(v[at], v[at + 1]), kingRecord) << "the King is stored, not the Fire";
        EXPECT_EQ(s.Board[kingCol][1], Fire) << "saving does not touch the running game";
        s.GameState = PhaseOverlay; // behind the About picture: still finished
        EXPECT_EQ(Values(SerializeGame(s)), v);
    }
}

TEST(SaveGameFormat, RefusesGamesThatDoNotFitTheBytes)
{
    State s = NewGameState();
    QString why;
    s.TurnNumber = 255;
    EXPECT_EQ(Values(SerializeGame(s, &why)).at(1), 255);
    for (int turn : {256, 1000, -1}) {
        s.TurnNumber = turn;
        EXPECT_TRUE(SerializeGame(s, &why).isEmpty()) << turn;
        EXPECT_TRUE(why.contains(QString::number(turn))) << why.toStdString();
    }
    s.TurnNumber = 1;
    s.MovesLeft = 127;
    EXPECT_EQ(Values(SerializeGame(s)).at(2), 255);
    for (int moves : {128, -1}) {
        s.MovesLeft = moves;
        EXPECT_TRUE(SerializeGame(s, &why).isEmpty()) << moves;
    }
    s.MovesLeft = 3;
    s.Board[3][3] = 9; // not a piece: the file could not be read back
    EXPECT_TRUE(SerializeGame(s, &why).isEmpty());

    State none; // no game started yet
    none.GameState = PhaseOverlay;
    EXPECT_TRUE(SerializeGame(none, &why).isEmpty());
}

TEST(SaveGameFormat, ParserChecksEveryByte)
{
    SavedGame g;
    ASSERT_TRUE(ParseGame(SerializeGame(NewGameState()), g).isEmpty());
    EXPECT_EQ(g.Status, 1);
    EXPECT_EQ(g.Turn, 1);
    EXPECT_EQ(g.MovesByte, 13);
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
    EXPECT_TRUE(messages.empty());

    // Something else is played in the meantime.
    Adopt(NewGameState());
    S().GameFileName.clear();
    form->mnuTurnEndTurn->setEnabled(false);
    form->mnuGameSave->setEnabled(false);

    ASSERT_TRUE(LoadGameFrom(path));
    expected.CursorCol = 8; // the selector goes to the King, not the piece that moved
    expected.CursorRow = 1;
    expected.GameFileName = path;
    ExpectSameGame(S(), expected);
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_TRUE(form->mnuGameSave->isEnabled());
    // Board, panel and selector are drawn and shown.
    const QImage shown = Screen().copy();
    RedrawAll();
    EXPECT_TRUE(shown == BackBuffer());

    // Saving again without a change gives the same bytes.
    const QByteArray first = ReadAll(path);
    ASSERT_TRUE(SaveGame());
    EXPECT_EQ(ReadAll(path), first);

    // A fresh turn: the loaded game starts over with the turn report.
    Adopt(NewGameState());
    S().CurrentPlayer = Red;
    S().TurnNumber = 3;
    const QString freshPath = Path("fresh.trs");
    ASSERT_TRUE(SaveGameTo(freshPath));
    Adopt(NewGameState());
    ASSERT_TRUE(LoadGameFrom(freshPath));
    const State& s = S();
    EXPECT_EQ(s.GameState, PhaseTurnStart);
    EXPECT_EQ(s.ResumeState, PhaseTurnStart);
    EXPECT_TRUE(s.FreshTurn);
    EXPECT_EQ(s.CurrentPlayer, Red);
    EXPECT_EQ(s.TurnNumber, 3);
    EXPECT_EQ(s.MovesLeft, 6);
    EXPECT_EQ(s.CursorCol, 8);
    EXPECT_EQ(s.CursorRow, 1);
    // No selector before the turn report: board and panel only.
    const QImage freshShown = Screen().copy();
    DrawBoard();
    DrawMovesPanel();
    EXPECT_TRUE(freshShown == BackBuffer());
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
        Adopt(NewGameState());
        State& s = S();
        s.CurrentPlayer = k.shooter;
        s.TurnNumber = 9;
        s.MovesLeft = 1;
        s.Board[k.kingCol][1] = Fire; // the blink shows the fire just now
        s.Owner[k.kingCol][1] = k.shooter;
        s.CursorCol = k.kingCol;
        s.CursorRow = 1;
        s.GameState = s.ResumeState = PhaseGameOver;
        const QString path = Path(QString(k.name) + ".trs");
        ASSERT_TRUE(SaveGameTo(path));

        // Load it over a running game.
        Adopt(NewGameState());
        form->mnuTurnEndTurn->setEnabled(true);
        ASSERT_TRUE(LoadGameFrom(path));
        const int loser = k.kingCol < 4 ? Blue : Red;
        EXPECT_EQ(s.GameState, PhaseGameOver);
        EXPECT_EQ(s.ResumeState, PhaseGameOver);
        EXPECT_EQ(s.CurrentPlayer, k.winner);
        EXPECT_EQ(s.TurnNumber, 9);
        EXPECT_EQ(s.MovesLeft, 1);
        EXPECT_EQ(s.CursorCol, k.kingCol) << "the cursor marks the King that fell";
        EXPECT_EQ(s.CursorRow, 1);
        EXPECT_EQ(s.Board[k.kingCol][1], King);
        EXPECT_EQ(s.Owner[k.kingCol][1], loser);
        EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());

        // The display blinks that King; the winner's King stands.
        s.LastBlinkTime = -10;
        s.BlinkToggle = false;
        GameOverStep();
        EXPECT_EQ(s.Board[k.kingCol][1], Fire);
        EXPECT_EQ(s.Owner[k.kingCol][1], loser);
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

    // Through GameFileName, as NetPlay calls it: refused the same way.
    S().GameFileName = Path("row7.trs");
    messages.clear();
    EXPECT_FALSE(LoadGame());
    EXPECT_EQ(messages.size(), 1u);

    // No name, or no such file: silently nothing.
    messages.clear();
    S().GameFileName.clear();
    EXPECT_FALSE(LoadGame());
    S().GameFileName = before.GameFileName;
    EXPECT_FALSE(LoadGameFrom(QString()));
    EXPECT_FALSE(LoadGameFrom(Path("missing.trs")));
    EXPECT_TRUE(messages.empty());
    ExpectSameGame(S(), before);
    EXPECT_TRUE(Screen() == screenBefore);
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
    EXPECT_TRUE(messages[0].contains("256"));
    EXPECT_TRUE(messages[0].contains(path));
    EXPECT_EQ(ReadAll(path), old);
    ExpectSameGame(S(), before);
    EXPECT_EQ(QDir(dir_.path()).entryList({"game*", ".game*"}, QDir::Files | QDir::Hidden),
              QStringList{"game.trs"})
        << "no temporary file is left behind";

    // A folder that cannot exist (its parent is a plain file), and a folder
    // in the way of the file: both are kept as they are.
    S().TurnNumber = 4;
    ASSERT_TRUE(TestSupport::WriteAll(Path("plain"), "x"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("taken.trs"));
    ASSERT_TRUE(TestSupport::WriteAll(Path("taken.trs/inside"), "keep"));
    for (const QString& target : {Path("plain/game.trs"), Path("taken.trs")}) {
        messages.clear();
        EXPECT_FALSE(SaveGameTo(target));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(target));
        EXPECT_EQ(S().GameFileName, path) << "the name in use stays";
    }
    EXPECT_EQ(ReadAll(Path("plain")), "x");
    EXPECT_EQ(ReadAll(Path("taken.trs/inside")), "keep");

    // And a save that works replaces the old file completely.
    ASSERT_TRUE(SaveGame());
    const std::vector<int> now = Values(ReadAll(path));
    EXPECT_EQ(now.at(1), 4);
    EXPECT_EQ(now.size(), size_t(old.size()));
}

TEST_F(SaveGameTest, NetPlayLoadRules)
{
    RunningGame();
    const QString path = Path("net.trs");
    ASSERT_TRUE(SaveGameTo(path));

    // The connecting side: the game becomes the NetPlay game, Save stays off.
    form->mnuGameSave->setEnabled(false);
    S().NetState = NetConnected;
    S().NetColor = Red;
    ASSERT_TRUE(LoadGameFrom(path));
    EXPECT_TRUE(S().NetGame);
    EXPECT_EQ(S().NetGameColor, Red);
    EXPECT_FALSE(form->mnuGameSave->isEnabled());

    // The host with a player: loads and plays it as a NetPlay game.
    S().NetState = NetHostWithPlayer;
    S().NetColor = Blue;
    S().NetGame = false;
    ASSERT_TRUE(LoadGameFrom(path));
    EXPECT_TRUE(S().NetGame);
    EXPECT_EQ(S().NetGameColor, Blue);
    EXPECT_TRUE(form->mnuGameSave->isEnabled());

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
