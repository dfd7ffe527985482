// Runs the suite headless with the manual engine clock: the game's pauses
// and animations move on only when a test moves the clock.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "engine/PavixSteps.h"

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Files the program writes outside its folder stay inside the run.
    QTemporaryDir userFolders;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(userFolders.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(userFolders.filePath(QStringLiteral("data"))));
    ::testing::InitGoogleTest(&argc, argv);
    PavixGames::UseManualClock();
    return RUN_ALL_TESTS();
}
