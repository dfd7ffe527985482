// settings.dat, the preferences and the window placement arithmetic.
#include "logic/Settings.h"
#include "logic/Placement.h"
#include "tests/support/LogicSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace Turrion;

namespace {
std::vector<int> Positions(const WindowPlaces& s) { return {s.MainLeft, s.MainTop, s.ReportLeft, s.ReportTop, s.ChatLeft, s.ChatTop}; }
} // namespace

TEST(Settings, WritesSixLinesInTheExactFormatAndReadsThemBack)
{
    WindowPlaces s, in;
    s.MainLeft = 1440, s.MainTop = -15, s.ReportTop = 7, s.ChatLeft = -2147483647 - 1, s.ChatTop = 2147483647;
    EXPECT_EQ(FormatSettings(s), QByteArray(" 1440 \r\n-15 \r\n 0 \r\n 7 \r\n-2147483648 \r\n 2147483647 \r\n"));
    QTemporaryDir dir;
    ASSERT_TRUE(WriteSettings(dir.filePath("settings.dat"), s));
    ReadSettings(dir.filePath("settings.dat"), in);
    EXPECT_EQ(Positions(in), Positions(s));
    EXPECT_FALSE(WriteSettings(dir.filePath("no-such-folder/settings.dat"), s));
}

