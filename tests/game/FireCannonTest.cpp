// Cannon fire through the keys: the flight's frames on the engine clock, the
// moves it costs, the screen, and the end of the game.
#include "tests/game/RulesFixture.h"

namespace {

class Shot : public RulesGame {
protected:
    // Fires the Cannon under the cursor with `key` and checks every frame: per cell flown eight
    // frames 5 pixels apart, 0.02 s each, a move spent per cell; three landing frames 0.04 s
    // apart; a final one. Each shows the board with only the ball ANDed on.
    void FireAndCheckFrames(Qt::Key key, int distance)
    {
        std::vector<std::pair<ShotFrameInfo, QImage>> frames;
        SetShotFrameHook([&](const ShotFrameInfo& info) { frames.push_back({info, Screen().copy()}); });
        const int col = S().CursorCol, row = S().CursorRow, moves = S().MovesLeft;
        const int step = S().CurrentPlayer == Red ? -1 : 1, land = col + step * distance;
        const int kind = S().Board[land][row], owner = S().Owner[land][row];
        Tap(key);
        TestSupport::Settle();
        SetShotFrameHook(nullptr);
        const std::size_t flight = 8 * std::size_t(distance - 1);
        ASSERT_EQ(frames.size(), flight + 3 + 1);
        const int burntKind = S().Board[land][row], burntOwner = S().Owner[land][row];
        Put(land, row, owner, kind); // compared with the board as it was flown over
        // The sheet's row of the player's ball.
        const QImage sheet =
            GraphicsForm()->picCannonBall->Picture().copy(0, S().CurrentPlayer == Red ? 0 : 40, 160, 40);
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const ShotFrameInfo& f = frames[k].first;
            const bool flying = k < flight, landing = !flying && k < flight + 3;
            const int cell = std::min(int(k / 8) + 1, distance);
            EXPECT_EQ(f.kind, flying ? ShotFrameKind::Flight : landing ? ShotFrameKind::Landing : ShotFrameKind::Final);
            EXPECT_EQ(f.movesLeft, moves - cell + (flying || landing)) << k;
            const double gap = k == 0 ? 1 : f.time - frames[k - 1].first.time;
            EXPECT_GE(gap, flying ? 0.02 - 1e-9 : landing ? 0.04 - 1e-9 : 0) << k;
            S().MovesLeft = f.movesLeft;
            if (!flying && !landing)
                Put(land, row, burntOwner, burntKind); // the last frame shows where it came down
            DrawBoard(), DrawMovesPanel();
            if (!flying && !landing)
                DrawSelector();
            QImage expected = BackBuffer().copy();
            const int x0 = flying ? (col + step * cell) * 40 + step * 5 * int(k % 8) : land * 40, y0 = row * 40;
            const QImage ball = sheet.copy(flying ? 0 : 40 * int(k - flight + 1), 0, 40, 40);
            for (int y = 0; y < 40 && (flying || landing); ++y)
                for (int x = 0; x < 40; ++x)
                    expected.setPixel(x0 + x, y0 + y, expected.pixel(x0 + x, y0 + y) & ball.pixel(x, y));
            EXPECT_EQ(frames[k].second, expected) << k;
        }
        Put(land, row, burntOwner, burntKind);
    }
};

} // namespace

