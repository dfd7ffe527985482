#include "game/FireCannon.h"

#include "game/Drawing.h"
#include "logic/GameState.h"
#include "game/frmMain.h"
#include "engine/PavixGames.h"
#include "logic/Rules.h"
#include "game/GameFlow.h"

#include <memory>

namespace Turrion {

namespace {
std::function<void(const ShotFrameInfo&)>& FrameHook()
{
    static std::function<void(const ShotFrameInfo&)> hook;
    return hook;
}

// The board and the Moves panel with one ball frame ANDed on top, shown.
void BallFrame(int frameX, int ballRowY, int x, int y, int movesShown)
{
    DrawBoard();
    DrawMovesPanel(movesShown);
    DrawBallFrame(frameX, ballRowY, x, y);
    Show();
}

void Presented(ShotFrameKind kind, int cell, int frame, int x, int y, int movesShown)
{
    if (FrameHook())
        FrameHook()({kind, PavixGames::GetEngineTime(), cell, frame, x, y, movesShown});
}

// A flight under way: the plan, where it has got to, and what follows it.
struct Flight {
    Rules::ShotPlan plan;
    int player = NoPlayer;
    int moves = 0;      // the moves before the shot
    int cell = 1;       // flight: the cell 1..distance-1 flown over; then the landing
    int frame = 0;      // flight: 0..7; landing: 1..3
    double due = 0.0;   // when the next flight frame is due
    std::function<void()> landed;
};

void NextFrame(std::shared_ptr<Flight> f);

// Eight frames per cell, five pixels apart, 0.02 s apart, over every cell
// before the landing cell; the panel counts a move per cell flown.
void FlightFrame(std::shared_ptr<Flight> f)
{
    const int step = Rules::ShotDirection(f->player);
    const int ballRowY = f->player == Red ? 0 : CellSize;
    const int x = (f->plan.fromCol + step * f->cell) * CellSize + step * 5 * f->frame;
    const int y = f->plan.fromRow * CellSize;
    const int shown = f->moves - (f->cell - 1);
    BallFrame(0, ballRowY, x, y, shown);
    Presented(ShotFrameKind::Flight, f->cell, f->frame, x, y, shown);
    if (++f->frame == 8) {
        f->frame = 0;
        ++f->cell;
    }
    NextFrame(f);
}

// The ball drops onto its cell in three frames, 0.04 s apart.
void LandingFrame(std::shared_ptr<Flight> f)
{
    const int ballRowY = f->player == Red ? 0 : CellSize;
    const int x = f->plan.col * CellSize, y = f->plan.row * CellSize;
    const int shown = f->moves - (f->plan.distance - 1);
    BallFrame(f->frame * CellSize, ballRowY, x, y, shown);
    Presented(ShotFrameKind::Landing, f->plan.distance, f->frame, x, y, shown);
    NextFrame(f);
}

void NextFrame(std::shared_ptr<Flight> f)
{
    if (f->cell < f->plan.distance) {
        f->due += 0.02;
        WaitFor(Wait::Flight, f->due - PavixGames::GetEngineTime(), [f] { FlightFrame(f); });
        return;
    }
    if (f->frame < 3) {
        ++f->frame;
        WaitFor(Wait::Flight, 0.04, [f] { LandingFrame(f); });
        return;
    }
    PlayGameSound("cb_hit.wav");
    f->landed();
    const State& s = Game();
    Presented(ShotFrameKind::Final, f->plan.distance, 0, 0, 0, s.MovesLeft);
}
} // namespace

void SetShotFrameHook(std::function<void(const ShotFrameInfo&)> hook)
{
    FrameHook() = std::move(hook);
}

void FlyShot(const Rules::ShotPlan& plan, std::function<void()> landed)
{
    if (plan.distance < 1)
        return;
    auto f = std::make_shared<Flight>();
    f->plan = plan;
    f->player = Game().CurrentPlayer;
    f->moves = Game().MovesLeft;
    f->due = PavixGames::GetEngineTime();
    f->landed = std::move(landed);
    PlayGameSound("cannon.wav");
    NextFrame(f);
}

} // namespace Turrion
