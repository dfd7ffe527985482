// The main window's menu bar, the Load and Save commands with their dialogs,
// the About picture, clicks on the board, the command line and the Help menu.
#include "core/Drawing.h"
#include "core/SaveGame.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/MessageBox.h"
#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace Turrion;

using TestSupport::ReadAll;
using TestSupport::WriteAll;

namespace {

// Blue to move in the move phase of a new game, drawn.
void StartMovePhase(int movesLeft = 4)
{
    State& s = Game();
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    s.MovesLeft = movesLeft;
    s.FreshTurn = false;
    s.GameState = s.ResumeState = PhaseMove;
    PutCursorOnKing(s, Blue);
    RedrawAll();
    if (frmMain* f = MainForm()) {
        f->mnuGameSave->setEnabled(true);
        f->mnuTurnEndTurn->setEnabled(true);
    }
}

class MenuTest : public TestSupport::MessageGameTest {
protected:
    void SetUp() override
    {
        MessageGameTest::SetUp();
        if (form)
            HookDialogs();
    }
    void TearDown() override
    {
        PavixSfxAPI::SetPlayHook(nullptr);
        MessageGameTest::TearDown();
    }
    // The engine forgets its hooks at start-up; call after Start().
    void HookDialogs()
    {
        PavixGames::SetDialogHook([this](const PavixGames::DialogRequest& r) {
            dialogs.push_back(r);
            return dialogAnswer;
        });
        PavixGames::SetShellHook([this](const QString& target) { opened.push_back(target); });
    }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        form->picViewPort_MouseUp(button, QPoint(x, y));
        MainLoopPass();
    }
    QImage Title() { return *PavixGDI::Surface(S().PicTitle); }

    std::vector<PavixGames::DialogRequest> dialogs;
    std::vector<QString> opened;
    QString dialogAnswer;
};

class CommandLineTest : public MenuTest {
protected:
    CommandLineTest() { autoStart = false; }
};

struct Item {
    const char* name; // of the action, or of the submenu it opens
    const char* caption; // "-" for a separator
    QKeySequence shortcut = {};
    bool enabled = true;
    bool checked = false;
};

void ExpectItems(const QMenu* menu, const std::vector<Item>& items)
{
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), qsizetype(items.size())) << menu->objectName().toStdString();
    for (size_t i = 0; i < items.size(); ++i) {
        const QAction* a = actions[qsizetype(i)];
        const Item& want = items[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(a->isSeparator(), QString(want.caption) == "-");
        EXPECT_EQ(a->menu() ? a->menu()->objectName() : a->objectName(), want.name);
        if (a->isSeparator())
            continue;
        EXPECT_EQ(a->text(), QString::fromUtf8(want.caption));
        EXPECT_EQ(a->shortcut(), want.shortcut);
        EXPECT_EQ(a->isEnabled(), want.enabled);
        EXPECT_EQ(a->isChecked(), want.checked);
    }
}

} // namespace

