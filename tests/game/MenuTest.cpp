// The main window: its menu tree, the Load and Save commands with their
// dialogs, menus locked during a shot, the help page, clicks on the board and
// the About picture; start-up and shutdown as the files on disk show them,
// and the command line.
#include "game/Drawing.h"
#include "game/Screen.h"
#include "game/frmMain.h"
#include "engine/gui/PavixGDI.h"
#include "engine/gui/PictureBox.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <tuple>

using namespace Turrion;
using namespace TestSupport;

namespace {

class MenuTest : public MessageGameTest {
protected:
    // A new game in Blue's move phase, with six moves.
    void StartMovePhase() { form->mnuGameNewTwo_Click(); Settle(); }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        form->picViewPort_MouseUp(button, QPoint(x, y));
        Settle();
    }
    QPoint Cursor() { return QPoint(S().CursorCol, S().CursorRow); }
    QImage Title() { return *PavixGDI::Surface(TheScreen().PicTitle); }
};

class Startup : public MessageGameTest {
protected:
    Startup() { autoStart = false; }
};

} // namespace

TEST_F(MenuTest, MenuBarMatchesTheMenuTree)
{
    // Each menu as text: per item the name of its action (or of the menu it
    // opens), its caption and its shortcut, "!" when it is off and "*" when
    // it is checked; "-" for a separator.
    const auto describe = [](const QList<QAction*>& actions) {
        QStringList items;
        for (const QAction* a : actions)
            items << (a->isSeparator() ? QString("-")
                                       : QString("%1 %2 %3%4%5").arg(a->menu() ? a->menu()->objectName() : a->objectName(),
                                                                     a->text(), a->shortcut().toString(),
                                                                     a->isEnabled() ? "" : "!", a->isChecked() ? "*" : ""));
        return items.join(" | ").toStdString();
    };
    const std::pair<QWidget*, const char*> tree[] = {
        {form->menuBar(), "mnuGame &Game  | mnuView &View  | mnuNet &NetPlay  | mnuTurn &Turn  | mnuHelp &Help "},
        {form->mnuGame, "mnuGameNew &New  | mnuGameStrength &Computer Strength  | - | mnuGameLoad &Load Ctrl+L | "
                        "mnuGameSave &Save Ctrl+S! | - | mnuGameSfx Sound E&ffects Ctrl+F* | - | mnuGameExit E&xit "},
        {form->mnuGameNew, "mnuGameNewTwo &Two Player Game Ctrl+N | mnuGameNewBlue Single Player as &Blue Ctrl+B | "
                           "mnuGameNewRed Single Player as &Red Ctrl+R"},
        {form->mnuGameStrength, "mnuGameStrength0 &Easy  | mnuGameStrength1 &Normal * | mnuGameStrength2 &Hard "},
        {form->mnuView, "mnuViewZoomIn Zoom &In Ctrl++ | mnuViewZoomOut Zoom &Out Ctrl+- | mnuViewZoomAuto &Automatic Size "
                        "Ctrl+0* | - | mnuViewZoom1 &1x * | mnuViewZoom2 &2x  | mnuViewZoom3 &3x ! | mnuViewZoom4 &4x !"},
        {form->mnuNet, "mnuNetHost &Host Ctrl+H | mnuNetConnect &Connect Ctrl+T"},
        {form->mnuTurn, "mnuTurnEndTurn End &Turn Ctrl+E!"},
        {form->mnuHelp, "mnuHelpHelpFile &Help File F1 | - | mnuHelpWebsite Turrion &Website  | "
                        "mnuHelpMsgBoard Turrion &Message Board  | - | mnuHelpAbout &About Ctrl+A"},
    };
    for (const auto& [menu, items] : tree)
        EXPECT_EQ(describe(menu->actions()), items);
    // The sizes are choices of one: a single exclusive group of the four.
    const QActionGroup* sizes = form->mnuViewZoom[0]->actionGroup();
    ASSERT_TRUE(sizes);
    EXPECT_EQ(sizes->actions(), (QList<QAction*>{form->mnuViewZoom, form->mnuViewZoom + 4}));
    EXPECT_EQ(sizes->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    EXPECT_FALSE(form->mnuViewZoomAuto->actionGroup()) << "Automatic Size stays a check box of its own";
}

// Each desktop place (title bar, task switcher, dock) gets an icon painted
// for its size, not the nearest one scaled.
TEST_F(MenuTest, TheWindowIconComesAtEverySizeTheArtPaints)
{
    QList<QSize> offered = form->windowIcon().availableSizes(), painted;
    std::sort(offered.begin(), offered.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        painted << QSize(side, side);
    EXPECT_EQ(offered, painted);
    for (const QSize& size : painted)
        EXPECT_EQ(form->windowIcon().pixmap(size).toImage().pixelColor(size.width() / 2, size.height() / 2).alpha(), 255)
            << size.width() << " has the shield in its middle";
}

TEST_F(MenuTest, SaveAsksForANameOnceThenWritesSilently)
{
    StartMovePhase();
    // Cancelled: nothing is written and the game keeps no name.
    form->mnuGameSave->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(std::pair(dialogs[0].save, dialogs[0].defaultExt), std::pair(true, QString("trs")));
    EXPECT_TRUE(QDir(dir_.path()).entryList({"*.trs"}).isEmpty());

    // A name is given; the next Save asks nothing and writes the same file.
    dialogAnswer = Path("first.trs");
    form->mnuGameSave_Click();
    S().MovesLeft = 3;
    form->mnuGameSave_Click();
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(S().GameFileName, Path("first.trs"));
    EXPECT_EQ(ReadAll(Path("first.trs")).at(2), char(7)) << "three moves, and the turn still fresh";

    // A cancelled Load changes nothing.
    dialogAnswer.clear();
    form->mnuGameLoad->trigger();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_FALSE(dialogs[2].save);
    EXPECT_EQ(std::pair(S().GameFileName, S().MovesLeft), std::pair(Path("first.trs"), 3));
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
    for (QAction* item : {form->mnuGameLoad, form->mnuGameSave, form->mnuHelpAbout, form->mnuGameNewTwo,
                          form->mnuTurnEndTurn, form->mnuHelpHelpFile})
        item->trigger();
    EXPECT_TRUE(dialogs.empty() && opened.empty()) << "Load, Save and Help are not even asked";
    EXPECT_EQ(std::pair(S().GameState, S().MovesLeft), std::pair(int(PhaseMove), 6));
    EXPECT_TRUE(Screen() == shown);

    // A new game sent by the NetPlay host is not a menu command: it runs,
    // and opens the menus the shot had locked.
    form->mnuGameNewTwo_Click();
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuGame) && frmMain::MenuEnabled(form->mnuHelp));
    // Unlocked, F1 reaches the help page through the window's shortcut; this
    // program folder has none, and it is handed on all the same.
    QApplication::setActiveWindow(form);
    QTest::keyClick(form, Qt::Key_F1);
    EXPECT_EQ(opened, std::vector<QString>{dir_.path() + "/help/help.htm"});
}

