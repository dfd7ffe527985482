// Cannon fire through the keys: the flight's frames on the engine clock, the
// moves it costs, where it comes down, and the end of the game.
#include "tests/rules/RulesFixture.h"

#include "core/GameFlow.h"
#include "core/modTurrion.h"
#include "engine/PavixGDI.h"

#include <QTimer>
#include <vector>

using namespace Turrion;

namespace {
struct Frame {
    ShotFrameInfo info;
    QImage screen;
};

QImage PlainFrame(int movesLeft)
{
    Game().MovesLeft = movesLeft;
    DrawBoard();
    DrawMovesPanel();
    return PavixGDI::Surface(PavixGDI::ViewportPic(Game().ViewPort))->copy();
}

// `shown` is `plain` with the 40x40 ball ANDed on at (x, y) and nothing else.
void ExpectBallOnly(const QImage& shown, const QImage& plain, const QImage& ball, int x, int y,
                    const char* what)
{
    int wrong = 0;
    for (int py = 0; py < shown.height(); ++py)
        for (int px = 0; px < shown.width(); ++px) {
            QRgb expected = plain.pixel(px, py);
            if (px >= x && px < x + 40 && py >= y && py < y + 40)
                expected = (expected & ball.pixel(px - x, py - y)) | 0xFF000000u;
            wrong += shown.pixel(px, py) != expected;
        }
    EXPECT_EQ(wrong, 0) << what;
}
} // namespace

TEST_F(RulesGame, FlightFramesPacingPanelAndNoTrail)
{
    MovePhase(Blue, 6);
    Put(1, 3, Blue, CannonReady);
    Put(3, 3, Blue, Wizard); // flown over
    Put(5, 3, Red, King);    // flown over too
    Put(6, 3, Red, Wizard);  // where it comes down (power 5)
    Put(0, 0, Blue, King);
    Select(1, 3);

    std::vector<Frame> frames;
    SetShotFrameHook([&](const ShotFrameInfo& info) {
        frames.push_back({info, Screen().copy()});
        if (frames.size() > 1)
            return;
        EXPECT_EQ(sounds, QStringList{"cannon.wav"});
        EXPECT_FALSE(frmMain::MenuEnabled(form->mnuGame));
        EXPECT_TRUE(frmMain::MenuEnabled(form->mnuNet));
        // Keys during the flight are swallowed and do not queue up.
        form->KeyReady = true;
        int key = 38;
        form->Form_KeyDown(key, 0);
        EXPECT_EQ(key, 0);
        Tap(Qt::Key_Up);
        Tap(Qt::Key_4);
    });
    Press(Qt::Key_5);
    SetShotFrameHook(nullptr);

    ASSERT_EQ(frames.size(), 4u * 8u + 3u + 1u);
    EXPECT_EQ(S().MovesLeft, 1);
    EXPECT_EQ(S().Board[1][3], CannonFired);
    EXPECT_EQ(S().CursorRow, 3); // the keys pressed in flight moved nothing
    EXPECT_EQ(std::pair(S().Board[6][3], S().Owner[6][3]), std::pair(int(Fire), int(Blue)));
    EXPECT_EQ(sounds, (QStringList{"cannon.wav", "cb_hit.wav"}));
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuGame));

    // Pacing, positions, the Moves panel counting down, no trail.
    S().Board[6][3] = Wizard;
    S().Owner[6][3] = Red;
    const QImage sheet = GraphicsForm()->picCannonBall->Picture();
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const ShotFrameInfo& f = frames[k].info;
        const double gap = k == 0 ? 1 : f.time - frames[k - 1].info.time;
        if (k < 32) {
            const int cell = int(k / 8) + 1, n = int(k % 8);
            EXPECT_EQ(f.kind, ShotFrameKind::Flight);
            EXPECT_EQ(f.ballX, (1 + cell) * 40 + 5 * n) << k;
            EXPECT_EQ(f.ballY, 120);
            EXPECT_EQ(f.movesLeft, 6 - (cell - 1)) << k;
            EXPECT_GE(gap, 0.02 - 1e-9) << k;
        } else if (k < 35) {
            EXPECT_EQ(f.kind, ShotFrameKind::Landing);
            EXPECT_EQ(f.frame, int(k) - 31);
            EXPECT_EQ(f.ballX, 240);
            EXPECT_EQ(f.movesLeft, 2);
            EXPECT_GE(gap, 0.04 - 1e-9) << k;
        } else {
            EXPECT_EQ(f.kind, ShotFrameKind::Final);
            EXPECT_EQ(f.movesLeft, 1);
        }
        const QImage plain = PlainFrame(f.movesLeft);
        if (f.kind == ShotFrameKind::Final)
            EXPECT_EQ(frames[k].screen, plain);
        else
            ExpectBallOnly(frames[k].screen, plain,
                           sheet.copy(f.kind == ShotFrameKind::Flight ? 0 : f.frame * 40, 40, 40, 40),
                           f.ballX, f.ballY, k < 32 ? "flight" : "landing");
    }
}