TEST(Settings, DamagedOrMissingFilesKeepZeroForWhatCannotBeRead)
{
    // Nothing after an unreadable value is trusted; of a long file only the
    // start is read.
    const struct { QByteArray text; std::vector<int> want; } cases[] = {
        {" 100 \r\n 200 \r\nrubbish\r\n 400 \r\n", {100, 200, 0, 0, 0, 0}},
        {"1 2\n3", {1, 2, 3, 0, 0, 0}}, // fewer than six, other spacing
        {" 99999999999999 \r\n 5 \r\n", {0, 0, 0, 0, 0, 0}}, // does not fit 32 bits
        {QByteArray("\0\xff-", 3), {0, 0, 0, 0, 0, 0}},
        {" 1 \r\n 2 \r\n 3 \r\n 4 \r\n-5 \r\n 6 \r\n" + QByteArray(1 << 20, '9'), {1, 2, 3, 4, -5, 6}},
        {QByteArray(1 << 20, '7'), {0, 0, 0, 0, 0, 0}}, // one endless number
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.dat");
    for (const auto& c : cases) {
        ASSERT_TRUE(LogicSupport::WriteAll(path, c.text));
        WindowPlaces s;
        ReadSettings(path, s);
        EXPECT_EQ(Positions(s), c.want) << c.text.left(40).toStdString();
    }
    // A missing file, or a folder in its place, is not read; a folder is not
    // written over either.
    WindowPlaces s;
    s.MainLeft = 77;
    ReadSettings(dir.filePath("missing.dat"), s);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dat"));
    ReadSettings(dir.filePath("folder.dat"), s);
    EXPECT_EQ(s.MainLeft, 77);
    EXPECT_FALSE(WriteSettings(dir.filePath("folder.dat"), s));
}

TEST(Placement, CentresAnUnplacedWindowAndClampsToTheScreen)
{
    const struct { int left, top, width, height, wantLeft, wantTop; } cases[] = {
        {0, 0, 5655, 4571, 9600 - 2827, 7200 - 2285}, // never placed: centred, whole-twip halves
        {300, 0, 5000, 4000, 300, 0},                 // fits: used as it is
        {-900, -30, 5000, 4000, 0, 0},                // off the top left
        {18000, 13000, 5000, 4000, 14200, 10400},     // off the bottom right
        {2147483000, 2147483000, 5000, 4000, 14200, 10400}, // settings.dat's largest numbers
        {-2147483000, 2147483000, 5000, 4000, 0, 10400},
    };
    for (const auto& c : cases) {
        const Placement p = MainWindowPlacement(c.left, c.top, c.width, c.height, 19200, 14400);
        EXPECT_EQ(std::pair(p.left, p.top), std::pair(c.wantLeft, c.wantTop)) << c.left;
    }
    // A window larger than the screen ends at the screen's far edge.
    const Placement q = ClampToScreen({10, 10}, 3000, 3000, 2000, 2000);
    EXPECT_EQ(std::pair(q.left, q.top), std::pair(-1000, -1000));
    // A remembered offset added to the main window's place: any two ints,
    // kept on an area that starts below a panel.
    const QRect area(0, 30, 1280, 994);
    for (const std::int64_t huge : {std::int64_t(INT_MAX) * 2, std::int64_t(INT_MIN) * 2}) {
        const Placement r = ClampOnto(huge, huge, 400, 300, area);
        EXPECT_EQ(std::pair(r.left, r.top), huge > 0 ? std::pair(880, 724) : std::pair(0, 30));
    }
}

TEST(Placement, ZoomSuitsTheScreen)
{
    // The largest zoom whose window (36 pixels of menu and margins, 280 per
    // zoom of board) takes at most 60 % of the available height; with the
    // NetPlay window open (400 wide with the gap), a smaller one when only
    // that leaves room left or right of the main window (16 pixels of
    // margins and 360 per zoom of board), which keeps its left edge.
    const struct { int height, width, beside, mainLeft, zoom; } screens[] = {
        {400, 1280, 0, 0, 1},     {738, 1280, 0, 0, 1},     {1040, 1280, 0, 0, 2},   {1400, 1280, 0, 0, 2},
        {1480, 1920, 0, 0, 3},    {2120, 2560, 0, 0, 4},    {1024, 1280, 400, 272, 1}, // centred at 2x
        {1024, 1280, 400, 0, 2},  {1024, 1280, 400, 400, 2}, {1024, 1920, 400, 592, 2},
        {2120, 1600, 400, 0, 3},  {2120, 1600, 400, 300, 2}, {2120, 1600, 400, 550, 3}, // pulled back to 504 at 3x
        {1024, 600, 400, 100, 2},                              // no zoom leaves room: the height decides
        {2147483000, 2147483000, 2147483000, 2147483000, 4},   // numbers that would overflow a sum
    };
    for (const auto& s : screens)
        EXPECT_EQ(AutomaticZoom(s.height, 36, 4, {s.beside, s.mainLeft, s.width, 16}), s.zoom)
            << s.height << " " << s.width << " " << s.mainLeft;
    EXPECT_EQ(AutomaticZoom(2120, 36, 2), 2) << "no more than the screen allows";
}

// The NetPlay window (390 by 326 with its frame) opens first, then the turn
// report (333 by 249) beside it, the main window centred at the automatic
// zoom for a NetPlay session (41 pixels of menu and margins).
TEST(Placement, NewWindowsOpenWhereTheyCoverNoneOfTheBoard)
{
    // Where there is room: the NetPlay window right of the main window, the
    // report left of it (or below, where the left is too narrow). Without
    // room they cover some of the board, and the Moves panel only where
    // every place would (a NetPlay window wider than the board's half).
    struct Case { const char* name; int width, height, zoom; bool room, panelFree; QPoint chat, report; };
    const Case cases[] = {
        {"1280x1024 (1x for NetPlay, left where 2x was centred)", 1280, 1024, 1, true, true, {656, 211}, {272, 540}},
        {"1366x768", 1366, 768, 1, true, true, {879, 223}, {154, 223}},
        {"1920x1080", 1920, 1080, 2, true, true, {1336, 239}, {251, 239}},
        {"2560x1440", 2560, 1440, 2, true, true, {1656, 419}, {571, 419}},
        {"1024x600", 1024, 600, 1, false, true, {}, {}},
        {"640x480", 640, 480, 1, false, false, {}, {}},
    };
    const QSize chatSize(390, 326), reportSize(333, 249);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect area(0, 0, c.width, c.height);
        // Centred at the zoom for the screen, then the NetPlay window opens.
        const int first = AutomaticZoom(c.height, 41);
        const QPoint at((c.width - 16 - 360 * first) / 2, (c.height - 41 - 280 * first) / 2);
        const int zoom = AutomaticZoom(c.height, 41, 4, {chatSize.width() + 8, at.x(), c.width, 16});
        ASSERT_EQ(zoom, c.zoom);
        const QRect main(at, QSize(16 + 360 * zoom, 41 + 280 * zoom));
        const QRect board(main.topLeft() + QPoint(8, 33), QSize(360 * zoom, 280 * zoom));
        const std::vector<QRect> panels = MovesPanelPlaces(board);
        const Placement chat = ChooseDialogPlace(chatSize, area, main, board, QRect(), 8);
        const QRect chatAt(QPoint(chat.left, chat.top), chatSize);
        const Placement report = ChooseDialogPlace(reportSize, area, main, board, chatAt, 8);
        const QRect reportAt(QPoint(report.left, report.top), reportSize);
        for (const QRect& at : {chatAt, reportAt}) {
            EXPECT_TRUE(area.contains(at)) << "on the screen";
            EXPECT_EQ(at.intersects(board), !c.room);
            EXPECT_EQ(at.intersects(panels[0]) || at.intersects(panels[1]), !c.panelFree) << "the Moves panel";
        }
        if (c.room) {
            EXPECT_FALSE(reportAt.intersects(chatAt)) << "the report beside the NetPlay window";
            EXPECT_EQ(std::pair(chatAt.topLeft(), reportAt.topLeft()), std::pair(c.chat, c.report));
        }
    }

    // Right of the main window first, then left, below, above: each where
    // only that side has room for a 300 by 100 window next to a 376 by 321
    // one on an 800 by 700 screen.
    const struct { QPoint main; QPoint want; } sides[] = {
        {{10, 200}, {394, 200}}, {{414, 200}, {106, 200}}, {{212, 10}, {212, 339}}, {{212, 369}, {212, 261}}};
    for (const auto& s : sides) {
        const QRect main(s.main, QSize(376, 321));
        const Placement p = ChooseDialogPlace({300, 100}, {0, 0, 800, 700}, main,
                                              main.adjusted(8, 33, -8, -8), QRect(), 8);
        EXPECT_EQ(QPoint(p.left, p.top), s.want) << s.main.x() << "," << s.main.y();
    }
}

TEST(Settings, PreferencesKeepTheZoomAndTheStrengthAndIgnoreTheRest)
{
    Preferences s, in;
    s.ZoomChoice = 3, s.ComputerStrength = 2;
    EXPECT_EQ(FormatPreferences(s), QByteArray("zoom=3\nstrength=hard\n"));
    ParsePreferences("zoom=9\nstrength=mighty\n\xff=\x01\nnonsense\n", in);
    EXPECT_EQ(std::pair(in.ZoomChoice, in.ComputerStrength), std::pair(0, 1)) << "defaults kept";
    ParsePreferences(" zoom = 4 \r\nstrength=easy", in);
    EXPECT_EQ(std::pair(in.ZoomChoice, in.ComputerStrength), std::pair(4, 0));
    QTemporaryDir dir;
    ASSERT_TRUE(WritePreferences(dir.filePath("preferences.ini"), s));
    ReadPreferences(dir.filePath("preferences.ini"), in);
    EXPECT_EQ(std::pair(in.ZoomChoice, in.ComputerStrength), std::pair(3, 2));
}
