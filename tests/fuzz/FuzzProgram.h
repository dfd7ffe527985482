// The start of a fuzz target that runs the whole program: a QApplication on
// the offscreen platform, a throw-away program folder and the manual clock.
#pragma once

#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

namespace FuzzSupport {

inline void StartOffscreenProgram()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_LOGGING_RULES", "qt.*=false", 1);
    static char name[] = "fuzz", *argv[] = {name, nullptr};
    static int argc = 1;
    new QApplication(argc, argv);
    static QTemporaryDir folder;
    PavixGames::SetAppPathOverride(folder.path());
    PavixGames::UseManualClock();
}

} // namespace FuzzSupport