// With several device pixels per window pixel, a device pixel's position
// is fractional (up to just below the next window pixel); it belongs to the
// cell it lies in, at its near and at its far edge, up to the board's last
// device row and column.
TEST_F(MenuTest, ClicksFindTheCellOfTheDevicePixelAtFractionalRatios)
{
    StartMovePhase();
    for (auto [c, r] : {std::pair(2, 2), std::pair(3, 2), std::pair(2, 3), std::pair(8, 6), std::pair(7, 6)})
        Put(c, r, Blue, Builder);
    // The device pixel `d` of the view, at its start (0) or just before its end (1).
    const auto release = [this](double ratio, QPointF device, double edge) {
        const QPointF at((device.x() + edge * 0.999) / ratio, (device.y() + edge * 0.999) / ratio);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, form->picViewPort->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(form->picViewPort, &event);
        }
        Settle();
    };
    // Per cell, its device pixel (first or last) along x and y: the cell it selects.
    struct Case { int col, row; bool last; QPoint want; };
    const Case cases[] = {
        {2, 2, true, {2, 2}},  {3, 2, false, {3, 2}}, // the border between two columns
        {2, 2, false, {2, 2}}, {2, 3, false, {2, 3}}, // and between two rows
        {8, 6, true, {8, 6}},  {7, 6, true, {7, 6}},  // the board's last device column and row
    };
    for (double ratio : {1.25, 1.5, 1.75, 2.0})
        for (int zoom : {1, 2}) {
            form->SetZoom(zoom);
            const double cell = 40 * zoom * ratio; // device pixels, a whole number at these ratios
            for (const Case& k : cases) {
                S().CursorCol = 0, S().CursorRow = 1;
                const double offset = k.last ? cell - 1 : 0;
                release(ratio, QPointF(k.col * cell + offset, k.row * cell + offset), k.last ? 1 : 0);
                EXPECT_EQ(Cursor(), k.want) << ratio << " at " << zoom << "x, cell " << k.col << "," << k.row
                                            << (k.last ? " last" : " first");
            }
        }
    // Past the board's last device pixel nothing is selected.
    form->SetZoom(1);
    S().CursorCol = 0, S().CursorRow = 1;
    release(1.5, QPointF(540, 420), 0);
    EXPECT_EQ(Cursor(), QPoint(0, 1));
}

