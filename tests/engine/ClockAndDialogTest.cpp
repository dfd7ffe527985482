// The engine clock, the event pump, and the file dialogs' filter (the dialog
// hook is checked through the game's Load and Save in tests/core/MenuTest.cpp).
#include "EngineFixture.h"

#include <QTimer>

using namespace PavixGames;

class ClockTest : public EngineFixture {};

TEST_F(ClockTest, TestClocksAreReadAsGivenOrStepOnEveryRead)
{
    double now = 1.25;
    SetTestClock([&] { return now; });
    StartEngine(0);
    EXPECT_DOUBLE_EQ(GetEngineTime(), 1.25);
    now = 3.5;
    EXPECT_DOUBLE_EQ(GetEngineTime(), 3.5);

    // A polling wait of one second ends after a bounded number of polls.
    UseSteppingTestClock();
    const double start = GetEngineTime();
    int polls = 0;
    while (GetEngineTime() - start <= 1.0 && polls < 100000)
        ++polls;
    EXPECT_NEAR(polls, 200, 1);
}

TEST_F(ClockTest, RealClockCountsFromStartAndDoEventsRunsPendingEvents)
{
    SetTestClock(nullptr);
    EXPECT_FALSE(TestClockActive());
    StartEngine(0);
    const double a = GetEngineTime();
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, 5.0);
    EXPECT_GE(GetEngineTime(), a);

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    DoEvents();
    EXPECT_TRUE(ran);
}

TEST(FilterTest, PipeFiltersBecomeQtFilters)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Turrion Saves (*.trs)|*.trs", "Turrion Saves (*.trs)"}, // pattern already shown
        {"Desc (*.a)|*.a|Other|*.b", "Desc (*.a);;Other (*.b)"},  // pattern added
        {"A|*.a||B|*.b", "A (*.a)"}, // an empty entry ends the list
        {"A|*.a|Lonely", "A (*.a)"}, // a description without pattern is dropped
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertFilter(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