TEST_F(MenuTest, MenuBarMatchesTheMenuTree)
{
    const QList<QAction*> bar = form->menuBar()->actions();
    ASSERT_EQ(bar.size(), 5);
    const QMenu* menus[] = {form->mnuGame, form->mnuView, form->mnuNet, form->mnuTurn, form->mnuHelp};
    const char* captions[] = {"&Game", "&View", "&NetPlay", "&Turn", "&Help"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar[i]->menu(), menus[i]);
        EXPECT_EQ(bar[i]->text(), captions[i]);
        EXPECT_TRUE(bar[i]->isEnabled());
    }
    EXPECT_EQ(form->windowTitle(), "Turrion");
    EXPECT_EQ(form->menuBar()->font(), QApplication::font(form->menuBar())) << "the desktop's menu font";

    using K = QKeySequence;
    ExpectItems(form->mnuGame, {{"mnuGameNew", "&New"}, {"mnuGameStrength", "&Computer Strength"},
                                {"mnuGameUL1", "-"},
                                {"mnuGameLoad", "&Load", K("Ctrl+L")},
                                {"mnuGameSave", "&Save", K("Ctrl+S"), false}, {"mnuGameUL3", "-"},
                                {"mnuGameSfx", "Sound E&ffects", K("Ctrl+F"), true, true},
                                {"mnuGameUL4", "-"}, {"mnuGameExit", "E&xit"}});
    ExpectItems(form->mnuGameNew, {{"mnuGameNewTwo", "&Two Player Game", K("Ctrl+N")},
                                   {"mnuGameNewBlue", "Single Player as &Blue", K("Ctrl+B")},
                                   {"mnuGameNewRed", "Single Player as &Red", K("Ctrl+R")}});
    ExpectItems(form->mnuGameStrength, {{"mnuGameStrength0", "&Easy", {}, true, false},
                                        {"mnuGameStrength1", "&Normal", {}, true, true},
                                        {"mnuGameStrength2", "&Hard", {}, true, false}});
    ExpectItems(form->mnuView, {{"mnuViewZoomIn", "Zoom &In", K(K::ZoomIn)},
                                {"mnuViewZoomOut", "Zoom &Out", K(K::ZoomOut)},
                                {"mnuViewZoomAuto", "&Automatic Size", K("Ctrl+0"), true, true},
                                {"", "-"}, {"mnuViewZoom1", "&1x", {}, true, true},
                                {"mnuViewZoom2", "&2x", {}, true, false},
                                {"mnuViewZoom3", "&3x", {}, false, false},
                                {"mnuViewZoom4", "&4x", {}, false, false}});
    ExpectItems(form->mnuNet, {{"mnuNetHost", "&Host", K("Ctrl+H")},
                               {"mnuNetConnect", "&Connect", K("Ctrl+T")}});
    ExpectItems(form->mnuTurn, {{"mnuTurnEndTurn", "End &Turn", K("Ctrl+E"), false}});
    ExpectItems(form->mnuHelp, {{"mnuHelpHelpFile", "&Help File", K(Qt::Key_F1)}, {"mnuHelpUL1", "-"},
                                {"mnuHelpWebsite", "Turrion &Website"},
                                {"mnuHelpMsgBoard", "Turrion &Message Board"}, {"mnuHelpUL2", "-"},
                                {"mnuHelpAbout", "&About", K("Ctrl+A")}});
    EXPECT_TRUE(form->mnuGameSfx->isCheckable());
}

TEST_F(MenuTest, SaveAsksForANameOnceThenWritesSilently)
{
    StartMovePhase();
    S().GameFileName.clear();

    // Cancelled: nothing is written and the game keeps no name.
    dialogAnswer.clear();
    form->mnuGameSave->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(dialogs[0].title, "Save Turrion Game");
    EXPECT_EQ(dialogs[0].filter, "Turrion Saves (*.trs)|*.trs");
    EXPECT_EQ(dialogs[0].defaultExt, "trs");
    EXPECT_EQ(dialogs[0].flags, 0x806u);
    EXPECT_TRUE(QDir(dir_.path()).entryList({"*.trs"}).isEmpty());

    // A name is given; the next Save asks nothing and writes the same file.
    const QString first = Path("first.trs");
    dialogAnswer = first;
    form->mnuGameSave_Click();
    EXPECT_EQ(S().GameFileName, first);
    EXPECT_EQ(ReadAll(first).size(), 19);
    S().MovesLeft = 3;
    form->mnuGameSave_Click();
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(ReadAll(first).at(2), char(6));
    EXPECT_TRUE(messages.empty());

    // Load another file, then Save: that other file is written.
    ASSERT_TRUE(WriteAll(Path("other.trs"), ReadAll(first)));
    dialogAnswer = Path("other.trs");
    form->mnuGameLoad_Click();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_FALSE(dialogs[2].save);
    EXPECT_EQ(dialogs[2].title, "Load Turrion Game");
    EXPECT_EQ(dialogs[2].flags, 0x1804u);
    S().MovesLeft = 2;
    form->mnuGameSave_Click();
    EXPECT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(ReadAll(Path("other.trs")).at(2), char(4));
    EXPECT_EQ(ReadAll(first).at(2), char(6));

    // A cancelled Load changes nothing.
    dialogAnswer.clear();
    form->mnuGameLoad->trigger();
    EXPECT_EQ(S().GameFileName, Path("other.trs"));
    EXPECT_EQ(S().MovesLeft, 2);

    // A name whose save fails is not kept: the next Save asks again.
    S().GameFileName.clear();
    ASSERT_TRUE(WriteAll(Path("plain"), ""));
    dialogAnswer = Path("plain/x.trs");
    form->mnuGameSave_Click();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(S().GameFileName, "");
    dialogAnswer.clear();
    form->mnuGameSave_Click();
    EXPECT_EQ(dialogs.size(), 6u);
}

