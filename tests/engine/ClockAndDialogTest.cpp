// The engine clock, the event pump, and the file dialogs' filter (the dialog
// hook is checked through the game's Load and Save in tests/game/MenuTest.cpp).
#include "EngineFixture.h"

#include <QTimer>

using namespace PavixGames;

class ClockTest : public EngineFixture {};

TEST_F(ClockTest, RealClockCountsFromTheStartTestClocksAreReadAsGivenOrStepOnEveryRead)
{
    SetTestClock(nullptr);
    StartEngine(0);
    const double real = GetEngineTime();
    EXPECT_TRUE(real >= 0.0 && real < 5.0 && GetEngineTime() >= real) << real;
    double now = 1.25;
    SetTestClock([&] { return now; });
    EXPECT_DOUBLE_EQ(GetEngineTime(), 1.25);
    now = 3.5;
    EXPECT_DOUBLE_EQ(GetEngineTime(), 3.5);
    // A polling wait of one second ends after a bounded number of polls, and pumps what is pending.
    UseSteppingTestClock();
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    const double start = GetEngineTime();
    int polls = 0;
    while (GetEngineTime() - start <= 1.0 && polls < 100000)
        ++polls, DoEvents();
    EXPECT_NEAR(polls, 200, 1);
    EXPECT_TRUE(ran);
}

TEST(FilterTest, PipeFiltersBecomeQtFilters)
{
    // The game's filter shows its pattern already; a further entry gets its pattern added.
    EXPECT_EQ(ConvertFilter(QStringLiteral("Turrion Saves (*.trs)|*.trs|Other|*.b")),
              QStringLiteral("Turrion Saves (*.trs);;Other (*.b)"));
}
