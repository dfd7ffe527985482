// The main window's keyboard: the latch with auto-repeat, Tab held, modifiers, digits, the overlay.
#include "tests/rules/RulesFixture.h"

#include "core/GameFlow.h"
#include "core/modTurrion.h"

using namespace Turrion;

TEST_F(RulesGame, OneActionPerKeyPressAndTheScreen)
{
    MovePhase(Blue, 9);
    NetPlayAs(Blue);
    Put(2, 3, Blue, King);
    Select(2, 3);
    // Held: X11's auto-repeat pairs do not move the piece again, nor does
    // another key pressed meanwhile.
    Press(Qt::Key_Up);
    for (int i = 0; i < 5; ++i)
        AutoRepeat(Qt::Key_Up);
    Press(Qt::Key_Left);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(2, 2));
    EXPECT_EQ(S().MovesLeft, 8);
    EXPECT_EQ(sent, QStringList{"MP}02030202"});
    EXPECT_EQ(Cell(Screen(), 2, 3), Cell(Background(), 2, 3));
    EXPECT_EQ(Screen(), BackBuffer());
    EXPECT_TRUE(sounds.isEmpty());
    EXPECT_FALSE(form->KeyReady);
    Release(Qt::Key_Up);
    EXPECT_TRUE(form->KeyReady);

    // An arrow refused by the edge test leaves the latch open; a blocked
    // move closes it all the same.
    Put(3, 2, Blue, Wizard);
    Select(3, 2);
    Press(Qt::Key_Right);
    EXPECT_TRUE(form->KeyReady);
    Put(2, 3, Red, Fire);
    Select(2, 2);
    Press(Qt::Key_Down);
    EXPECT_FALSE(form->KeyReady);
    EXPECT_EQ(S().CursorRow, 2);
    EXPECT_EQ(S().MovesLeft, 8);
}

TEST_F(RulesGame, TabStepsWhileHeldAndCostsNothing)
{
    MovePhase(Blue, 3);
    NetPlayAs(Blue);
    Put(0, 1, Blue, King);
    Put(1, 1, Blue, Wall);
    Put(2, 2, Blue, Builder);
    Select(0, 1);
    Press(Qt::Key_Tab);
    EXPECT_EQ(S().CursorCol, 2);
    AutoRepeat(Qt::Key_Tab);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(0, 1));
    EXPECT_EQ(S().MovesLeft, 3);
    EXPECT_TRUE(sent.isEmpty());
    // The selector stands where the cursor is, and only there.
    const QImage shown = Screen();
    DrawBoard();
    EXPECT_NE(Cell(shown, 0, 1), Cell(BackBuffer(), 0, 1));
    EXPECT_EQ(Cell(shown, 2, 2), Cell(BackBuffer(), 2, 2));
    Tap(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab is Tab too
    EXPECT_EQ(S().CursorCol, 2);
}

TEST_F(RulesGame, ModifiersMakeWallsAndDigitsFire)
{
    MovePhase(Blue, 9);
    NetPlayAs(Blue);
    Put(2, 5, Blue, Builder);
    Put(1, 2, Blue, CannonReady);
    Select(2, 5);
    Tap(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(S().Board[2][4], Wall);
    EXPECT_NE(Cell(Screen(), 2, 4), Cell(Background(), 2, 4));
    Tap(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Cell(Screen(), 2, 4), Cell(Background(), 2, 4));
    Tap(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(S().Board[1][5], Wall);
    EXPECT_EQ(S().CursorRow, 5);
    EXPECT_EQ(sent, (QStringList{"AP}1402041", "RP}0204", "AP}1401051"}));

    // The keypad, 9 and 0 never fire; a main-row digit with Shift does.
    Select(1, 2);
    bool framed = false;
    SetShotFrameHook([&](const ShotFrameInfo&) { framed = true; });
    for (Qt::Key digit : {Qt::Key_9, Qt::Key_0})
        Tap(digit);
    Tap(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_FALSE(framed);
    EXPECT_EQ(S().MovesLeft, 6);
    Tap(Qt::Key_2, Qt::ShiftModifier);
    EXPECT_TRUE(framed);
    EXPECT_EQ(S().Board[3][2], Fire);
}

TEST_F(RulesGame, KeyClosesTheOverlayOnlyInARunningGame)
{
    ASSERT_EQ(S().GameState, PhaseOverlay);
    const QImage title = Screen();
    MovePhase(Blue, 4);
    Put(1, 1, Blue, King);
    Select(1, 1);
    const QImage board = Screen();
    form->mnuHelpAbout_Click();
    EXPECT_EQ(S().ResumeState, PhaseMove);
    EXPECT_EQ(Screen(), title);
    // The key that closes it is not used up and leaves the latch open, so
    // its auto-repeat then moves the piece once.
    int right = 39;
    form->Form_KeyDown(right, 0);
    EXPECT_EQ(right, 39);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_EQ(S().CursorCol, 1);
    EXPECT_EQ(Screen(), board);
    AutoRepeat(Qt::Key_Right);
    AutoRepeat(Qt::Key_Right);
    EXPECT_EQ(S().CursorCol, 2);
    EXPECT_EQ(S().MovesLeft, 3);

    // After the game has ended the picture stays.
    S().GameState = S().ResumeState = PhaseGameOver;
    form->mnuHelpAbout_Click();
    Release(Qt::Key_Right);
    Tap(Qt::Key_Left);
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_EQ(Screen(), title);
}