TEST_F(MenuTest, CommandsDuringAShotChangeNothing)
{
    StartMovePhase();
    const QImage shown = Screen().copy();
    // A shot locks the Game, Turn and Help menus; their shortcuts may still
    // be queued, and do nothing.
    for (QMenu* menu : {form->mnuGame, form->mnuTurn, form->mnuHelp})
        frmMain::SetMenuEnabled(menu, false);
    dialogAnswer = Path("current.trs");
    for (QAction* item : {form->mnuGameLoad, form->mnuGameSave, form->mnuHelpAbout,
                          form->mnuGameNewTwo, form->mnuTurnEndTurn})
        item->trigger();
    EXPECT_TRUE(dialogs.empty()) << "Load, Save and About are not even asked";
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_EQ(S().MovesLeft, 4);
    EXPECT_TRUE(Screen() == shown);
    // A new game sent by the NetPlay host is not a menu command: it runs.
    S().Busy = true;
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    S().Busy = false;
}

TEST_F(MenuTest, AboutStaysUntilAGameBeginsThenAClickOrKeyBringsTheTurnBack)
{
    // At start-up About is the title picture, and clicks do not end it.
    form->mnuHelpAbout_Click();
    Click(100, 100);
    EXPECT_EQ(S().ResumeState, PhaseNone);
    EXPECT_TRUE(Screen() == Title());

    StartMovePhase(4);
    S().CursorCol = 0;
    S().CursorRow = 5; // the Wizard: the panel stands at the top
    RedrawAll();
    const QImage board = Screen().copy();
    // About twice, then a click anywhere (here on an empty cell): the phase
    // before the first About comes back.
    form->mnuHelpAbout->trigger();
    form->mnuHelpAbout_Click();
    EXPECT_EQ(S().ResumeState, PhaseMove);
    EXPECT_TRUE(Screen() == Title());
    Click(170, 130);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_TRUE(Screen() == board) << "board, Moves panel and selector are back";

    // A key does the same and keeps the moves.
    form->mnuHelpAbout_Click();
    int key = VK_LEFT;
    form->Form_KeyDown(key, 0);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_EQ(S().MovesLeft, 4);
    EXPECT_TRUE(Screen() == board) << "after a key";
}

TEST_F(MenuTest, ClicksSelectOnlyOwnMovablePieces)
{
    StartMovePhase(4);
    Put(2, 2, Blue, Builder);
    Put(3, 3, Blue, Fire);
    Put(2, 6, Blue, CannonFired);
    RedrawAll();
    ASSERT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(0, 1));
    const QImage before = Screen().copy();

    // Own Wall, own Fire, an empty cell, Red's King, Red's Wizard, the river.
    for (QPoint p : {QPoint(50, 50), QPoint(130, 130), QPoint(90, 10), QPoint(339, 79),
                     QPoint(330, 210), QPoint(175, 100)}) {
        Click(p.x(), p.y());
        EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(0, 1)) << p.x() << "," << p.y();
    }
    EXPECT_TRUE(Screen() == before);

    // Releases beyond the view are not cells of the board.
    for (QPoint p : {QPoint(365, 10), QPoint(-1, 45), QPoint(45, 281)}) {
        form->picViewPort_MouseUp(Qt::LeftButton, p);
        EXPECT_FALSE(S().MouseClicked) << p.x() << "," << p.y();
    }

    // Any button selects; a fired Cannon is selectable; no click costs a move.
    Click(95, 95, Qt::RightButton);
    EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(2, 2));
    Click(119, 279, Qt::MiddleButton);
    EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(2, 6));
    Click(0, 200);
    EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(0, 5));

    // Zoomed, a click still finds its cell: the cell's corners at 2x.
    form->SetZoom(2);
    for (auto [x, y, col, row] : {std::tuple(160, 160, 2, 2), std::tuple(239, 559, 2, 6),
                                  std::tuple(0, 80, 0, 1), std::tuple(79, 439, 0, 5)}) {
        Click(x, y);
        EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(col, row)) << x << "," << y;
    }
    EXPECT_EQ(S().MovesLeft, 4);

    // While the other side of a NetPlay game moves, clicks do nothing.
    S().NetGame = true;
    S().NetGameColor = Red;
    Click(95, 95);
    EXPECT_EQ(QPoint(S().CursorCol, S().CursorRow), QPoint(0, 5));
    S().NetGame = false;
}

