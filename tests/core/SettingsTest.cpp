// settings.dat and the window placement arithmetic.
#include "core/GameState.h"
#include "core/Placement.h"
#include "core/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace Turrion;

TEST(Settings, WritesSixLinesInTheExactFormatAndReadsThemBack)
{
    State s;
    s.MainLeft = 1440;
    s.MainTop = -15;
    s.ReportLeft = 0;
    s.ReportTop = 7;
    s.ChatLeft = -2147483647 - 1;
    s.ChatTop = 2147483647;
    EXPECT_EQ(FormatSettings(s), QByteArray(" 1440 \r\n-15 \r\n 0 \r\n 7 \r\n-2147483648 \r\n 2147483647 \r\n"));

    QTemporaryDir dir;
    const QString path = dir.path() + "/settings.dat";
    ASSERT_TRUE(WriteSettings(path, s));
    State in;
    ReadSettings(path, in);
    EXPECT_EQ(FormatSettings(in), FormatSettings(s));
}

TEST(Settings, DamagedOrMissingFilesKeepZeroForWhatCannotBeRead)
{
    // Nothing after an unreadable value is trusted.
    const struct {
        QByteArray text;
        int mainLeft, mainTop, reportLeft, reportTop;
    } cases[] = {
        {" 100 \r\n 200 \r\nrubbish\r\n 400 \r\n", 100, 200, 0, 0},
        {"1 2\n3", 1, 2, 3, 0},                       // fewer than six, other spacing
        {" 99999999999999 \r\n 5 \r\n", 0, 0, 0, 0}, // does not fit 32 bits
        {QByteArray("\0\xff-", 3), 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        State s;
        ParseSettings(c.text, s);
        EXPECT_EQ(std::vector<int>({s.MainLeft, s.MainTop, s.ReportLeft, s.ReportTop}),
                  std::vector<int>({c.mainLeft, c.mainTop, c.reportLeft, c.reportTop}))
            << c.text.toStdString();
    }
    QTemporaryDir dir;
    State w;
    ReadSettings(dir.path() + "/missing.dat", w);
    EXPECT_EQ(w.MainLeft, 0);
}

TEST(Settings, AFailedWriteReportsFalseAndLeavesNoFile)
{
    State s;
    EXPECT_FALSE(WriteSettings("/nonexistent-folder/settings.dat", s));
}

TEST(Placement, CentresAnUnplacedWindowAndClampsToTheScreen)
{
    const struct {
        int left, top, width, height, wantLeft, wantTop;
    } cases[] = {
        {0, 0, 5655, 4571, 9600 - 2827, 7200 - 2285}, // never placed: centred, whole-twip halves
        {300, 0, 5000, 4000, 300, 0},                 // fits: used as it is
        {-900, -30, 5000, 4000, 0, 0},                // off the top left
        {18000, 13000, 5000, 4000, 14200, 10400},     // off the bottom right
    };
    for (const auto& c : cases) {
        const Placement p = MainWindowPlacement(c.left, c.top, c.width, c.height, 19200, 14400);
        EXPECT_EQ(p.left, c.wantLeft) << c.left;
        EXPECT_EQ(p.top, c.wantTop) << c.top;
    }
    // A window larger than the screen ends at the screen's far edge.
    const Placement q = ClampToScreen({10, 10}, 3000, 3000, 2000, 2000);
    EXPECT_EQ(q.left, -1000);
    EXPECT_EQ(q.top, -1000);
}

TEST(Placement, ZoomSuitsTheScreenAndNewWindowsOpenBesideTheBoard)
{
    // The largest zoom whose window (36 pixels of menu and margins, 280 per
    // zoom of board) takes at most 60 % of the available height.
    const struct { int available, zoom; } screens[] = {
        {400, 1}, {738, 1}, {1040, 2}, {1400, 2}, {1480, 3}, {2120, 4}};
    for (const auto& screen : screens)
        EXPECT_EQ(AutomaticZoom(screen.available, 36, 4), screen.zoom) << screen.available;
    EXPECT_EQ(AutomaticZoom(2120, 36, 2), 2) << "no more than the screen allows";

    // A 400 by 300 window beside a 376 by 316 main window at (100, 50):
    // right of it on a wide screen, left where only that fits, below on a
    // narrow one, and always on the screen.
    const struct { int mainLeft, screenWidth, screenHeight, left, top; } cases[] = {
        {100, 1920, 1080, 484, 50}, {1500, 1920, 1080, 1092, 50}, {100, 800, 1080, 100, 374},
        {100, 800, 500, 100, 200}};
    for (const auto& c : cases) {
        const Placement p = BesideMainWindow(c.mainLeft, 50, 376, 316, 400, 300, 0, 0,
                                             c.screenWidth, c.screenHeight, 8);
        EXPECT_EQ(std::pair(p.left, p.top), std::pair(c.left, c.top)) << c.mainLeft << " " << c.screenWidth;
    }
}

TEST(Settings, PreferencesKeepTheZoomAndTheStrengthAndIgnoreTheRest)
{
    State s;
    s.ZoomChoice = 3, s.ComputerStrength = 2;
    EXPECT_EQ(FormatPreferences(s), QByteArray("zoom=3\nstrength=hard\n"));
    State in;
    ParsePreferences("zoom=9\nstrength=mighty\n\xff=\x01\nnonsense\n", in);
    EXPECT_EQ(std::pair(in.ZoomChoice, in.ComputerStrength), std::pair(0, 1)) << "defaults kept";
    ParsePreferences(" zoom = 4 \r\nstrength=easy", in);
    EXPECT_EQ(std::pair(in.ZoomChoice, in.ComputerStrength), std::pair(4, 0));
}
