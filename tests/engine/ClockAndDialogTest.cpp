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

TEST(FilterTest, DescriptionHoldingItsPatternIsKept)
{
    EXPECT_EQ(ConvertFilter(QStringLiteral("Turrion Saves (*.trs)|*.trs")),
              QStringLiteral("Turrion Saves (*.trs)"));
}

TEST(FilterTest, PatternIsAddedToABareDescription)
{
    EXPECT_EQ(ConvertFilter(QStringLiteral("Desc (*.a)|*.a|Other|*.b")),
              QStringLiteral("Desc (*.a);;Other (*.b)"));
}

TEST(FilterTest, SeveralPatternsAreSpaceSeparated)
{
    EXPECT_EQ(ConvertFilter(QStringLiteral("Pictures|*.png;*.bmp")),
              QStringLiteral("Pictures (*.png *.bmp)"));
    EXPECT_EQ(ConvertFilter(QStringLiteral("Pictures (*.png;*.bmp)|*.png;*.bmp")),
              QStringLiteral("Pictures (*.png *.bmp)"));
}

TEST(FilterTest, EmptyEntryEndsTheListAndOddDescriptionIsDropped)
{
    EXPECT_EQ(ConvertFilter(QString()), QString());
    EXPECT_EQ(ConvertFilter(QStringLiteral("A|*.a||B|*.b")), QStringLiteral("A (*.a)"));
    EXPECT_EQ(ConvertFilter(QStringLiteral("A|*.a|Lonely")), QStringLiteral("A (*.a)"));
    EXPECT_EQ(ConvertFilter(QStringLiteral("|||")), QString());
}

// ---- Dialog hook ---------------------------------------------------------------

class DialogTest : public EngineFixture {};

TEST_F(DialogTest, OpenDialogPassesItsArgumentsAndReturnsTheChoice)
{
    DialogRequest seen;
    SetDialogHook([&](const DialogRequest& request) {
        seen = request;
        return QStringLiteral("/home/p/game.trs");
    });
    const QString chosen =
        ShowOpenDialog(nullptr, QStringLiteral("Load Turrion Game"),
                       QStringLiteral("Turrion Saves (*.trs)|*.trs"), QString(), 0x1804);
    EXPECT_EQ(chosen, QStringLiteral("/home/p/game.trs"));
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.title, QStringLiteral("Load Turrion Game"));
    EXPECT_EQ(seen.filter, QStringLiteral("Turrion Saves (*.trs)|*.trs"));
    EXPECT_EQ(seen.flags, 0x1804u);
}

TEST_F(DialogTest, SaveDialogPassesTheDefaultExtension)
{
    DialogRequest seen;
    SetDialogHook([&](const DialogRequest& request) {
        seen = request;
        return QStringLiteral("/tmp/a.trs");
    });
    EXPECT_EQ(ShowSaveDialog(nullptr, QStringLiteral("Save Turrion Game"),
                             QStringLiteral("Turrion Saves (*.trs)|*.trs"), QString(),
                             QStringLiteral("trs"), 0x806),
              QStringLiteral("/tmp/a.trs"));
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.defaultExt, QStringLiteral("trs"));
    EXPECT_EQ(seen.flags, 0x806u);
}

TEST_F(DialogTest, CancelGivesEmptyString)
{
    SetDialogHook([](const DialogRequest&) { return QString(); });
    EXPECT_EQ(ShowOpenDialog(nullptr, QStringLiteral("Load"), QStringLiteral("A|*.a"), QString(), 0),
              QString());
    EXPECT_EQ(ShowSaveDialog(nullptr, QStringLiteral("Save"), QStringLiteral("A|*.a"), QString(),
                             QStringLiteral("a"), 0),
              QString());
}
