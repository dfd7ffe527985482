// A whole hot-seat game played with keys alone: real key events on the main
// window, the game's steps run on the test clock, and the turn reports
// answered through their buttons.
#include "tests/game/RulesFixture.h"

#include <QPushButton>
#include <deque>

TEST_F(RulesGame, WholeGameWithKeysAlone)
{
    // The turn reports' answers in turn.
    std::deque<std::function<void(frmTurnReport&)>> answers = {
        [](frmTurnReport& d) { QTest::mouseClick(d.cmdCannon, Qt::LeftButton); }, // Blue, turn 1
        [](frmTurnReport& d) { d.cmdBuilder->click(); },                          // Red, turn 1
        [](frmTurnReport& d) { QTest::keyClick(d.cmdNoPiece, Qt::Key_Space); },  // &None from the keyboard
        [](frmTurnReport& d) { QTest::keyClick(&d, Qt::Key_Return); },           // OK: the portal is taken
        [](frmTurnReport& d) { d.reject(); }};
    SetTurnReportHook([&](frmTurnReport& dialog) {
        ASSERT_FALSE(answers.empty());
        answers.front()(dialog);
        answers.pop_front();
        if (dialog.isVisible()) {
            ADD_FAILURE() << "a turn report left open";
            dialog.reject();
        }
    });
    auto steps = [&](std::initializer_list<Qt::Key> keys) { for (Qt::Key key : keys) Tap(key); };

    // Ctrl+N: a new two-player game. Shortcuts go to the active window.
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_N, Qt::ControlModifier);

    // Blue, turn 1: recruits a Cannon, walks it to (3, 1) and fires into the river.
    TestSupport::Settle();
    steps({Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up});
    EXPECT_EQ(std::pair(S().Board[3][1], S().MovesLeft), std::pair(int(CannonReady), 1));
    steps({Qt::Key_1});
    TestSupport::Settle(); // no moves left: the turn ends
    ASSERT_EQ(S().CurrentPlayer, Red);

    // Red, turn 1: recruits a Builder, walks the King down and up.
    TestSupport::Settle();
    steps({Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up});
    TestSupport::Settle();
    ASSERT_EQ(std::pair(S().CurrentPlayer, S().TurnNumber), std::pair(int(Blue), 2));

    // Blue, turn 2: the re-armed Cannon burns Red's Wall at (7, 1); the Wizard steps.
    TestSupport::Settle();
    steps({Qt::Key_Tab, Qt::Key_4});
    TestSupport::Settle(); // the ball flies
    EXPECT_EQ(std::pair(S().Board[7][1], S().MovesLeft), std::pair(int(Fire), 2));
    steps({Qt::Key_Tab, Qt::Key_Up, Qt::Key_Down});
    TestSupport::Settle();
    ASSERT_EQ(S().CurrentPlayer, Red);

    // Red, turn 2: the portal holds the Builder; the King walks.
    TestSupport::Settle();
    steps({Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Up});
    TestSupport::Settle();
    ASSERT_EQ(S().CurrentPlayer, Blue);

    // Blue, turn 3: nothing stands between the Cannon and Red's King.
    TestSupport::Settle();
    steps({Qt::Key_Tab, Qt::Key_5});
    TestSupport::Settle();
    EXPECT_EQ(std::tuple(S().GameState, S().CursorCol, S().CursorRow), std::tuple(int(PhaseGameOver), 8, 1));
    TestSupport::Settle();
    EXPECT_GT(Yellow({0, 60, 160, 18}), 20); // Blue Wins!!
    EXPECT_TRUE(answers.empty());
}
