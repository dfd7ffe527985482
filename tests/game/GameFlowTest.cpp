// New game, the game-over display, a player acting during a pause and a whole
// game against the computer, seen through the state, the menus and the screen.
#include "ai/Opponent.h"
#include "game/Screen.h"
#include "game/ComputerTurn.h"
#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "game/frmMain.h"
#include "engine/PavixSteps.h"
#include "engine/gui/MessageBox.h"
#include "engine/gui/PavixGDI.h"
#include "engine/gui/PavixSfxAPI.h"
#include "tests/support/TestSupport.h"
#include "game/frmTurnReport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <algorithm>

using namespace Turrion;
using namespace TestSupport;

namespace {

class GameFlow : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << path; });
        // Sounds are looked up in the program folder; only start.wav is there.
        ASSERT_TRUE(WriteAll(Path("start.wav"), "RIFF"));
        SetTurnReportHook([this](frmTurnReport& r) {
            reports.push_back(S().CurrentPlayer);
            r.cmdNoPiece->click();
        });
    }
    void Ctrl(Qt::Key key)
    {
        QApplication::setActiveWindow(form); // a turn report may have had the keyboard
        QTest::keyClick(form, key, Qt::ControlModifier);
    }
    QStringList sounds;
    std::vector<int> reports; // the player of every turn report shown
};

} // namespace

TEST_F(GameFlow, NewGameEnablesItsMenusAndSoundsAndIsSharedOnTheConnectingSide)
{
    form->mnuGameNewRed->trigger();
    EXPECT_EQ(S().ComputerColor, Blue);
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(Waiting(), Wait::NewGamePause);
    EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
    ASSERT_TRUE(StepUntil([] { return Waiting() != Wait::NewGamePause; }));
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled() && form->mnuGameSave->isEnabled());
    EXPECT_TRUE(TurnReportOpen()) << "the pause over, the report opens";
    const QImage shown = Screen().copy();
    DrawBoard();
    DrawMovesPanel();
    EXPECT_TRUE(shown == BackBuffer()) << "the text goes after the pause";
    // The sound switch: off through the menu, on again through its handler.
    form->mnuGameSfx->trigger();
    EXPECT_FALSE(form->SoundOn());
    form->mnuGameNewTwo_Click();
    form->mnuGameSfx_Click();
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(sounds, QStringList(3, Path("start.wav")));

    // The connecting side of NetPlay shares the game and never saves it.
    form->mnuGameSave->setEnabled(false);
    S().NetState = NetConnected, S().NetColor = Red;
    form->mnuGameNewTwo_Click();
    EXPECT_FALSE(form->mnuGameSave->isEnabled());
    EXPECT_EQ(std::pair(S().NetGame, S().NetGameColor), std::pair(true, Red));
}

TEST_F(GameFlow, GameOverBlinksTheFallenKing)
{
    // Red's King at (8, 1) fell: every half second it and a Red Fire take
    // turns on the screen, while the board keeps the King.
    form->mnuGameNewTwo_Click();
    S().GameState = S().ResumeState = PhaseGameOver;
    S().CursorCol = 8, S().CursorRow = 1;
    const auto shows = [&](int piece) {
        DrawBoard();
        ClearCell(8, 1);
        DrawPieceSprite(piece, Red, 8, 1);
        const QImage expected = Cell(BackBuffer(), 8, 1);
        GameOverStep();
        return Cell(BackBuffer(), 8, 1) == expected;
    };
    EXPECT_TRUE(shows(Fire));
    EXPECT_EQ(std::pair(S().Board[8][1], S().Owner[8][1]), std::pair(int(King), Red));
    EXPECT_TRUE(shows(King));
    BoardClicked(3, 3);
    EXPECT_TRUE(shows(Fire)) << "a click changes nothing";

    // Once the frame is up, a blink draws only the cell; each such frame
    // equals one drawn whole (after something else was drawn).
    QImage blinked[2];
    for (QImage& frame : blinked)
        GameOverStep(), frame = BackBuffer().copy();
    for (const QImage& frame : blinked) {
        DrawBoard();
        GameOverStep();
        EXPECT_TRUE(BackBuffer() == frame);
    }
    EXPECT_FALSE(blinked[0] == blinked[1]);
}

