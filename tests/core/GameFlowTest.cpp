// New game, end of turn, the turn-start phase of the loop and the game-over
// display, seen through the state, the menus and the back buffer.
#include "ai/Opponent.h"
#include "core/ComputerTurn.h"
#include "core/Drawing.h"
#include "core/GameFlow.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"
#include "engine/PictureBox.h"
#include "tests/TestSupport.h"
#include "turnreport/frmTurnReport.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <tuple>

using namespace Turrion;

namespace {

// Counts pixels of an exact colour inside a rectangle of the back buffer.
int CountColour(const QImage& image, QRect rect, QRgb rgb)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == rgb;
    return n;
}

class GameFlow : public TestSupport::GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << path.section('/', -1); });
        // Sounds are looked up in the program folder; only start.wav is there.
        ASSERT_TRUE(TestSupport::WriteAll(Path("start.wav"), "RIFF"));
    }
    void TearDown() override
    {
        PavixSfxAPI::SetPlayHook(nullptr);
        GameTest::TearDown();
    }
    QStringList sounds;
};

} // namespace

TEST_F(GameFlow, NewGameSetsUpBlueToMoveWithMenusAndSound)
{
    S().GameFileName = "old.trs";
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(S().GameFileName, QString());
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    EXPECT_EQ(S().ResumeState, PhaseTurnStart);
    EXPECT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(S().TurnNumber, 1);
    EXPECT_EQ(S().MovesLeft, 6);
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_TRUE(form->mnuGameSave->isEnabled());
    EXPECT_FALSE(S().NetGame);
    EXPECT_EQ(sounds, QStringList{"start.wav"});
    // The text is gone again once the pause is over.
    EXPECT_EQ(CountColour(Screen(), QRect(20, 20, 150, 20), 0xFFFFFF), 0);

    // Sound switched off: nothing is played.
    form->mnuGameSfx->trigger();
    EXPECT_FALSE(form->SoundOn());
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(sounds.size(), 1);

    // On the connecting side of NetPlay the game is shared and Save stays off.
    form->mnuGameSave->setEnabled(false);
    S().NetState = NetConnected;
    S().NetColor = Red;
    form->mnuGameNewTwo_Click();
    EXPECT_FALSE(form->mnuGameSave->isEnabled());
    EXPECT_TRUE(S().NetGame);
    EXPECT_EQ(S().NetGameColor, Red);
}

TEST_F(GameFlow, EndOfTurnPassesPlayAndNumbersTurnPairs)
{
    form->mnuGameNewTwo_Click();
    S().GameState = S().ResumeState = PhaseMove;
    S().MovesLeft = 4;
    Put(6, 2, Blue, Fire);
    form->mnuTurnEndTurn_Click();
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().TurnNumber, 1);
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    EXPECT_EQ(S().MovesLeft, 6);
    EXPECT_EQ(S().Board[6][2], Fire);
    form->mnuTurnEndTurn_Click();
    EXPECT_EQ(S().CurrentPlayer, Red) << "no end of turn before the turn has begun";
    S().GameState = S().ResumeState = PhaseMove;
    form->mnuTurnEndTurn_Click();
    EXPECT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(S().TurnNumber, 2);
    EXPECT_EQ(S().Board[6][2], Empty) << "Blue's fire goes out as Blue's turn begins";

    // While the other NetPlay side plays, the end of turn does nothing here.
    S().NetGame = true;
    S().NetGameColor = Red;
    form->mnuTurnEndTurn_Click();
    EXPECT_EQ(S().CurrentPlayer, Blue);
}

TEST_F(GameFlow, TheLoopEndsASpentTurnAndStartsTheNext)
{
    form->mnuGameNewTwo_Click();
    S().GameState = S().ResumeState = PhaseMove;
    S().MovesLeft = 0;
    MainLoopPass();
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().GameState, PhaseTurnStart);

    // The Turn menu is locked while a NetPlay opponent is to move.
    S().NetGame = true;
    S().NetGameColor = Blue;
    MainLoopPass();
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuTurn));
    EXPECT_EQ(S().GameState, PhaseTurnStart) << "no turn report for the other side's turn";
    S().NetGame = false;
    MainLoopPass();
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuTurn));
}