TEST_F(MenuTest, ClicksSelectOnlyOwnMovablePiecesAtAnyZoomAndTakeTheAboutPictureAway)
{
    // At start-up About is the title picture, and clicks do not end it.
    form->mnuHelpAbout_Click();
    Click(100, 100);
    EXPECT_EQ(std::pair(S().GameState, S().ResumeState), std::pair(int(PhaseOverlay), int(PhaseNone)));

    StartMovePhase();
    Put(2, 2, Blue, Builder), Put(3, 3, Blue, Fire), Put(2, 6, Blue, CannonFired);
    RedrawAll();
    const QImage before = Screen().copy();
    // Own Wall, own Fire, an empty cell, Red's King, Red's Wizard, the river;
    // then releases beyond the view, which are not cells of the board.
    for (QPoint p : {QPoint(50, 50), QPoint(130, 130), QPoint(90, 10), QPoint(339, 79), QPoint(330, 210),
                     QPoint(175, 100), QPoint(365, 10), QPoint(-1, 45), QPoint(45, 281)}) {
        Click(p.x(), p.y());
        EXPECT_EQ(Cursor(), QPoint(0, 1)) << p.x() << "," << p.y();
    }
    EXPECT_TRUE(Screen() == before);

    // Any button selects; a fired Cannon is selectable; at 2x a click still
    // finds its cell (the cells' corners); no click costs a move.
    for (auto [zoom, x, y, col, row, button] :
         {std::tuple(1, 95, 95, 2, 2, Qt::RightButton), std::tuple(1, 119, 279, 2, 6, Qt::MiddleButton),
          std::tuple(1, 0, 200, 0, 5, Qt::LeftButton), std::tuple(2, 160, 160, 2, 2, Qt::LeftButton),
          std::tuple(2, 239, 559, 2, 6, Qt::LeftButton), std::tuple(2, 0, 80, 0, 1, Qt::LeftButton),
          std::tuple(2, 79, 439, 0, 5, Qt::LeftButton)}) {
        form->SetZoom(zoom);
        Click(x, y, button);
        EXPECT_EQ(Cursor(), QPoint(col, row)) << zoom << "x: " << x << "," << y;
    }
    EXPECT_EQ(S().MovesLeft, 6);

    // About twice, then a click anywhere: the phase before the first About
    // comes back, with the board, the Moves panel and the selector.
    const QImage board = Screen().copy();
    form->mnuHelpAbout->trigger();
    form->mnuHelpAbout_Click();
    EXPECT_TRUE(Screen() == Title());
    Click(300, 20);
    EXPECT_EQ(std::pair(S().GameState, S().ResumeState), std::pair(int(PhaseMove), int(PhaseMove)));
    EXPECT_TRUE(Screen() == board);

    // While the other side of a NetPlay game moves, clicks do nothing.
    S().NetGame = true, S().NetGameColor = Red;
    Click(200, 200);
    EXPECT_EQ(Cursor(), QPoint(0, 5));
}

