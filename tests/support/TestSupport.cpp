#include "tests/support/TestSupport.h"
#include "game/Screen.h"

#include "game/GameFlow.h"
#include "game/frmMain.h"
#include "engine/PavixSteps.h"
#include "engine/gui/MessageBox.h"
#include "engine/gui/PavixGDI.h"
#include "engine/gui/PavixSfxAPI.h"
#include "engine/gui/PictureBox.h"
#include "game/frmTurnReport.h"

#include <QPushButton>

namespace TestSupport {

void ResetAll(const QString& folder)
{
    PavixGames::ResetForTests();
    PavixGames::ResetDialogsForTests();
    PavixGDI::ResetForTests();
    Turrion::ResetGame();
    Turrion::ResetScreen();
    PavixGames::SetAppPathOverride(folder);
    PavixGames::UseManualClock();
    Turrion::SetExitHook([] {});
}

void GameTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    ResetAll(dir_.path());
    // Unless a test answers the turn report itself, it recruits nothing.
    Turrion::SetTurnReportHook([](Turrion::frmTurnReport& report) { report.cmdNoPiece->click(); });
    if (autoStart)
        Start();
}

void GameTest::TearDown()
{
    if (form && !Turrion::TheScreen().QuitFlag)
        Turrion::Shutdown();
    delete form;
    form = nullptr;
    Turrion::SetTurnReportHook(nullptr);
    PavixSfxAPI::SetPlayHook(nullptr);
    PavixGDI::ResetForTests();
    PavixGames::ResetForTests();
    PavixGames::ResetDialogsForTests();
    Turrion::ResetGame();
    Turrion::ResetScreen();
}

const QImage& GameTest::BackBuffer() const
{
    return *PavixGDI::Surface(PavixGDI::ViewportPic(Turrion::TheScreen().ViewPort));
}

const QImage& GameTest::Screen() const
{
    return form->picViewPort->Picture();
}

void GameTest::ClearBoard()
{
    for (int c = 0; c < Turrion::Cols; ++c)
        for (int r = 0; r < Turrion::Rows; ++r)
            S().Board[c][r] = S().Owner[c][r] = 0;
}

void MessageGameTest::SetUp()
{
    PavixGames::SetMessageBoxHook([this](const PavixGames::MessageRequest& m) {
        messages.push_back(m.text);
        return PavixGames::MsgResult::OK;
    });
    GameTest::SetUp();
    PavixGames::SetDialogHook([this](const PavixGames::DialogRequest& r) {
        dialogs.push_back(r);
        return dialogAnswer;
    });
    PavixGames::SetShellHook([this](const QString& target) { opened.push_back(target); });
}

void MessageGameTest::TearDown()
{
    PavixGames::SetMessageBoxHook(nullptr);
    GameTest::TearDown();
}

bool StepUntil(const std::function<bool()>& when)
{
    for (int n = 0; n < 100000; ++n) {
        if (when())
            return true;
        if (!PavixGames::RunNextStep())
            return when();
    }
    return false;
}

void Settle()
{
    // The game-over blink never ends: a finished game with nothing else to
    // wait for is settled.
    for (int n = 0; n < 100000 && PavixGames::RunNextStep(); ++n)
        if (Turrion::Game().GameState == Turrion::PhaseGameOver && Turrion::Waiting() == Turrion::Wait::None)
            return;
}

} // namespace TestSupport
