// Shared set-up of the engine tests: every test runs the engine in a fresh
// temporary folder and leaves no module state behind.
#pragma once

#include "engine/gui/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"
#include "engine/gui/PavixSfxAPI.h"
#include "tests/support/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        PavixGDI::ResetForTests(), PavixGames::ResetForTests(), PavixGames::ResetDialogsForTests();
        PavixGames::SetAppPathOverride(dir_.path());
    }
    void TearDown() override
    {
        PavixGDI::ResetForTests(), PavixGames::ResetForTests(), PavixGames::ResetDialogsForTests();
        PavixGames::SetAppPathOverride(QString()), PavixGames::UseManualClock();
        PavixSfxAPI::SetPlayHook(nullptr);
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};
