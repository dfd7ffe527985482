// A whole hot-seat game played with keys alone: real key events on the main
// window, the loop's passes, and the turn reports answered through their
// buttons.
#include "tests/rules/RulesFixture.h"

#include "core/modTurrion.h"

#include <QLabel>
#include <QPushButton>
#include <deque>

using namespace Turrion;

TEST_F(RulesGame, WholeGameWithKeysAlone)
{
    std::deque<std::function<void(frmTurnReport&)>> answers;
    int reports = 0;
    SetTurnReportHook([&](frmTurnReport& dialog) {
        ++reports;
        ASSERT_FALSE(answers.empty());
        auto answer = answers.front();
        answers.pop_front();
        answer(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "turn report " << reports << " left open";
            dialog.reject();
        }
    });
    auto steps = [&](std::initializer_list<Qt::Key> keys) { for (Qt::Key key : keys) Tap(key); };

    // Ctrl+N: a new two-player game. Shortcuts go to the active window.
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(S().GameState, PhaseTurnStart);

    // Blue, turn 1: recruits a Cannon and walks it to (3, 1).
    answers.push_back([](frmTurnReport& d) {
        EXPECT_EQ(d.windowTitle(), "Turrion - Blue Player");
        EXPECT_EQ(d.lblMoves->text(), "(gives 6 Moves)");
        QTest::mouseClick(d.cmdCannon, Qt::LeftButton);
    });
    MainLoopPass();
    ASSERT_EQ(S().GameState, PhaseMove);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(0, 1)); // on the King
    steps({Qt::Key_Tab});
    steps({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up});
    EXPECT_EQ(S().Board[3][1], CannonReady);
    EXPECT_EQ(S().MovesLeft, 1);
    steps({Qt::Key_1}); // into the river
    MainLoopPass(); // no moves left: the turn ends
    ASSERT_EQ(S().CurrentPlayer, Red);

    // Red, turn 1: recruits a Builder, walks the King down and up.
    answers.push_back([](frmTurnReport& d) {
        EXPECT_EQ(d.windowTitle(), "Turrion - Red Player");
        EXPECT_EQ(d.lblTurn->text(), "Turn #1");
        d.cmdBuilder->click();
    });
    MainLoopPass();
    steps({Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up});
    EXPECT_EQ(S().Board[8][1], King);
    MainLoopPass();
    ASSERT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(S().TurnNumber, 2);

    // Blue, turn 2: the re-armed Cannon burns Red's Wall at (7, 1).
    answers.push_back([](frmTurnReport& d) {
        EXPECT_EQ(d.lblTurn->text(), "Turn #2");
        EXPECT_EQ(d.lblNumCannons->text(), "1");
        EXPECT_EQ(d.cmdNoPiece->shortcut(), QKeySequence("Alt+N"));
        QTest::keyClick(d.cmdNoPiece, Qt::Key_Space); // &None, from the keyboard
    });
    MainLoopPass();
    EXPECT_EQ(S().Board[3][1], CannonReady);
    steps({Qt::Key_Tab, Qt::Key_4});
    EXPECT_EQ(S().Board[7][1], Fire);
    EXPECT_EQ(S().MovesLeft, 2);
    steps({Qt::Key_Tab, Qt::Key_Up, Qt::Key_Down}); // the Wizard
    EXPECT_EQ(S().Board[0][5], Wizard);
    MainLoopPass();
    ASSERT_EQ(S().CurrentPlayer, Red);

    // Red, turn 2: the portal holds the Builder, so only OK is offered.
    answers.push_back([](frmTurnReport& d) {
        EXPECT_EQ(d.cmdNoPiece->text(), "&OK");
        EXPECT_TRUE(d.cmdWizard->isHidden());
        QTest::keyClick(&d, Qt::Key_Return);
    });
    MainLoopPass();
    EXPECT_EQ(S().Board[7][1], Fire); // Blue's fire burns through Red's turn
    // Red builds a Wall with its Builder and removes it again.
    steps({Qt::Key_Tab});
    Tap(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(S().Board[7][3], Wall);
    Tap(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(S().Board[7][3], Empty);
    steps({Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up});
    MainLoopPass();
    ASSERT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(S().Board[7][1], Empty); // gone as Blue's turn begins

    // Blue, turn 3: nothing stands between the Cannon and Red's King.
    answers.push_back([](frmTurnReport& d) { d.reject(); });
    MainLoopPass();
    steps({Qt::Key_Tab, Qt::Key_5});
    EXPECT_EQ(S().GameState, PhaseGameOver);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(8, 1));

    MainLoopPass();
    EXPECT_GT(YellowText({QRect(0, 60, 160, 18)})[0], 20);
    EXPECT_EQ(reports, 5);
    EXPECT_TRUE(answers.empty());
}