TEST_F(RulesGame, RedShotStopsAtTheFirstWallAndFiresOncePerTurn)
{
    MovePhase(Red, 9);
    NetPlayAs(Red);
    Put(6, 0, Red, CannonReady);
    Put(3, 0, Blue, Wall);
    Put(1, 0, Blue, King);
    Select(6, 0);
    std::vector<Frame> frames;
    SetShotFrameHook([&](const ShotFrameInfo& info) { frames.push_back({info, Screen().copy()}); });
    Tap(Qt::Key_8);
    ASSERT_EQ(frames.size(), 2u * 8u + 3u + 1u);
    EXPECT_EQ(frames[9].info.ballX, (6 - 2) * 40 - 5);
    EXPECT_EQ(frames[16].info.ballX, 3 * 40);
    EXPECT_EQ(S().MovesLeft, 6);
    EXPECT_EQ(S().Owner[3][0], Red);
    EXPECT_EQ(sent, QStringList{"FC}03002"});
    // Red's ball comes from the sheet's top row.
    Put(3, 0, Blue, Wall);
    ExpectBallOnly(frames[9].screen, PlainFrame(frames[9].info.movesLeft),
                   GraphicsForm()->picCannonBall->Picture().copy(0, 0, 40, 40),
                   frames[9].info.ballX, 0, "red flight");
    Put(3, 0, Red, Fire);
    S().MovesLeft = 6;
    frames.clear();
    Tap(Qt::Key_2); // fired: no second shot, but it still moves and stays fired
    Tap(Qt::Key_Down);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(S().Board[6][1], CannonFired);
    EXPECT_EQ(sent.last(), "MP}06000601");
}

TEST_F(RulesGame, RiverShotWithSoundOff)
{
    // Power 3 with one move left flies one cell into the river: nothing
    // changes, yet the message goes out; then the turn ends.
    form->mnuGameSfx->setChecked(false);
    MovePhase(Blue, 1);
    NetPlayAs(Blue);
    Put(3, 2, Blue, CannonReady);
    Put(0, 0, Blue, King);
    Put(8, 0, Red, King);
    Select(3, 2);
    Tap(Qt::Key_3);
    EXPECT_EQ(S().Board[4][2], Empty);
    EXPECT_EQ(sent, QStringList{"FC}04021"});
    EXPECT_TRUE(sounds.isEmpty());
    MainLoopPass();
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().Board[3][2], CannonReady);
}

TEST_F(RulesGame, WinningShotEndsTheGame)
{
    MovePhase(Blue, 6);
    NetPlayAs(Blue);
    S().TurnNumber = 4;
    form->mnuTurnEndTurn->setEnabled(true);
    Put(2, 1, Blue, CannonReady);
    Put(0, 3, Blue, King);
    Put(8, 1, Red, King);
    Put(7, 1, Red, Fire); // fire does not stop the ball
    Select(2, 1);

    bool pauseChecked = false;
    SetShotFrameHook([&](const ShotFrameInfo& info) {
        if (info.kind != ShotFrameKind::Final)
            return;
        // Runs inside the one-second pause after the hit: keys do nothing.
        QTimer::singleShot(0, form, [&] {
            pauseChecked = true;
            EXPECT_FALSE(frmMain::MenuEnabled(form->mnuGame));
            form->KeyReady = true;
            Tap(Qt::Key_Left);
            EXPECT_EQ(S().CursorCol, 8);
        });
    });
    Tap(Qt::Key_8);
    EXPECT_TRUE(pauseChecked);
    EXPECT_EQ(sent, QStringList{"FC}08011"});
    EXPECT_EQ(chat, (QStringList{"", "   ** YOU have WON the GAME!!", ""}));
    EXPECT_EQ(S().ResumeState, PhaseGameOver);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(8, 1));
    EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuGame));
    EXPECT_EQ(sounds, (QStringList{"cannon.wav", "cb_hit.wav", "win.wav"}));
    // The King's cell shows Blue's Fire over the King.
    const QImage shown = Screen();
    DrawBoard();
    DrawMovesPanel();
    DrawPieceSprite(Fire, Blue, 8, 1);
    EXPECT_EQ(shown, BackBuffer());

    // The loop's game-over display: Game Over, Blue Wins!!, In Turn #4 on
    // Blue's half and nothing elsewhere.
    MainLoopPass();
    const auto text = YellowText({QRect(0, 40, 160, 18), QRect(0, 60, 160, 18),
                                  QRect(0, 100, 160, 18), QRect(200, 0, 160, 280),
                                  QRect(0, 80, 160, 18)});
    EXPECT_GT(std::min({text[0], text[1], text[2]}), 20);
    EXPECT_EQ(text[3] + text[4], 0);
}

TEST_F(RulesGame, ShotOnOwnKingLosesTheGame)
{
    // A Blue Cannon in column 0 with its own King two cells to the right.
    MovePhase(Blue, 6);
    Put(0, 4, Blue, CannonReady);
    Put(2, 4, Blue, King);
    Put(8, 1, Red, King);
    Select(0, 4);
    Tap(Qt::Key_2);
    EXPECT_EQ(S().GameState, PhaseGameOver);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(2, 4));
    EXPECT_EQ(S().CurrentPlayer, Blue);
    // The display names the winner by the fallen King's half: Red.
    MainLoopPass();
    const auto text = YellowText({QRect(200, 60, 160, 18), QRect(0, 0, 160, 280)});
    EXPECT_GT(text[0], 20);
    EXPECT_EQ(text[1], 0);
}
