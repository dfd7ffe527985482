// The saved-game format: the exact bytes written, every byte checked before a
// file is believed, and the game a file gives back.
#include "logic/SaveFormat.h"
#include "tests/support/LogicSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

using namespace Turrion;
using LogicSupport::Bytes;

namespace {

// A new game after the turn report: Blue to move, turn 1, six moves.
State NewGame()
{
    State s;
    StartNewGame(s);
    StartTurn(s, Empty);
    return s;
}
const QByteArray NewGameFile = Bytes({1, 1, 13, 10, 11, 11, 14, 17, 24, 18, 21, 50, 12, 51, 14, 57, 24, 58, 22});

void Put(State& s, int col, int row, int owner, int piece) { s.Owner[col][row] = owner, s.Board[col][row] = piece; }

} // namespace

TEST(SaveGameFormat, WritesTheDocumentedBytes)
{
    State s = NewGame();
    EXPECT_EQ(SerializeGame(s), NewGameFile);
    // The turn report not yet shown: the turn is saved as fresh whatever the
    // flag says, so that a reload shows the report and its recruit.
    s.GameState = s.ResumeState = PhaseTurnStart;
    s.FreshTurn = false;
    EXPECT_EQ(SerializeGame(s), NewGameFile);
    // One move spent, five left: an even moves byte; behind the About
    // picture a running game is saved as running.
    s = NewGame();
    SpendMove(s);
    s.MovesLeft = 5, s.GameState = PhaseOverlay;
    EXPECT_EQ(SerializeGame(s).left(3), Bytes({1, 1, 10}));
    // An empty board gives the three bytes alone; owner-only and piece-only
    // cells are still written.
    State empty;
    empty.CurrentPlayer = Red, empty.TurnNumber = 200, empty.GameState = PhaseMove;
    EXPECT_EQ(SerializeGame(empty), Bytes({2, 200, 0}));
    empty.Owner[8][6] = Red, empty.Board[0][0] = Wall;
    EXPECT_EQ(SerializeGame(empty), Bytes({2, 200, 0, 0, 4, 68, 20}));
}

TEST(SaveGameFormat, RefusesGamesThatDoNotFitTheBytes)
{
    State s = NewGame();
    s.TurnNumber = 255, s.MovesLeft = 127;
    EXPECT_EQ(SerializeGame(s).left(3), Bytes({1, 255, 255}));
    QString why;
    for (int turn : {256, -1}) {
        s.TurnNumber = turn;
        EXPECT_TRUE(SerializeGame(s, &why).isEmpty()) << turn;
        EXPECT_TRUE(why.contains(QString::number(turn))) << why.toStdString();
    }
    s.TurnNumber = 1, s.MovesLeft = 128;
    EXPECT_TRUE(SerializeGame(s).isEmpty());
    s.MovesLeft = 3, s.Board[3][3] = 9; // not a piece: the file could not be read back
    EXPECT_TRUE(SerializeGame(s).isEmpty());
    State none; // no game started yet
    none.GameState = PhaseOverlay;
    EXPECT_TRUE(SerializeGame(none).isEmpty());
}

TEST(SaveGameFormat, ParserChecksEveryByte)
{
    SavedGame g;
    ASSERT_TRUE(ParseGame(NewGameFile, g).isEmpty());
    EXPECT_EQ(std::tuple(g.Status, g.Turn, g.MovesByte, g.Board[0][5], g.Owner[8][5]), std::tuple(1, 1, 13, int(Wizard), Red));
    // The highest legal values: row 6, column 8, owner 2, piece 7 (and the
    // fallen King a finished game needs).
    ASSERT_TRUE(ParseGame(Bytes({4, 255, 255, 68, 27, 0, 11}), g).isEmpty());
    EXPECT_EQ(std::pair(g.Board[8][6], g.Owner[8][6]), std::pair(int(CannonFired), Red));
    // The same cell twice: the later record wins (beside the two Kings a
    // game in progress needs).
    ASSERT_TRUE(ParseGame(Bytes({1, 1, 1, 10, 11, 18, 21, 33, 14, 33, 26}), g).isEmpty());
    EXPECT_EQ(std::pair(g.Board[3][3], g.Owner[3][3]), std::pair(int(CannonReady), Red));

    // Empty, too short, even, status 0 and 5, row 7, column 9, owner 3,
    // piece 8, too long, and a finished game whose only King is the winner's.
    for (const QByteArray& bad :
         {QByteArray(), Bytes({1, 1}), Bytes({1, 1, 13, 10, 11, 11}), Bytes({0, 1, 13, 10, 11}), Bytes({5, 1, 13, 10, 11}),
          Bytes({1, 1, 13, 10, 11, 75, 21}), Bytes({1, 1, 13, 10, 11, 29, 21}), Bytes({1, 1, 13, 10, 31}),
          Bytes({1, 1, 13, 10, 11, 18, 28}), QByteArray(MaxSaveFileBytes + 1, char(1)), Bytes({3, 4, 0, 25, 11})}) {
        SavedGame out;
        out.Status = 77;
        EXPECT_FALSE(ParseGame(bad, out).isEmpty()) << bad.left(9).toHex().toStdString();
        EXPECT_EQ(out.Status, 77) << "a refused file fills nothing";
    }
}

