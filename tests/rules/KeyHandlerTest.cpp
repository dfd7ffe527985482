// The main window's keyboard: latch, moves, walls, Tab and what each action
// draws and sends.
#include "tests/rules/RulesFixture.h"

#include "core/GameFlow.h"
#include "core/modTurrion.h"

using namespace Turrion;

namespace {
QImage Panel(const QImage& image, int y)
{
    return image.copy(160, y, 40, 80);
}
} // namespace

TEST_F(RulesGame, MoveDrawsSendsAndSpendsOneMove)
{
    MovePhase(Blue, 6);
    NetPlayAs(Blue);
    Put(2, 3, Blue, King);
    Select(2, 3);

    Tap(Qt::Key_Up);
    EXPECT_EQ(S().Board[2][2], King);
    EXPECT_EQ(S().MovesLeft, 5);
    EXPECT_EQ(sent, QStringList{"MP}02030202"});
    // The old cell is plain background on the screen, the new one is not.
    EXPECT_EQ(Cell(Screen(), 2, 3), Cell(Background(), 2, 3));
    EXPECT_NE(Cell(Screen(), 2, 2), Cell(Background(), 2, 2));
    EXPECT_EQ(Screen(), BackBuffer());
    EXPECT_TRUE(sounds.isEmpty()); // moves are silent

    // Down twice: row 3 to row 4 sends the panel to the top of the middle
    // column, and the old place is wiped.
    Tap(Qt::Key_Down);
    EXPECT_NE(Panel(Screen(), 160), Panel(Background(), 160));
    EXPECT_EQ(Panel(Screen(), 0), Panel(Background(), 0));
    Tap(Qt::Key_Down);
    EXPECT_EQ(Panel(Screen(), 160), Panel(Background(), 160));
    EXPECT_NE(Panel(Screen(), 0), Panel(Background(), 0));
    EXPECT_EQ(sent.last(), "MP}02030204");
    EXPECT_EQ(S().MovesLeft, 3);
}

TEST_F(RulesGame, OneActionPerKeyPress)
{
    MovePhase(Red, 9);
    Put(7, 4, Red, Wizard);
    Select(7, 4);
    // Held: X11's auto-repeat pairs do not move the piece again, nor does
    // another key pressed meanwhile.
    Press(Qt::Key_Up);
    for (int i = 0; i < 5; ++i)
        AutoRepeat(Qt::Key_Up);
    Press(Qt::Key_Left);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(7, 3));
    EXPECT_EQ(S().MovesLeft, 8);
    EXPECT_FALSE(form->KeyReady);
    Release(Qt::Key_Up);
    EXPECT_TRUE(form->KeyReady);
    Tap(Qt::Key_Up);
    EXPECT_EQ(S().CursorRow, 2);

    // An arrow refused by the edge test leaves the latch open; a blocked
    // move closes it all the same.
    Put(7, 2, NoPlayer, Empty);
    Put(5, 2, Red, Wizard);
    Select(5, 2);
    Press(Qt::Key_Left);
    EXPECT_TRUE(form->KeyReady);
    Press(Qt::Key_Down);
    EXPECT_EQ(S().CursorRow, 3);
    Release(Qt::Key_Down);
    Put(5, 4, Blue, Fire);
    Press(Qt::Key_Down);
    EXPECT_FALSE(form->KeyReady);
    EXPECT_EQ(S().CursorRow, 3);
    EXPECT_EQ(S().MovesLeft, 6);
}

TEST_F(RulesGame, TabStepsWhileHeldAndCostsNothing)
{
    MovePhase(Blue, 3);
    NetPlayAs(Blue);
    Put(0, 1, Blue, King);
    Put(1, 1, Blue, Wall);
    Put(2, 2, Blue, Builder);
    Put(3, 6, Blue, CannonFired);
    Select(0, 1);
    Press(Qt::Key_Tab);
    EXPECT_EQ(S().CursorCol, 2);
    AutoRepeat(Qt::Key_Tab);
    EXPECT_EQ(S().CursorCol, 3);
    AutoRepeat(Qt::Key_Tab);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(0, 1));
    EXPECT_TRUE(form->KeyReady);
    EXPECT_EQ(S().MovesLeft, 3);
    EXPECT_TRUE(sent.isEmpty());
    // The selector stands where the cursor is, and only there.
    const QImage shown = Screen();
    DrawBoard();
    EXPECT_NE(Cell(shown, 0, 1), Cell(BackBuffer(), 0, 1));
    EXPECT_EQ(Cell(shown, 2, 2), Cell(BackBuffer(), 2, 2));
    // Shift+Tab is Tab too.
    Tap(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(S().CursorCol, 2);
}

