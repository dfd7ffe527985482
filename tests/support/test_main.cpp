// Runs the suite headless with a driven engine clock, so every polling wait in
// the game finishes at once in real time.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#include "engine/PavixGames.h"

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
    PavixGames::UseSteppingTestClock();
    return RUN_ALL_TESTS();
}