TEST_F(Shot, FlightPacingMovesPerCellAndKeysSwallowed)
{
    MovePhase(Blue, 6);
    Put(1, 3, Blue, CannonReady), Put(3, 3, Blue, Wizard), Put(5, 3, Red, King); // flown over
    Put(6, 3, Red, Wizard), Put(0, 0, Blue, King), Select(1, 3);
    // In the flight: keys are swallowed and do not queue up, the Game menu
    // is locked, the cannon sounds.
    Tap(Qt::Key_5);
    ASSERT_TRUE(S().Busy);
    EXPECT_EQ(std::tuple(sounds, frmMain::MenuEnabled(form->mnuGame), frmMain::MenuEnabled(form->mnuNet)),
              std::tuple(QStringList{"cannon.wav"}, false, true));
    form->KeyReady = true;
    int key = 38;
    form->Form_KeyDown(key, 0), Tap(Qt::Key_Up), Tap(Qt::Key_4);
    EXPECT_EQ(key, 0);
    TestSupport::Settle();
    // The same shot again, its frames checked one by one.
    S().Board[1][3] = CannonReady, S().Board[6][3] = Wizard, S().Owner[6][3] = Red, S().MovesLeft = 6;
    sounds.clear();
    FireAndCheckFrames(Qt::Key_5, 5);
    EXPECT_EQ(std::tuple(S().Board[1][3], S().CursorRow, S().Board[6][3], S().Owner[6][3]),
              std::tuple(int(CannonFired), 3, int(Fire), int(Blue)));
    EXPECT_EQ(sounds, (QStringList{"cannon.wav", "cb_hit.wav"}));
    EXPECT_TRUE(frmMain::MenuEnabled(form->mnuGame));
    sent.clear();

    // Red's ball flies left from the sheet's top row, stops at the Wall and goes out over NetPlay.
    MovePhase(Red, 9, Red);
    Put(6, 0, Red, CannonReady), Put(3, 0, Blue, Wall), Put(1, 0, Blue, King), Select(6, 0);
    FireAndCheckFrames(Qt::Key_8, 3);
    EXPECT_EQ(std::pair(S().Board[3][0], S().Owner[3][0]), std::pair(int(Fire), int(Red)));
    EXPECT_EQ(sent, QStringList{"FC}03002"});
}

TEST_F(RulesGame, WinningShotAndShotOnOwnKing)
{
    MovePhase(Blue, 6, Blue);
    S().TurnNumber = 4, form->mnuTurnEndTurn->setEnabled(true);
    Put(2, 1, Blue, CannonReady), Put(0, 3, Blue, King), Put(8, 1, Red, King), Put(7, 1, Red, Fire), Select(2, 1);
    // The menus stay locked in the one-second pause after the hit.
    Tap(Qt::Key_8);
    ASSERT_TRUE(TestSupport::StepUntil([&] { return S().GameState == PhaseGameOver; }));
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuGame));
    const QImage shown = Screen(); // the King's cell shows Blue's Fire over the King
    TestSupport::Settle();
    EXPECT_EQ(sent, QStringList{"FC}08011"});
    EXPECT_EQ(chat, (QStringList{"", "   ** YOU have WON the GAME!!", ""}));
    EXPECT_EQ(std::tuple(S().ResumeState, S().CursorCol, S().CursorRow), std::tuple(int(PhaseGameOver), 8, 1));
    EXPECT_TRUE(!form->mnuTurnEndTurn->isEnabled() && frmMain::MenuEnabled(form->mnuGame));
    EXPECT_EQ(sounds, (QStringList{"cannon.wav", "cb_hit.wav", "win.wav"}));
    DrawBoard(), DrawMovesPanel(), DrawPieceSprite(Fire, Blue, 8, 1);
    EXPECT_EQ(shown, BackBuffer());
    // Then the display: Game Over, Blue Wins!!, In Turn #4 on Blue's half, nothing elsewhere.
    EXPECT_GT(std::min({Yellow({0, 40, 160, 18}), Yellow({0, 60, 160, 18}), Yellow({0, 100, 160, 18})}), 20);
    EXPECT_EQ(Yellow({200, 0, 160, 280}) + Yellow({0, 80, 160, 18}), 0);

    // Blue hits its own King in a hot-seat game: the display names the winner by the fallen King's half.
    MovePhase(Blue, 6);
    Put(0, 4, Blue, CannonReady), Put(2, 4, Blue, King), Put(8, 1, Red, King), Select(0, 4);
    Tap(Qt::Key_2);
    TestSupport::Settle();
    EXPECT_EQ(std::tuple(S().GameState, S().CursorCol, S().CursorRow), std::tuple(int(PhaseGameOver), 2, 4));
    EXPECT_GT(Yellow({200, 60, 160, 18}), 20);
    EXPECT_EQ(Yellow({0, 0, 160, 280}), 0);
}
