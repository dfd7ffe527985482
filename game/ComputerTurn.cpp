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
#include "logic/Rules.h"

#include <QRandomGenerator>

namespace Turrion {

namespace {

std::uint32_t g_seed = QRandomGenerator::global()->generate();

// The computer's turn in progress: its whole decision, and how far it got.
struct Play {
    bool active = false;
    int game = 0, player = NoPlayer, turn = 0;
    AI::Decision decision;
    std::size_t next = 0;
};
Play g_play;

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

// One of the computer's actions, a person-sized pause after the last one.
// While the About picture is up nothing happens; taking it away goes on.
void Step()
{
    State& s = Game();
    frmMain* form = MainForm();
    if (!g_play.active || !form || s.GameState == PhaseOverlay)
        return;
    if (s.GameState != PhaseMove) {
        g_play.active = false;
        return;
    }
    if (g_play.next < g_play.decision.actions.size() && s.MovesLeft > 0) {
        const AI::Action& a = g_play.decision.actions[g_play.next++];
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
        case AI::Action::Tab: { // the opponent names its pieces; an engine may not
            int col = 0, row = 0;
            if (Rules::NextOwnPiece(s, col, row))
                PlaySelect(col, row);
            break;
        }
        }
        return;
    }
    g_play.active = false;
    EndTurn();
}

} // namespace

void SetComputerSeed(std::uint32_t seed)
{
    g_seed = seed;
}

void ForgetComputerTurn()
{
    g_play.active = false;
}

void RunComputerTurn()
{
    State& s = Game();
    frmMain* form = MainForm();
    if (!form || !ComputerToMove(s) || s.GameState == PhaseOverlay)
        return;
    frmMain::SetMenuEnabled(form->mnuTurn, false);
    const bool same = g_play.active && g_play.game == s.GameId && g_play.player == s.CurrentPlayer &&
                      g_play.turn == s.TurnNumber;
    if (!same) {
        g_play = Play{true, s.GameId, s.CurrentPlayer, s.TurnNumber, Decide(s), 0};
        if (s.GameState == PhaseTurnStart) {
            // No report: the recruit simply appears on the portal.
            const int col = PortalCol(s.CurrentPlayer);
            const int recruit = StartTurn(s, g_play.decision.recruit);
            if (recruit != Empty)
                DrawPieceSprite(recruit, s.CurrentPlayer, col, PortalRow);
            DrawSelector();
            Show();
        } else {
            PutCursorOnKing(s, s.CurrentPlayer);
            RedrawAll();
        }
    }
    WaitFor(Wait::ComputerBeat, 0.3, Step);
}

} // namespace Turrion
