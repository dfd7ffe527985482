// The game-state rules that every other part leans on.
#include "logic/GameState.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace Turrion;

namespace {
void Put(State& s, int col, int row, int owner, int piece) { s.Owner[col][row] = owner, s.Board[col][row] = piece; }
} // namespace

TEST(State, NewGameLaysOutEightPiecesForBlueWithSixMovesAndForgetsTheOldGame)
{
    State s;
    Put(s, 4, 4, Red, Fire);
    s.GameId = 5, s.TurnChanging = true, s.GameFileName = "old.trs";
    s.NetState = NetConnected, s.NetColor = Red; // the connecting side shares the host's game
    StartNewGame(s, Red);
    int pieces = 0;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            pieces += s.Board[c][r] != Empty;
    EXPECT_EQ(pieces, 8);
    EXPECT_EQ(std::tuple(s.Board[0][1], s.Owner[0][1], s.Board[8][5], s.Owner[8][5], s.Board[7][1], s.Owner[4][4]),
              std::tuple(int(King), Blue, int(Wizard), Red, int(Wall), NoPlayer));
    EXPECT_EQ(std::tuple(s.CurrentPlayer, s.TurnNumber, s.MovesLeft, s.GameState, s.ResumeState),
              std::tuple(Blue, 1, 6, int(PhaseTurnStart), int(PhaseTurnStart)));
    EXPECT_EQ(std::tuple(s.GameId, s.TurnChanging, s.GameFileName, s.ComputerColor),
              std::tuple(6, false, QString(), Red));
    EXPECT_EQ(std::pair(s.NetGame, s.NetGameColor), std::pair(true, Red));
    s.NetState = NetHostWithPlayer; // the host shares it only once "NG" has gone out
    StartNewGame(s);
    EXPECT_EQ(std::pair(s.NetGame, s.ComputerColor), std::pair(false, NoPlayer));
}

TEST(State, MovesAreThreePlusThreePerOwnWizard)
{
    State s;
    s.CurrentPlayer = Red;
    CountMoves(s);
    EXPECT_EQ(s.MovesLeft, 3);
    for (int r = 0; r < 4; ++r)
        Put(s, 6, r, Red, Wizard);
    Put(s, 1, 1, Blue, Wizard); // Blue's Wizard does not count for Red
    CountMoves(s);
    EXPECT_EQ(s.MovesLeft, 15);
    s.FreshTurn = true;
    SpendMove(s);
    EXPECT_EQ(std::pair(s.MovesLeft, s.FreshTurn), std::pair(14, false));
}

TEST(State, PassTurnNumbersTurnsReArmsCannonsAndBurnsOutFires)
{
    State s;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    Put(s, 2, 0, Blue, CannonFired);
    Put(s, 6, 6, Red, CannonFired);
    Put(s, 6, 2, Blue, Fire); // Blue's shot
    Put(s, 2, 2, Red, Fire);  // Red's shot
    Put(s, 8, 3, Blue, Fire); // on Red's portal
    Put(s, 0, 5, Red, Fire);  // Blue's Wizard burnt by Red

    PassTurn(s); // Blue -> Red
    EXPECT_EQ(std::tuple(s.CurrentPlayer, s.TurnNumber, s.GameState, s.ResumeState, s.MovesLeft),
              std::tuple(Red, 1, int(PhaseTurnStart), int(PhaseTurnStart), 6));
    EXPECT_EQ(std::pair(s.Board[2][0], s.Board[6][6]), std::pair(int(CannonReady), int(CannonReady)));
    EXPECT_EQ(s.Board[6][2], Fire) << "Blue's fire burns through Red's turn";
    EXPECT_EQ(std::pair(s.Board[2][2], s.Owner[2][2]), std::pair(int(Empty), NoPlayer))
        << "Red's own fire goes out as Red's turn begins";
    EXPECT_EQ(s.Board[8][3], Empty) << "a portal never stays blocked by fire";

    PassTurn(s); // Red -> Blue, whose last Wizard fell
    EXPECT_EQ(std::tuple(s.CurrentPlayer, s.TurnNumber, s.MovesLeft, s.Board[6][2]),
              std::tuple(Blue, 2, 3, int(Empty)));
}

TEST(State, CursorGoesToTheLastMatchingKing)
{
    State s;
    s.CursorCol = s.CursorRow = 4;
    EXPECT_FALSE(PutCursorOnKing(s, Blue));
    EXPECT_EQ(s.CursorCol, 4);
    Put(s, 1, 1, Blue, King), Put(s, 2, 5, Blue, King), Put(s, 7, 6, Red, King);
    EXPECT_TRUE(PutCursorOnKing(s, Blue));
    EXPECT_EQ(std::pair(s.CursorCol, s.CursorRow), std::pair(2, 5));
    EXPECT_TRUE(PutCursorOnKing(s, Blue, false));
    EXPECT_EQ(std::pair(s.CursorCol, s.CursorRow), std::pair(7, 6));
}

TEST(State, EndTurnAndTheOtherSidesActionsOnlyInTheirTurn)
{
    // Blue on turn; `net` is the colour this NetPlay side plays, else 0.
    const struct { const char* what; int phase, resume; bool busy, changing; int net, computer; bool canEnd, accepts; } cases[] = {
        {"move phase", PhaseMove, PhaseMove, false, false, 0, NoPlayer, true, false},
        {"About over it", PhaseOverlay, PhaseMove, false, false, 0, NoPlayer, true, false},
        {"turn start", PhaseTurnStart, PhaseTurnStart, false, false, 0, NoPlayer, false, false},
        {"game over", PhaseGameOver, PhaseGameOver, false, false, Red, NoPlayer, false, false},
        {"shot flying", PhaseMove, PhaseMove, true, false, 0, NoPlayer, false, false},
        {"turn changing", PhaseMove, PhaseMove, false, true, Red, NoPlayer, false, false},
        {"other side moves", PhaseMove, PhaseMove, false, false, Red, NoPlayer, false, true},
        {"other side's report", PhaseTurnStart, PhaseTurnStart, false, false, Red, NoPlayer, false, true},
        {"behind About", PhaseOverlay, PhaseTurnStart, false, false, Red, NoPlayer, false, true},
        {"computer to move", PhaseMove, PhaseMove, false, false, 0, Blue, false, false},
    };
    for (const auto& c : cases) {
        State s;
        s.CurrentPlayer = Blue, s.GameState = c.phase, s.ResumeState = c.resume;
        s.Busy = c.busy, s.TurnChanging = c.changing;
        s.NetGame = c.net != 0, s.NetGameColor = c.net, s.ComputerColor = c.computer;
        EXPECT_EQ(std::pair(CanEndTurn(s), AcceptsRemoteAction(s)), std::pair(c.canEnd, c.accepts)) << c.what;
    }
}