TEST(SaveGameFormat, ALoadGivesBackTheSavedGameWithTheCursorOnTheRightKing)
{
    // A finished game: `shooter`'s shot fell on the King at (col, 1), and
    // the blink shows the fire just now.
    auto finished = [](int shooter, int col, int phase) {
        return [=](State& s) {
            Put(s, col, 1, shooter, Fire);
            s.CurrentPlayer = shooter, s.MovesLeft = 2, s.FreshTurn = false, s.CursorCol = col, s.CursorRow = 1;
            s.GameState = phase, s.ResumeState = PhaseGameOver;
        };
    };
    const struct { const char* name; std::function<void(State&)> play; int player, moves, phase, col; bool fresh; } cases[] = {
        {"running", [](State& s) {
             Put(s, 2, 2, Blue, Builder), Put(s, 3, 6, Blue, CannonReady), Put(s, 2, 4, Red, Fire);
             Put(s, 5, 3, Red, CannonFired), Put(s, 6, 0, Red, Builder);
             s.CurrentPlayer = Red, s.MovesLeft = 5, s.FreshTurn = false;
             s.CursorCol = 6, s.CursorRow = 0; // the Builder that just moved
         }, Red, 5, PhaseMove, 8, false},
        {"report not yet shown", [](State& s) { s.CurrentPlayer = Red, s.GameState = PhaseTurnStart; },
         Red, 6, PhaseTurnStart, 8, true},
        {"Blue won, behind About", finished(Blue, 8, PhaseOverlay), Blue, 2, PhaseGameOver, 8, false},
        {"Blue shot its own King", finished(Blue, 0, PhaseGameOver), Red, 2, PhaseGameOver, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        State saved = NewGame();
        saved.TurnNumber = 17;
        c.play(saved);
        SavedGame file;
        ASSERT_TRUE(ParseGame(SerializeGame(saved), file).isEmpty());
        State s;
        s.RecruitKind = Wizard;
        ApplySavedGame(file, s);
        EXPECT_EQ(std::tuple(s.CurrentPlayer, s.TurnNumber, s.MovesLeft, s.GameState, s.ResumeState, s.FreshTurn),
                  std::tuple(c.player, 17, c.moves, c.phase, c.phase, c.fresh));
        EXPECT_EQ(std::tuple(s.CursorCol, s.CursorRow, s.RecruitKind), std::tuple(c.col, 1, 0))
            << "the cursor on the player's King, or on the King that fell";
        EXPECT_EQ(s.Board[c.col][1], King) << "a fallen King is back";
        EXPECT_EQ(SerializeGame(s), SerializeGame(saved)) << "the same board";
    }
}

TEST(SaveGameFormat, ALoadedGameIsANewGameSharedWithAConnectedPlayer)
{
    SavedGame file;
    ASSERT_TRUE(ParseGame(NewGameFile, file).isEmpty());
    // The computer keeps its colour only in a game that is not NetPlay's.
    for (const auto& [net, shared] : {std::pair(NetNone, false), std::pair(NetHosting, false),
                                      std::pair(NetHostWithPlayer, true), std::pair(NetConnected, true)}) {
        State s;
        s.GameId = 3, s.TurnChanging = true;
        s.NetState = net, s.NetColor = Red, s.ComputerColor = Red;
        LoadSavedGame(file, s);
        EXPECT_EQ(std::tuple(s.GameId, s.TurnChanging, s.NetGame, s.NetGameColor, s.ComputerColor),
                  std::tuple(4, false, shared, shared ? Red : 0, shared ? NoPlayer : Red)) << net;
    }
}

TEST(SaveGameFormat, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.trs"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.trs")).constData(), 0600), 0);
    QByteArray bytes;
    QString why;
    // A pipe would never end; a folder cannot be read.
    for (const char* name : {"folder.trs", "pipe.trs"}) {
        EXPECT_FALSE(ReadSaveFile(dir.filePath(name), bytes, why));
        EXPECT_TRUE(why.contains("not a file")) << why.toStdString();
    }
}