TEST_F(RulesGame, KeysThatDoNothingAndKeysThatAreSwallowed)
{
    MovePhase(Blue, 0);
    Put(1, 2, Blue, CannonReady);
    Put(0, 0, Blue, King);
    Select(1, 2);
    bool framed = false;
    SetShotFrameHook([&](const ShotFrameInfo&) { framed = true; });
    // No moves left: nothing acts.
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Tab, Qt::Key_3})
        Tap(key);
    EXPECT_EQ(S().CursorRow, 2);
    EXPECT_FALSE(framed);
    // The keypad, 9 and 0 never fire; a main-row digit with Shift does.
    S().MovesLeft = 6;
    Tap(Qt::Key_3, Qt::KeypadModifier);
    Tap(Qt::Key_9);
    Tap(Qt::Key_0);
    EXPECT_FALSE(framed);
    EXPECT_EQ(S().MovesLeft, 6);
    Tap(Qt::Key_2, Qt::ShiftModifier);
    EXPECT_TRUE(framed);
    EXPECT_EQ(S().Board[3][2], Fire);
    EXPECT_EQ(S().MovesLeft, 4);

    // The other NetPlay side is on turn: every key is swallowed.
    NetPlayAs(Red);
    for (int code : {38, 9, 51, 65}) {
        int key = code;
        form->Form_KeyDown(key, 0);
        EXPECT_EQ(key, 0) << code;
    }
    EXPECT_EQ(S().CursorRow, 2);
    EXPECT_TRUE(sent.isEmpty());
    // Our turn: a key that acts is not swallowed; at turn start and game
    // over keys are ignored, not swallowed.
    NetPlayAs(Blue);
    for (int phase : {PhaseMove, PhaseTurnStart, PhaseGameOver}) {
        S().GameState = phase;
        Release(Qt::Key_Up);
        int key = 38;
        form->Form_KeyDown(key, 0);
        EXPECT_EQ(key, 38);
        EXPECT_EQ(S().CursorRow, 1) << phase;
    }
}

TEST_F(RulesGame, KeyClosesTheOverlayOnlyInARunningGame)
{
    // At start-up the title stays whatever is pressed.
    ASSERT_EQ(S().GameState, PhaseOverlay);
    const QImage title = Screen();
    Tap(Qt::Key_Right);
    Tap(Qt::Key_Space);
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_EQ(Screen(), title);

    MovePhase(Blue, 4);
    Put(1, 1, Blue, King);
    Select(1, 1);
    const QImage board = Screen();
    form->mnuHelpAbout_Click();
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_EQ(S().ResumeState, PhaseMove);
    EXPECT_EQ(Screen(), title);
    // The key that closes it is not used up and leaves the latch open, so
    // its auto-repeat then moves the piece once.
    int right = 39;
    form->Form_KeyDown(right, 0);
    EXPECT_EQ(right, 39);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_TRUE(form->KeyReady);
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

TEST_F(RulesGame, BuilderWallsThroughTheKeys)
{
    MovePhase(Blue, 4);
    NetPlayAs(Blue);
    Put(2, 5, Blue, Builder);
    Select(2, 5);
    const QImage wallCellBefore = Cell(Screen(), 2, 4);

    Tap(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(S().Board[2][4], Wall);
    EXPECT_EQ(S().CursorRow, 5);
    EXPECT_NE(Cell(Screen(), 2, 4), wallCellBefore);
    Tap(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(S().Board[2][4], Empty);
    EXPECT_EQ(Cell(Screen(), 2, 4), Cell(Background(), 2, 4));
    // Towards column 3: refused, silent, nothing sent.
    Tap(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(S().Board[3][5], Empty);
    EXPECT_EQ(S().MovesLeft, 2);
    EXPECT_EQ(sent, (QStringList{"AP}1402041", "RP}0204"}));
    // The last move builds, then the keyboard stops.
    S().MovesLeft = 1;
    Tap(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(S().Board[1][5], Wall);
    Tap(Qt::Key_Up);
    EXPECT_EQ(S().CursorRow, 5);

    // Hot-seat: the same actions send nothing.
    S().NetGame = false;
    MovePhase(Red, 3);
    Put(6, 3, Red, Builder);
    Select(6, 3);
    sent.clear();
    Tap(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(S().Owner[6][4], Red);
    EXPECT_TRUE(sent.isEmpty());
}
