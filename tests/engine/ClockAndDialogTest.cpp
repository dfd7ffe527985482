// The engine clock, the steps scheduled on it, and the file dialogs' filter
// (the dialog hook is checked through the game's Load and Save in
// tests/game/MenuTest.cpp).
#include "EngineFixture.h"
#include "engine/PavixSteps.h"

#include <QTest>
#include <cmath>
#include <string>

using namespace PavixGames;

class ClockTest : public EngineFixture {
protected:
    void TearDown() override
    {
        UseManualClock();
        EngineFixture::TearDown();
    }
};

TEST_F(ClockTest, StepsRunInTimeOrderAtTheirOwnTimeAndOnlyOnce)
{
    // The manual clock: nothing runs until it moves; then every step due
    // runs in time order (equal times in the order scheduled), each seeing
    // the clock at its own time, and steps scheduled by steps run too.
    UseManualClock(true, 10.0);
    std::string log;
    const auto note = [&](char c) { return [&, c] { log += c + std::to_string(std::lround(GetEngineTime() * 100)) + ' '; }; };
    After(0.5, note('b'));
    After(0.2, note('a'));
    const StepId dropped = After(0.3, note('x'));
    After(0.5, [&] { note('c')(); After(0.1, note('d')); After(5, note('z')); });
    EXPECT_EQ(PendingSteps(), 4);
    EXPECT_TRUE(Pending(dropped));
    Cancel(dropped);
    Cancel(dropped);
    EXPECT_FALSE(Pending(dropped));
    EXPECT_EQ(log, "");
    EXPECT_EQ(AdvanceClock(1.0), 4);
    EXPECT_EQ(log, "a1020 b1050 c1050 d1060 ");
    EXPECT_DOUBLE_EQ(GetEngineTime(), 11.0);
    EXPECT_TRUE(RunNextStep());
    EXPECT_EQ(log, "a1020 b1050 c1050 d1060 z1550 ");
    EXPECT_FALSE(RunNextStep());
    After(-1, note('n'));
    After(std::nan(""), note('m'));
    EXPECT_EQ(AdvanceClock(0), 2) << "a negative or undefined delay means now";

    // The real clock counts from the start; its steps are timers that the
    // event loop runs, and a cancelled one never runs.
    UseManualClock(false);
    StartEngine(0);
    const double real = GetEngineTime();
    EXPECT_TRUE(real >= 0.0 && real < 5.0 && GetEngineTime() >= real) << real;
    bool ran = false, cancelled = false;
    After(0.01, [&] { ran = true; });
    Cancel(After(0, [&] { cancelled = true; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(PendingSteps(), 0);
}

TEST(FilterTest, PipeFiltersBecomeQtFilters)
{
    // The game's filter shows its pattern already; a further entry gets its pattern added.
    EXPECT_EQ(ConvertFilter(QStringLiteral("Turrion Saves (*.trs)|*.trs|Other|*.b")),
              QStringLiteral("Turrion Saves (*.trs);;Other (*.b)"));
}