TEST_F(GameFlow, GameOverBlinksTheFallenKingAndNamesTheWinner)
{
    form->mnuGameNewTwo_Click();
    // Red's King at (8, 1) has fallen: Blue won, texts on Blue's half at x 0.
    S().CursorCol = 8;
    S().CursorRow = 1;
    S().TurnNumber = 12;
    S().GameState = S().ResumeState = PhaseGameOver;
    S().LastBlinkTime = -10;
    GameOverStep();
    EXPECT_EQ(S().Board[8][1], Fire) << "the first blink shows fire";
    EXPECT_EQ(S().Owner[8][1], Red);
    const QRgb yellow = 0xFFFF00;
    EXPECT_GT(CountColour(Screen(), QRect(0, 40, 150, 80), yellow), 50);
    EXPECT_EQ(CountColour(Screen(), QRect(200, 40, 160, 80), yellow), 0);

    // Within half a second nothing changes; after it the King is back.
    GameOverStep();
    EXPECT_EQ(S().Board[8][1], Fire);
    S().LastBlinkTime -= 1.0;
    GameOverStep();
    EXPECT_EQ(S().Board[8][1], King);

    // Blue's King fell in column 0: Red won, texts at x 200.
    S().CursorCol = 0;
    S().LastBlinkTime -= 1.0;
    GameOverStep();
    EXPECT_EQ(S().Owner[0][1], Blue);
    EXPECT_GT(CountColour(Screen(), QRect(200, 40, 160, 80), yellow), 50);
    EXPECT_EQ(CountColour(Screen(), QRect(0, 40, 150, 80), yellow), 0);

    // A click in the game-over phase only delays the blink by one pass.
    const int before = S().Board[0][1];
    S().MouseClicked = true;
    S().LastBlinkTime -= 1.0;
    MainLoopPass();
    EXPECT_FALSE(S().MouseClicked);
    EXPECT_EQ(S().Board[0][1], before);
    MainLoopPass();
    EXPECT_NE(S().Board[0][1], before);
}

TEST_F(GameFlow, WhatAPlayerDoesDuringAPauseLeavesOneCoherentGame)
{
    // A finished game on disk: Blue's shot felled Red's King at (8, 1).
    const QString won = Path("won.trs");
    ASSERT_TRUE(TestSupport::WriteAll(won, TestSupport::Bytes({3, 7, 8, 10, 11, 18, 21})));
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) { return won; });
    std::vector<int> reports; // the player of every turn report shown
    SetTurnReportHook([&](frmTurnReport& r) {
        reports.push_back(S().CurrentPlayer);
        r.cmdNoPiece->click();
    });
    auto ctrl = [this](Qt::Key k) { return [this, k] { QTest::keyClick(form, k, Qt::ControlModifier); }; };
    const auto endTurn = ctrl(Qt::Key_E), newGame = ctrl(Qt::Key_N), load = ctrl(Qt::Key_L);
    const auto turnChanging = [this] { return S().TurnChanging; };
    const auto starting = [this] { return S().GameState == PhaseTurnStart; };
    const auto lastMove = [this] {
        S().MovesLeft = 1;
        QTest::keyClick(form, Qt::Key_Down); // the King's last move ends the turn
        MainLoopPass();
    };
    const auto clickRedWizard = [this] { QTest::mouseClick(form->picViewPort, Qt::LeftButton, {}, QPoint(340, 220)); };
    const auto finishedStays = [&] {
        EXPECT_EQ(S().Board[8][1], King);
        EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
        endTurn();
        EXPECT_EQ(S().GameState, PhaseGameOver) << "End Turn does not revive a finished game";
        QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(TestSupport::ReadAll(won).at(0), 3) << "a silent save keeps it finished";
    };

    struct Case {
        const char* what;
        std::function<void()> act;   // what the player starts
        std::function<bool()> when;  // the pause it does the next thing in
        std::function<void()> during;
        int player, phase;           // what the game is in afterwards
        std::function<void()> then = nullptr;
    };
    const Case cases[] = {
        {"new game in the end-of-turn pause", endTurn, turnChanging, newGame, Blue, PhaseTurnStart},
        {"End Turn twice", endTurn, turnChanging, endTurn, Red, PhaseTurnStart},
        {"Ctrl+E after the last move", lastMove, turnChanging, endTurn, Red, PhaseTurnStart},
        {"load in the end-of-turn pause", endTurn, turnChanging, load, Blue, PhaseGameOver, finishedStays},
        {"End Turn while a new game starts", newGame, starting, endTurn, Blue, PhaseTurnStart},
        {"load while a new game starts", newGame, starting, load, Blue, PhaseGameOver, finishedStays},
        {"About while a new game starts", newGame, starting, ctrl(Qt::Key_A), Blue, PhaseOverlay,
         [&] {
             EXPECT_EQ(S().ResumeState, PhaseTurnStart);
             EXPECT_TRUE(Screen() == *PavixGDI::Surface(S().PicTitle)) << "the picture stays up";
             QTest::mouseClick(form->picViewPort, Qt::LeftButton, {}, QPoint(20, 20));
             MainLoopPass(); // the click takes it away
             MainLoopPass(); // and the turn begins
             EXPECT_EQ(reports, std::vector<int>{Blue});
         }},
        {"click in the end-of-turn pause", endTurn, turnChanging, clickRedWizard, Red, PhaseTurnStart,
         [&] {
             MainLoopPass();
             EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(8, 1)) << "on the King, not the Wizard";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->mnuGameNewTwo_Click();
        MainLoopPass(); // Blue's report: Blue's move phase
        ASSERT_EQ(S().GameState, PhaseMove);
        QApplication::setActiveWindow(form); // the report had the keyboard
        reports.clear();
        TestSupport::RunWhen(c.when, c.during);
        c.act();
        EXPECT_EQ(S().CurrentPlayer, c.player);
        EXPECT_EQ(S().GameState, c.phase);
        EXPECT_EQ(S().TurnNumber, c.phase == PhaseGameOver ? 7 : 1);
        EXPECT_FALSE(S().TurnChanging);
        if (c.then)
            c.then();
    }
}

