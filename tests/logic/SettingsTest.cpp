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
    };
    for (const auto& c : cases) {
        const Placement p = MainWindowPlacement(c.left, c.top, c.width, c.height, 19200, 14400);
        EXPECT_EQ(std::pair(p.left, p.top), std::pair(c.wantLeft, c.wantTop)) << c.left;
    }
    // A window larger than the screen ends at the screen's far edge.
    const Placement q = ClampToScreen({10, 10}, 3000, 3000, 2000, 2000);
    EXPECT_EQ(std::pair(q.left, q.top), std::pair(-1000, -1000));
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
