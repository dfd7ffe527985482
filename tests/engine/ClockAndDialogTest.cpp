// The engine clock, the event pump, and the file dialogs' filter and hook.
#include "EngineFixture.h"

#include <QCoreApplication>
#include <QTimer>

using namespace PavixGames;

class ClockTest : public EngineFixture {};

TEST_F(ClockTest, TestClockValueIsReturnedAsIs)
{
    double now = 1.25;
    SetTestClock([&] { return now; });
    StartEngine(0);
    EXPECT_TRUE(TestClockActive());
    EXPECT_DOUBLE_EQ(GetEngineTime(), 1.25);
    now = 3.5;
    EXPECT_DOUBLE_EQ(GetEngineTime(), 3.5);
}

TEST_F(ClockTest, SteppingClockAdvancesOnEveryRead)
{
    UseSteppingTestClock(0.25);
    const double first = GetEngineTime();
    EXPECT_DOUBLE_EQ(GetEngineTime() - first, 0.25);
    EXPECT_DOUBLE_EQ(GetEngineTime() - first, 0.5);

    // A polling wait of one second ends after a bounded number of polls.
    UseSteppingTestClock();
    const double start = GetEngineTime();
    int polls = 0;
    while (GetEngineTime() - start <= 1.0 && polls < 100000)
        ++polls;
    EXPECT_NEAR(polls, 200, 1);
}

TEST_F(ClockTest, RealClockCountsFromStart)
{
    SetTestClock(nullptr);
    EXPECT_FALSE(TestClockActive());
    StartEngine(0);
    EXPECT_GT(Engine().PerfFrequency, 0);
    const double a = GetEngineTime();
    const double b = GetEngineTime();
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, 5.0);
    EXPECT_GE(b, a);
}

TEST_F(ClockTest, DoEventsRunsPendingEventsUnderTheTestClock)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    DoEvents();
    EXPECT_TRUE(ran);
}

// ---- Filters -----------------------------------------------------------------

TEST(FilterTest, PipeFiltersBecomeQtFilters)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Turrion Saves (*.trs)|*.trs", "Turrion Saves (*.trs)"}, // pattern already shown
        {"Desc (*.a)|*.a|Other|*.b", "Desc (*.a);;Other (*.b)"},  // pattern added
        {"Pictures|*.png;*.bmp", "Pictures (*.png *.bmp)"},
        {"Pictures (*.png;*.bmp)|*.png;*.bmp", "Pictures (*.png *.bmp)"},
        {"", ""},
        {"A|*.a||B|*.b", "A (*.a)"}, // an empty entry ends the list
        {"A|*.a|Lonely", "A (*.a)"}, // a description without pattern is dropped
        {"|||", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertFilter(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

// ---- Dialog hook ---------------------------------------------------------------

class DialogTest : public EngineFixture {};

TEST_F(DialogTest, DialogsPassTheirArgumentsAndReturnTheChoice)
{
    DialogRequest seen;
    QString answer = QStringLiteral("/home/p/game.trs");
    SetDialogHook([&](const DialogRequest& request) {
        seen = request;
        return answer;
    });
    EXPECT_EQ(ShowOpenDialog(nullptr, QStringLiteral("Load Turrion Game"),
                             QStringLiteral("Turrion Saves (*.trs)|*.trs"), QString(), 0x1804),
              answer);
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.title, QStringLiteral("Load Turrion Game"));
    EXPECT_EQ(seen.filter, QStringLiteral("Turrion Saves (*.trs)|*.trs"));
    EXPECT_EQ(seen.flags, 0x1804u);

    answer.clear(); // cancelled
    EXPECT_EQ(ShowSaveDialog(nullptr, QStringLiteral("Save Turrion Game"),
                             QStringLiteral("Turrion Saves (*.trs)|*.trs"), QString(),
                             QStringLiteral("trs"), 0x806),
              QString());
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.defaultExt, QStringLiteral("trs"));
    EXPECT_EQ(seen.flags, 0x806u);
}
