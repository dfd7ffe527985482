// The game-state rules that every other part leans on.
#include "core/GameState.h"

#include <gtest/gtest.h>

using namespace Turrion;

namespace {
int Pieces(const State& s)
{
    int n = 0;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            n += s.Board[c][r] != Empty;
    return n;
}
} // namespace

TEST(State, SetupBoardLaysOutEightPiecesAndSixMoves)
{
    State s;
    s.Board[4][4] = Fire;
    s.Owner[4][4] = Red;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    EXPECT_EQ(Pieces(s), 8);
    EXPECT_EQ(s.TurnNumber, 1);
    EXPECT_EQ(s.MovesLeft, 6);
    EXPECT_EQ(s.Board[0][1], King);
    EXPECT_EQ(s.Owner[0][1], Blue);
    EXPECT_EQ(s.Board[8][5], Wizard);
    EXPECT_EQ(s.Owner[8][5], Red);
    EXPECT_EQ(s.Board[7][1], Wall);
    EXPECT_EQ(s.Board[4][4], Empty);
    EXPECT_EQ(s.Owner[4][4], NoPlayer);
}

TEST(State, MovesAreThreePlusThreePerOwnWizard)
{
    State s;
    s.CurrentPlayer = Red;
    CountMoves(s);
    EXPECT_EQ(s.MovesLeft, 3);
    for (int r = 0; r < 4; ++r) {
        s.Board[6][r] = Wizard;
        s.Owner[6][r] = Red;
    }
    s.Board[1][1] = Wizard; // Blue's Wizard does not count for Red
    s.Owner[1][1] = Blue;
    CountMoves(s);
    EXPECT_EQ(s.MovesLeft, 15);

    s.FreshTurn = true;
    SpendMove(s);
    EXPECT_EQ(s.MovesLeft, 14);
    EXPECT_FALSE(s.FreshTurn);
}

TEST(State, PassTurnNumbersTurnsReArmsCannonsAndBurnsOutFires)
{
    State s;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    s.Board[2][0] = CannonFired; s.Owner[2][0] = Blue;
    s.Board[6][6] = CannonFired; s.Owner[6][6] = Red;
    s.Board[6][2] = Fire;        s.Owner[6][2] = Blue; // Blue's shot
    s.Board[2][2] = Fire;        s.Owner[2][2] = Red;  // Red's shot
    s.Board[8][3] = Fire;        s.Owner[8][3] = Blue; // on Red's portal

    PassTurn(s); // Blue -> Red
    EXPECT_EQ(s.CurrentPlayer, Red);
    EXPECT_EQ(s.TurnNumber, 1);
    EXPECT_EQ(s.GameState, PhaseTurnStart);
    EXPECT_EQ(s.ResumeState, PhaseTurnStart);
    EXPECT_EQ(s.Board[2][0], CannonReady);
    EXPECT_EQ(s.Board[6][6], CannonReady);
    EXPECT_EQ(s.Board[6][2], Fire) << "Blue's fire burns through Red's turn";
    EXPECT_EQ(s.Board[2][2], Empty) << "Red's own fire goes out as Red's turn begins";
    EXPECT_EQ(s.Owner[2][2], NoPlayer);
    EXPECT_EQ(s.Board[8][3], Empty) << "a portal never stays blocked by fire";
    EXPECT_EQ(s.MovesLeft, 6);

    PassTurn(s); // Red -> Blue
    EXPECT_EQ(s.CurrentPlayer, Blue);
    EXPECT_EQ(s.TurnNumber, 2);
    EXPECT_EQ(s.Board[6][2], Empty);
}

TEST(State, PassTurnGivesThreeMovesToAPlayerWhoseLastWizardFell)
{
    State s;
    SetupBoard(s);
    s.CurrentPlayer = Red;
    s.Board[0][5] = Fire; // Blue's Wizard burnt by Red
    s.Owner[0][5] = Red;
    PassTurn(s);
    EXPECT_EQ(s.CurrentPlayer, Blue);
    EXPECT_EQ(s.MovesLeft, 3);
}

TEST(State, CursorGoesToTheLastMatchingKing)
{
    State s;
    s.CursorCol = 4;
    s.CursorRow = 4;
    EXPECT_FALSE(PutCursorOnKing(s, Blue));
    EXPECT_EQ(s.CursorCol, 4);
    s.Board[1][1] = King; s.Owner[1][1] = Blue;
    s.Board[2][5] = King; s.Owner[2][5] = Blue;
    s.Board[7][6] = King; s.Owner[7][6] = Red;
    EXPECT_TRUE(PutCursorOnKing(s, Blue));
    EXPECT_EQ(s.CursorCol, 2);
    EXPECT_EQ(s.CursorRow, 5);
    EXPECT_TRUE(PutCursorOnKing(s, Blue, false));
    EXPECT_EQ(s.CursorCol, 7);
    EXPECT_EQ(s.CursorRow, 6);
}
