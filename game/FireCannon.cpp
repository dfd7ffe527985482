#include "game/FireCannon.h"

#include "game/Drawing.h"
#include "logic/GameState.h"
#include "game/frmMain.h"
#include "engine/PavixGames.h"
#include "logic/Rules.h"

namespace Turrion {

namespace {
std::function<void(const ShotFrameInfo&)>& FrameHook()
{
    static std::function<void(const ShotFrameInfo&)> hook;
    return hook;
}

// Waits until `interval` seconds of engine time have passed since `since`
// and returns the time then. The window keeps its events meanwhile (keys are
// swallowed by Busy and the Game, Turn and Help menus are locked by the
// caller), and with the real clock each poll yields the processor. Returns
// a negative time once the game has been replaced (a new game received from
// the NetPlay host): the rest of the flight belongs to no game.
double WaitFrom(double since, double interval, const GameGuard& game)
{
    double now = PavixGames::GetEngineTime();
    while (now - since < interval) {
        PavixGames::DoEvents();
        if (!game.Current())
            return -1.0;
        now = PavixGames::GetEngineTime();
    }
    return now;
}

// The board and the Moves panel with one ball frame ANDed on top, shown.
void BallFrame(int frameX, int ballRowY, int x, int y)
{
    DrawBoard();
    DrawMovesPanel();
    DrawBallFrame(frameX, ballRowY, x, y);
    Show();
}

void Presented(ShotFrameKind kind, double time, int cell, int frame, int x, int y)
{
    if (FrameHook())
        FrameHook()({kind, time, cell, frame, x, y, Game().MovesLeft});
}
} // namespace

void SetShotFrameHook(std::function<void(const ShotFrameInfo&)> hook)
{
    FrameHook() = std::move(hook);
}

int FireCannon(int power)
{
    State& s = Game();
    // A Cannon facing the board's edge (possible only in a crafted game
    // file) has nowhere to land; the scan would leave the board.
    const int distance = Rules::ShotDistance(s, power);
    if (distance < 1)
        return 0;

    const GameGuard game(s);
    struct BusyWhileFlying {
        State& s;
        explicit BusyWhileFlying(State& state) : s(state) { s.Busy = true; }
        ~BusyWhileFlying() { s.Busy = false; }
    } busy(s);
    const int step = Rules::ShotDirection(s.CurrentPlayer);
    const int ballRowY = s.CurrentPlayer == Red ? 0 : CellSize;
    const int col = s.CursorCol;
    const int y = s.CursorRow * CellSize;

    PlayGameSound("cannon.wav");

    // The flight: eight frames per cell, five pixels apart, over every cell
    // before the landing cell; one move per cell.
    for (int i = 1; i < distance; ++i) {
        double t = PavixGames::GetEngineTime();
        for (int f = 0; f < 8; ++f) {
            t = WaitFrom(t, 0.02, game);
            if (t < 0)
                return 0;
            const int x = (col + step * i) * CellSize + step * 5 * f;
            BallFrame(0, ballRowY, x, y);
            Presented(ShotFrameKind::Flight, t, i, f, x, y);
            PavixGames::DoEvents();
            if (!game.Current())
                return 0;
        }
        s.MovesLeft -= 1;
    }

    // The landing: the ball drops onto its cell in three frames.
    const int landX = (col + step * distance) * CellSize;
    for (int n = 1; n <= 3; ++n) {
        const double t = WaitFrom(PavixGames::GetEngineTime(), 0.04, game);
        if (t < 0)
            return 0;
        BallFrame(n * CellSize, ballRowY, landX, y);
        Presented(ShotFrameKind::Landing, t, distance, n, landX, y);
        PavixGames::DoEvents();
        if (!game.Current())
            return 0;
    }

    PlayGameSound("cb_hit.wav");
    s.MovesLeft -= 1;
    DrawBoard();
    DrawMovesPanel();
    Show();
    Presented(ShotFrameKind::Final, PavixGames::GetEngineTime(), distance, 0, 0, 0);
    return distance;
}

} // namespace Turrion