TEST_F(CommandLineTest, LoadsAQuotedTrsPathOnly)
{
    // Red to move, turn 3, two moves left, not fresh; Blue's King at (0, 1),
    // Red's King at (5, 1), Red's Wizard at (8, 1).
    const QString path = Path("my game.trs");
    ASSERT_TRUE(WriteAll(path, QByteArray("\x02\x03\x04\x0a\x0b\x0f\x15\x12\x16", 9)));
    Start("\"" + path + "\"");
    ASSERT_NE(form, nullptr);
    HookDialogs();
    EXPECT_EQ(S().GameFileName, path);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().TurnNumber, 3);
    EXPECT_EQ(S().Board[8][1], Wizard);
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_TRUE(messages.empty());

    // A later Save writes to that file without asking.
    S().MovesLeft = 1;
    form->mnuGameSave_Click();
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(ReadAll(path).at(2), char(2));
}

TEST_F(CommandLineTest, MalformedFileIsReportedAndForgotten)
{
    const QString path = Path("bad.trs");
    ASSERT_TRUE(WriteAll(path, QByteArray("\x09\x01\x0d", 3)));
    Start(path);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(path));
    EXPECT_FALSE(messages[0].contains("game in progress")) << "there is none yet";
    EXPECT_EQ(S().GameFileName, "");
    EXPECT_TRUE(Screen() == Title());
}

TEST_F(MenuTest, HelpItemsOpenTheirPages)
{
    form->mnuHelpHelpFile->trigger();
    form->mnuHelpWebsite->trigger();
    form->mnuHelpMsgBoard->trigger();
    // F1 reaches the help page through the window's shortcut.
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_F1);
    const QString help = PavixGames::AppPath() + "help/help.htm";
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0], help);
    EXPECT_TRUE(opened[0].startsWith(dir_.path()));
    EXPECT_TRUE(opened[1].startsWith("http"));
    EXPECT_TRUE(opened[2].endsWith("/MessageBoard"));
    EXPECT_EQ(opened[3], help);
    EXPECT_EQ(S().GameState, PhaseOverlay) << "opening a page changes nothing in the game";
}

TEST_F(MenuTest, ShortcutsAndTheSoundSwitchReachTheirCommands)
{
    std::vector<QString> played;
    PavixSfxAPI::SetPlayHook([&played](const QString& p) { played.push_back(p); });
    ASSERT_TRUE(WriteAll(Path("start.wav"), "RIFF"));
    PlayGameSound("start.wav");
    ASSERT_EQ(played, std::vector<QString>{PavixGames::AppPath() + "start.wav"});

    // Shortcuts go to the active window; the board view has no focus.
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].save);
    QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.size(), 1u) << "Save is off until a game exists";

    QTest::keyClick(form, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[1].save);

    QTest::keyClick(form, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(S().GameState, PhaseOverlay);
    EXPECT_EQ(S().ResumeState, PhaseTurnStart);

    // The switch silences every sound; the handler itself inverts the mark.
    const size_t before = played.size();
    QTest::keyClick(form, Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(form->mnuGameSfx->isChecked());
    EXPECT_FALSE(form->SoundOn());
    PlayGameSound("start.wav");
    EXPECT_EQ(played.size(), before);
    form->mnuGameSfx_Click();
    EXPECT_TRUE(form->mnuGameSfx->isChecked());
    PlayGameSound("start.wav");
    EXPECT_EQ(played.size(), before + 1);
}
