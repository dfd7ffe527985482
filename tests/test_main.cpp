// Runs the suite headless with a driven engine clock, so every polling wait in
// the game finishes at once in real time.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "engine/PavixGames.h"

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    PavixGames::UseSteppingTestClock();
    return RUN_ALL_TESTS();
}
