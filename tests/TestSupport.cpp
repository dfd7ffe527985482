#include "tests/TestSupport.h"

#include "core/Drawing.h"
#include "core/frmMain.h"
#include "core/modTurrion.h"
#include "engine/MessageBox.h"
#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PictureBox.h"
#include "turnreport/frmTurnReport.h"

#include <QPushButton>

namespace TestSupport {

void ResetAll(const QString& folder)
{
    PavixGames::ResetForTests();
    PavixGDI::ResetForTests();
    Turrion::ResetGame();
    PavixGames::SetAppPathOverride(folder);
    PavixGames::UseSteppingTestClock();
    Turrion::SetExitHook([] {});
}

void GameTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    ResetAll(dir_.path());
    // The turn report is modal: a loop pass at a turn start would wait for
    // a click forever. Unless a test answers it itself, it recruits nothing.
    Turrion::SetTurnReportHook([](Turrion::frmTurnReport& report) { report.cmdNoPiece->click(); });
    if (autoStart)
        Start();
}

void GameTest::Start(const QString& commandLine)
{
    form = Turrion::StartUp(commandLine);
}

void GameTest::TearDown()
{
    if (form && !Turrion::Game().QuitFlag) {
        Turrion::Shutdown();
    }
    delete form;
    form = nullptr;
    Turrion::SetTurnReportHook(nullptr);
    PavixGDI::ResetForTests();
    PavixGames::ResetForTests();
    Turrion::ResetGame();
}

const QImage& GameTest::BackBuffer() const
{
    return *PavixGDI::Surface(PavixGDI::ViewportPic(Turrion::Game().ViewPort));
}

const QImage& GameTest::Screen() const
{
    return form->picViewPort->Picture();
}

QImage GameTest::Cell(const QImage& image, int col, int row)
{
    return image.copy(col * 40, row * 40, 40, 40);
}

void GameTest::ClearBoard()
{
    for (int c = 0; c < Turrion::Cols; ++c)
        for (int r = 0; r < Turrion::Rows; ++r)
            S().Board[c][r] = S().Owner[c][r] = 0;
}

void GameTest::Put(int col, int row, int owner, int piece)
{
    S().Owner[col][row] = owner;
    S().Board[col][row] = piece;
}

void MessageGameTest::SetUp()
{
    PavixGames::SetMessageBoxHook([this](const PavixGames::MessageRequest& m) {
        messages.push_back(m.text);
        return PavixGames::MsgResult::OK;
    });
    GameTest::SetUp();
}

void MessageGameTest::TearDown()
{
    PavixGames::SetMessageBoxHook(nullptr);
    GameTest::TearDown();
}

void RunWhen(std::function<bool()> when, std::function<void()> action)
{
    PavixGames::SetPumpHook([when, action] {
        if (!when())
            return;
        PavixGames::SetPumpHook(nullptr);
        action();
    });
}

void ExpectSameGame(const Turrion::State& a, const Turrion::State& b)
{
    for (int c = 0; c < Turrion::Cols; ++c)
        for (int r = 0; r < Turrion::Rows; ++r) {
            EXPECT_EQ(a.Board[c][r], b.Board[c][r]) << "Board at " << c << "," << r;
            EXPECT_EQ(a.Owner[c][r], b.Owner[c][r]) << "Owner at " << c << "," << r;
        }
    EXPECT_EQ(a.CurrentPlayer, b.CurrentPlayer);
    EXPECT_EQ(a.TurnNumber, b.TurnNumber);
    EXPECT_EQ(a.MovesLeft, b.MovesLeft);
    EXPECT_EQ(a.FreshTurn, b.FreshTurn);
    EXPECT_EQ(a.RecruitKind, b.RecruitKind);
    EXPECT_EQ(a.GameState, b.GameState);
    EXPECT_EQ(a.ResumeState, b.ResumeState);
    EXPECT_EQ(a.CursorCol, b.CursorCol);
    EXPECT_EQ(a.CursorRow, b.CursorRow);
    EXPECT_EQ(a.GameFileName, b.GameFileName);
    EXPECT_EQ(a.NetGame, b.NetGame);
    EXPECT_EQ(a.NetGameColor, b.NetGameColor);
}

} // namespace TestSupport