TEST_F(GameFlow, SinglePlayerGameAgainstTheComputerRunsToItsEnd)
{
    SetComputerSeed(7);
    std::vector<int> reports;
    SetTurnReportHook([&](frmTurnReport& r) {
        reports.push_back(S().CurrentPlayer);
        r.cmdNoPiece->click();
    });
    auto ctrl = [this](Qt::Key k) {
        QApplication::setActiveWindow(form);
        QTest::keyClick(form, k, Qt::ControlModifier);
    };
    const auto computerPlays = [this] { return ComputerToMove(S()) && S().GameState == PhaseMove; };

    // The person's keys and End Turn do nothing in the computer's turn; a
    // new game abandons it at once, and it is a game for two.
    ctrl(Qt::Key_B); // Single Player as Blue
    ASSERT_EQ(S().ComputerColor, Red);
    MainLoopPass();  // Blue's report
    ctrl(Qt::Key_E);
    TestSupport::RunWhen(computerPlays, [&] {
        const int moves = S().MovesLeft;
        ctrl(Qt::Key_E);
        QTest::keyClick(form, Qt::Key_Down);
        EXPECT_TRUE(S().CurrentPlayer == Red && S().MovesLeft == moves && !S().TurnChanging);
        ctrl(Qt::Key_N);
    });
    MainLoopPass(); // the computer's turn, cut short by the new game
    EXPECT_EQ(S().ComputerColor, NoPlayer);
    EXPECT_EQ(std::tuple(S().CurrentPlayer, S().GameState, S().TurnNumber),
              std::tuple(int(Blue), int(PhaseTurnStart), 1));

    // A whole game: the person (Blue) only ends its turns; the computer
    // (Red) plays through the window and wins, without a report of its own.
    ctrl(Qt::Key_B);
    reports.clear();
    for (int pass = 0; pass < 400 && S().GameState != PhaseGameOver; ++pass) {
        if (S().GameState == PhaseMove && S().CurrentPlayer == Blue)
            ctrl(Qt::Key_E);
        MainLoopPass();
        ASSERT_EQ(AI::InvariantBreach(S()), "") << "turn " << S().TurnNumber;
    }
    ASSERT_EQ(S().GameState, PhaseGameOver);
    EXPECT_LT(S().CursorCol, MiddleColumn) << "Blue's King fell";
    EXPECT_EQ(std::count(reports.begin(), reports.end(), Red), 0);
    EXPECT_EQ(int(reports.size()), S().TurnNumber);
}
