// settings.dat and the window placement arithmetic.
#include "core/GameState.h"
#include "core/Placement.h"
#include "core/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    State s;
    ParseSettings(" 100 \r\n 200 \r\nrubbish\r\n 400 \r\n", s);
    EXPECT_EQ(s.MainLeft, 100);
    EXPECT_EQ(s.MainTop, 200);
    EXPECT_EQ(s.ReportLeft, 0);
    EXPECT_EQ(s.ReportTop, 0) << "nothing after an unreadable value is trusted";

    State t;
    ParseSettings("1 2\n3", t); // fewer than six, other spacing
    EXPECT_EQ(t.MainLeft, 1);
    EXPECT_EQ(t.MainTop, 2);
    EXPECT_EQ(t.ReportLeft, 3);
    EXPECT_EQ(t.ReportTop, 0);

    State u;
    ParseSettings(" 99999999999999 \r\n 5 \r\n", u); // does not fit 32 bits
    EXPECT_EQ(u.MainLeft, 0);
    EXPECT_EQ(u.MainTop, 0);

    State v;
    ParseSettings(QByteArray("\0\xff-", 3), v);
    EXPECT_EQ(v.MainLeft, 0);

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