TEST_F(Startup, TheLogAndTheWindowPlaceAreWrittenAndReadBack)
{
    const QByteArray settings = " 1500 \r\n 1200 \r\n-15 \r\n 0 \r\n 30 \r\n 45 \r\n";
    ASSERT_TRUE(WriteAll(Path("settings.dat"), settings));
    Start();
    ASSERT_TRUE(WriteAll(Path("settings.dat"), "rubbish"));
    form->close();
    EXPECT_TRUE(TheScreen().QuitFlag);
    // The log's blocks are the engine's (its tests check them line by line).
    const QByteArray log = ReadAll(Path("engine.log"));
    EXPECT_TRUE(log.contains("Log Level = 1\r\n") && log.contains("Backbuffer set to 360x280\r\n") &&
                log.indexOf("PavixGDI Graphics Engine Shutdown") < log.indexOf("PavixGames General Engine Shutdown") &&
                log.endsWith("Log Closed\r\n--------------------\r\n\r\n")) << log.toStdString();
    EXPECT_EQ(ReadAll(Path("settings.dat")), settings) << "the window closes where it opened";
}

TEST_F(Startup, AnUnwritableProgramFolderDoesNotStopTheGame)
{
    // A folder that is really a file: neither the log nor the settings can
    // be written there.
    ASSERT_TRUE(WriteAll(Path("not-a-folder"), ""));
    ResetAll(Path("not-a-folder"));
    Start();
    EXPECT_EQ(S().GameState, PhaseOverlay);
    form->close();
    EXPECT_TRUE(TheScreen().QuitFlag);
}

TEST_F(Startup, CommandLineNamesOnlyExistingTrsFiles)
{
    // Red to move, turn 3, two moves left, not fresh; Blue's King at (0, 1),
    // Red's King at (5, 1), Red's Wizard at (8, 1).
    const QString path = Path("my game.trs");
    ASSERT_TRUE(WriteAll(path, Bytes({2, 3, 4, 10, 11, 15, 21, 18, 22})));
    ASSERT_TRUE(WriteAll(Path("other.TRS"), ReadAll(path)));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.trs"));
    for (const auto& [line, name] : {std::pair("\"" + path + "\"", path), std::pair(path, path),
                                     std::pair(Path("other.TRS"), QString()), // the extension is case-sensitive
                                     std::pair(Path("missing.trs"), QString()),
                                     std::pair(Path("folder.trs"), QString()), std::pair(QString(), QString())})
        EXPECT_EQ(GameFileFromCommandLine(line), name) << line.toStdString();
    EXPECT_EQ(JoinCommandLine({"turrion", "a", "b.trs"}), "a b.trs");
    EXPECT_EQ(JoinCommandLine({"turrion"}), "");

    // The quoted file is loaded and shown, its menus on; a later Save writes
    // to it without asking.
    Start("\"" + path + "\"");
    EXPECT_EQ(std::tuple(S().GameFileName, S().GameState, S().TurnNumber), std::tuple(path, int(PhaseMove), 3));
    EXPECT_TRUE(form->mnuTurnEndTurn->isEnabled() && form->mnuGameSave->isEnabled() && messages.empty());
    const QImage shown = Screen().copy();
    RedrawAll();
    EXPECT_TRUE(shown == BackBuffer()) << "the board, the panel and the selector";
    S().MovesLeft = 1;
    form->mnuGameSave_Click();
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(ReadAll(path).at(2), char(2));
}

TEST_F(Startup, AMalformedSaveOnTheCommandLineIsReportedAndForgotten)
{
    const QString path = Path("bad.trs");
    ASSERT_TRUE(WriteAll(path, Bytes({9, 1, 13})));
    Start(path);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(path));
    EXPECT_FALSE(messages[0].contains("game in progress")) << "there is none yet";
    EXPECT_EQ(S().GameFileName, "");
    EXPECT_TRUE(Screen() == *PavixGDI::Surface(TheScreen().PicTitle));
}
