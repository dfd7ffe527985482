// The main window's keyboard: the latch with auto-repeat, the overlay, Tab held, modifiers, digits,
// with what each key draws and sends.
#include "tests/game/RulesFixture.h"

TEST_F(RulesGame, KeyLatchAutoRepeatOverlayTabAndTheScreen)
{
    const QImage title = Screen();
    MovePhase(Blue, 9, Blue);
    Put(2, 3, Blue, King), Put(2, 1, Blue, Wall), Put(0, 4, Blue, Builder), Put(3, 2, Blue, Wizard);
    Select(2, 3);
    const QImage board = Screen();
    form->mnuHelpAbout_Click();
    EXPECT_TRUE(Screen() == title);
    // The key that takes the picture away is not used up and leaves the latch open. Held, its first
    // auto-repeat moves the piece and the others do not, nor does another key pressed meanwhile.
    int up = 38;
    form->Form_KeyDown(up, 0);
    EXPECT_EQ(std::tuple(up, S().GameState, S().CursorRow, Screen() == board), std::tuple(38, int(PhaseMove), 3, true));
    for (int i = 0; i < 5; ++i)
        AutoRepeat(Qt::Key_Up);
    Press(Qt::Key_Left);
    EXPECT_EQ(std::tuple(S().CursorCol, S().CursorRow, S().MovesLeft, form->KeyReady), std::tuple(2, 2, 8, false));
    EXPECT_EQ(sent, QStringList{"MP}02030202"});
    // Shown: the old cell cleared to the background, the King on the new one.
    EXPECT_TRUE(Cell(Screen(), 2, 3) == Cell(Background(), 2, 3) && Cell(Screen(), 2, 2) != Cell(Background(), 2, 2));
    EXPECT_EQ(Screen(), BackBuffer());
    Release(Qt::Key_Up);
    EXPECT_TRUE(form->KeyReady);

    // A blocked move closes the latch all the same; an arrow refused by the edge test leaves it open.
    Press(Qt::Key_Up);
    EXPECT_EQ(std::tuple(form->KeyReady, S().CursorRow, S().MovesLeft), std::tuple(false, 2, 8));
    Release(Qt::Key_Up), Select(3, 2), Press(Qt::Key_Right);
    EXPECT_TRUE(form->KeyReady);

    // Tab steps on every auto-repeat, costs nothing and sends nothing; the selector stands only there.
    Press(Qt::Key_Tab);
    AutoRepeat(Qt::Key_Tab);
    EXPECT_EQ(std::tuple(S().CursorCol, S().CursorRow, S().MovesLeft, sent.size()), std::tuple(2, 2, 8, 1));
    const QImage shown = Screen();
    DrawBoard();
    EXPECT_NE(Cell(shown, 2, 2), Cell(BackBuffer(), 2, 2));
    EXPECT_EQ(Cell(shown, 0, 4), Cell(BackBuffer(), 0, 4));
    Tap(Qt::Key_Backtab, Qt::ShiftModifier); // Shift+Tab is Tab too
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(3, 2));
}

TEST_F(RulesGame, ModifiersMakeWallsAndDigitsFire)
{
    MovePhase(Blue, 9, Blue);
    Put(2, 5, Blue, Builder), Put(1, 2, Blue, CannonReady), Select(2, 5);
    Tap(Qt::Key_Up, Qt::ShiftModifier);
    const QImage built = Cell(Screen(), 2, 4);
    Tap(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(built != Cell(Background(), 2, 4) && Cell(Screen(), 2, 4) == Cell(Background(), 2, 4));
    Tap(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(std::tuple(S().Board[2][4], S().Board[1][5], S().CursorRow), std::tuple(0, int(Wall), 5));
    EXPECT_EQ(sent, (QStringList{"AP}1402041", "RP}0204", "AP}1401051"}));

    // The keypad, 9 and 0 never fire; a main-row digit with Shift does.
    Select(1, 2);
    Tap(Qt::Key_9), Tap(Qt::Key_0), Tap(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(std::pair(S().Board[1][2], S().MovesLeft), std::pair(int(CannonReady), 6));
    Tap(Qt::Key_2, Qt::ShiftModifier);
    TestSupport::Settle();
    EXPECT_EQ(std::pair(S().Board[3][2], S().MovesLeft), std::pair(int(Fire), 4));
}