TEST_F(GameFlow, WhatAPlayerDoesDuringAPauseLeavesOneCoherentGame)
{
    // A finished game on disk: Blue's shot felled Red's King at (8, 1).
    const QString won = Path("won.trs");
    ASSERT_TRUE(WriteAll(won, Bytes({3, 7, 8, 10, 11, 18, 21})));
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) { return won; });
    auto ctrl = [this](Qt::Key k) { return [this, k] { Ctrl(k); }; };
    const auto endTurn = ctrl(Qt::Key_E), newGame = ctrl(Qt::Key_N), load = ctrl(Qt::Key_L);
    const auto turnChanging = [this] { return S().TurnChanging; };
    const auto starting = [this] { return S().GameState == PhaseTurnStart; };
    const auto lastMove = [this] {
        S().MovesLeft = 1;
        QTest::keyClick(form, Qt::Key_Down); // the King's last move ends the turn
    };
    const auto finishedStays = [&] {
        EXPECT_EQ(S().Board[8][1], King);
        EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
        endTurn();
        EXPECT_EQ(S().GameState, PhaseGameOver) << "End Turn does not revive a finished game";
        Ctrl(Qt::Key_S);
        EXPECT_EQ(ReadAll(won).at(0), 3) << "a silent save keeps it finished";
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
        {"new game in the end-of-turn pause", endTurn, turnChanging, newGame, Blue, PhaseMove},
        {"End Turn twice", endTurn, turnChanging, endTurn, Red, PhaseMove},
        {"Ctrl+E after the last move", lastMove, turnChanging, endTurn, Red, PhaseMove},
        {"load in the end-of-turn pause", endTurn, turnChanging, load, Blue, PhaseGameOver, finishedStays},
        {"End Turn while a new game starts", newGame, starting, endTurn, Blue, PhaseMove},
        {"load while a new game starts", newGame, starting, load, Blue, PhaseGameOver, finishedStays},
        {"About while a new game starts", newGame, starting, ctrl(Qt::Key_A), Blue, PhaseOverlay,
         [&] {
             EXPECT_EQ(S().ResumeState, PhaseTurnStart);
             EXPECT_TRUE(Screen() == *PavixGDI::Surface(TheScreen().PicTitle)) << "the picture stays up";
             EXPECT_EQ(reports, std::vector<int>{}) << "the picture holds the turn report";
             QTest::mouseClick(form->picViewPort, Qt::LeftButton, {}, QPoint(20, 20));
             Settle(); // the click takes it away, and the turn begins
             EXPECT_EQ(reports, std::vector<int>{Blue});
         }},
        {"click in the end-of-turn pause", endTurn, turnChanging,
         [this] { QTest::mouseClick(form->picViewPort, Qt::LeftButton, {}, QPoint(340, 220)); }, Red, PhaseMove,
         [&] {
             EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(8, 1)) << "on the King, not the Wizard at (8, 5)";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->mnuGameNewTwo_Click();
        Settle(); // Blue's report: Blue's move phase
        ASSERT_EQ(S().GameState, PhaseMove);
        reports.clear();
        c.act();
        ASSERT_TRUE(StepUntil(c.when));
        c.during();
        Settle();
        EXPECT_EQ(std::tuple(S().CurrentPlayer, S().GameState, S().TurnNumber, S().TurnChanging),
                  std::tuple(c.player, c.phase, c.phase == PhaseGameOver ? 7 : 1, false));
        if (c.then)
            c.then();
    }
}

TEST_F(GameFlow, SinglePlayerGameAgainstTheComputerRunsToItsEnd)
{
    SetComputerSeed(7);
    const auto computerPlays = [this] { return ComputerToMove(S()) && S().GameState == PhaseMove; };

    // The person's keys, End Turn and the Turn menu do nothing in the
    // computer's turn; a new game abandons it at once, and is a game for two.
    Ctrl(Qt::Key_B); // Single Player as Blue
    ASSERT_EQ(S().ComputerColor, Red);
    Settle(); // Blue's report
    Ctrl(Qt::Key_E);
    ASSERT_TRUE(StepUntil(computerPlays));
    const int moves = S().MovesLeft;
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuTurn));
    Ctrl(Qt::Key_E);
    QTest::keyClick(form, Qt::Key_Down);
    EXPECT_TRUE(S().CurrentPlayer == Red && S().MovesLeft == moves && !S().TurnChanging);
    // About in the computer's turn: the turn waits behind the picture, and
    // a key takes it away and lets the turn go on.
    Ctrl(Qt::Key_A);
    PavixGames::AdvanceClock(5.0);
    EXPECT_TRUE(S().CurrentPlayer == Red && S().MovesLeft == moves && S().GameState == PhaseOverlay);
    QTest::keyClick(form, Qt::Key_Space);
    EXPECT_EQ(S().GameState, PhaseMove);
    ASSERT_TRUE(StepUntil([&] { return S().MovesLeft < moves || S().CurrentPlayer == Blue; }))
        << "the computer plays on";
    Ctrl(Qt::Key_N);
    Settle(); // the computer's turn, cut short by the new game
    EXPECT_EQ(S().ComputerColor, NoPlayer);
    EXPECT_EQ(std::tuple(S().CurrentPlayer, S().GameState, S().TurnNumber),
              std::tuple(int(Blue), int(PhaseMove), 1));

    // A whole game: the person (Blue) only ends its turns; the computer
    // (Red) plays through the window and wins, without a report of its own.
    Ctrl(Qt::Key_B);
    reports.clear();
    for (int pass = 0; pass < 400 && S().GameState != PhaseGameOver; ++pass) {
        if (S().GameState == PhaseMove && S().CurrentPlayer == Blue)
            Ctrl(Qt::Key_E);
        Settle();
        ASSERT_EQ(AI::InvariantBreach(S()), "") << "turn " << S().TurnNumber;
    }
    ASSERT_EQ(S().GameState, PhaseGameOver);
    EXPECT_LT(S().CursorCol, MiddleColumn) << "Blue's King fell";
    EXPECT_EQ(std::count(reports.begin(), reports.end(), Red), 0);
    EXPECT_EQ(int(reports.size()), S().TurnNumber);
}

TEST_F(GameFlow, TheTurnReportWaitsForADialogOverTheBoard)
{
    // A message (or a file dialog) still open when the turn begins: the
    // report waits for it instead of blocking it, and opens once it goes.
    SetTurnReportHook(nullptr);
    form->mnuGameNewTwo_Click();
    PavixGames::MessageBox(form, "Some news", "Turrion");
    Settle();
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_TRUE(box);
    EXPECT_FALSE(TurnReportOpen());
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
    EXPECT_TRUE(TurnReportOpen());
    CloseTurnReport();
}
