#include "game/ComputerTurn.h"
#include "game/Screen.h"

#include "ai/Opponent.h"
#include "game/Drawing.h"
#include "game/GameFlow.h"
#include "logic/GameState.h"
#include "game/frmMain.h"
#include "engine/PavixGames.h"
#include "game/KeyHandler.h"
#include "logic/Keys.h"

#include <QRandomGenerator>

namespace Turrion {

namespace {

std::uint32_t g_seed = QRandomGenerator::global()->generate();

// A person-sized pause between two of the computer's actions. While the
// About picture is up the turn waits for it to go. Returns false when the
// game has been replaced meanwhile.
bool Beat(const GameGuard& game)
{
    if (!PauseSeconds(0.3, game))
        return false;
    while (game.Current() && Game().GameState == PhaseOverlay)
        PavixGames::DoEvents();
    return game.Current();
}

AI::Decision Decide(const State& s)
{
    State plan = s;
    if (plan.GameState != PhaseTurnStart) {
        // A game loaded in the computer's move phase: the turn is planned as
        // if from its start, with the portal held so that nothing is
        // recruited twice.
        const int col = PortalCol(plan.CurrentPlayer);
        if (plan.Board[col][PortalRow] == Empty)
            plan.Board[col][PortalRow] = Fire;
        plan.GameState = plan.ResumeState = PhaseTurnStart;
    }
    const auto strength = static_cast<AI::Strength>(TheScreen().ComputerStrength);
    return AI::Decide(plan, strength, g_seed ^ std::uint32_t(s.TurnNumber * 2 + s.CurrentPlayer));
}

} // namespace

void SetComputerSeed(std::uint32_t seed)
{
    g_seed = seed;
}

void RunComputerTurn()
{
    State& s = Game();
    frmMain* form = MainForm();
    if (!form || !ComputerToMove(s))
        return;
    const GameGuard game(s);
    frmMain::SetMenuEnabled(form->mnuTurn, false);
    const AI::Decision decision = Decide(s);

    if (s.GameState == PhaseTurnStart) {
        // No report: the recruit simply appears on the portal.
        const int col = PortalCol(s.CurrentPlayer);
        const int recruit = StartTurn(s, decision.recruit);
        if (recruit != Empty)
            DrawPieceSprite(recruit, s.CurrentPlayer, col, PortalRow);
        DrawSelector();
        Show();
    } else {
        PutCursorOnKing(s, s.CurrentPlayer);
        RedrawAll();
    }

    for (const AI::Action& a : decision.actions) {
        if (!Beat(game))
            return;
        if (s.GameState != PhaseMove || s.MovesLeft <= 0)
            break;
        switch (a.kind) {
        case AI::Action::Select:
            PlaySelect(a.col, a.row);
            break;
        case AI::Action::Arrow:
            PlayArrow(a.dCol, a.dRow, a.wall ? ShiftMask : 0);
            break;
        case AI::Action::Fire:
            PlayShot(*form, a.power);
            frmMain::SetMenuEnabled(form->mnuTurn, false);
            break;
        }
        if (!game.Current())
            return;
    }
    if (!Beat(game) || s.GameState != PhaseMove)
        return;
    EndTurn();
}

} // namespace Turrion
