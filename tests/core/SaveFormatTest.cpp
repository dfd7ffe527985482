// The saved-game format: the exact bytes written, and every byte checked
// before a file is believed.
#include "tests/core/SaveFiles.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace SaveFiles;

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

