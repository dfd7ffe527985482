#include "ai/Opponent.h"

#include "ai/Search.h"
#include "logic/Keys.h"
#include "logic/Rules.h"

#include <cstdlib>

namespace Turrion::AI {

using Detail::Line;
using Detail::Rng;

bool Apply(State& s, const Action& a)
{
    // The key gate: only the move phase with moves in hand takes actions.
    if (s.GameState != PhaseMove || s.MovesLeft <= 0)
        return false;
    switch (a.kind) {
    case Action::Select:
        if (!Rules::Selectable(s, a.col, a.row))
            return false;
        s.CursorCol = a.col;
        s.CursorRow = a.row;
        return true;
    case Action::Arrow: {
        if (std::abs(a.dCol) + std::abs(a.dRow) != 1)
            return false;
        const Rules::ArrowResult r = Rules::ApplyArrow(s, a.dCol, a.dRow, a.wall ? ShiftMask : 0);
        return r.outcome != Rules::ArrowOutcome::EdgeRefused &&
               r.outcome != Rules::ArrowOutcome::Nothing;
    }
    case Action::Fire:
        return a.power >= 1 && a.power <= 8 && Rules::FireShot(s, a.power);
    }
    return false;
}

namespace {

bool PortalFree(const State& s)
{
    return s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty;
}

// Every action the rules would take from here, a Select of the piece
// already selected aside (it changes nothing).
std::vector<Action> LegalActions(const State& s)
{
    std::vector<Action> candidates;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if ((c != s.CursorCol || r != s.CursorRow) && Rules::Selectable(s, c, r))
                candidates.push_back({Action::Select, c, r});
    static constexpr int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& d : steps) {
        candidates.push_back({Action::Arrow, 0, 0, d[0], d[1], false});
        candidates.push_back({Action::Arrow, 0, 0, d[0], d[1], true});
    }
    for (int p = 1; p <= 8; ++p)
        candidates.push_back({Action::Fire, 0, 0, 0, 0, false, p});
    std::vector<Action> legal;
    for (const Action& a : candidates) {
        State trial = s;
        if (Apply(trial, a))
            legal.push_back(a);
    }
    return legal;
}

int RandomRecruit(const State& s, Rng& rng)
{
    static constexpr int kinds[] = {Empty, Wizard, Builder, CannonReady};
    return PortalFree(s) ? kinds[rng.Below(4)] : Empty;
}

// Random legal actions until the moves run out or a random stop.
void RandomActions(Line& line, Rng& rng)
{
    for (int i = 0; i < 200 && !line.Over() && line.s.MovesLeft > 0; ++i) {
        if (rng.Below(20) == 0)
            break;
        const std::vector<Action> legal = LegalActions(line.s);
        if (legal.empty())
            break;
        line.Do(legal[std::size_t(rng.Below(int(legal.size())))]);
    }
}

Decision RandomTurn(const State& s, Rng& rng)
{
    Line line(s);
    const int recruit = RandomRecruit(s, rng);
    StartTurn(line.s, recruit);
    RandomActions(line, rng);
    return {recruit, std::move(line.actions)};
}

Decision GreedyTurn(const State& s, Rng& rng)
{
    if (PortalFree(s)) {
        for (int recruit : {Empty, CannonReady, Wizard, Builder}) {
            Line line(s);
            StartTurn(line.s, recruit);
            std::vector<Action> plan;
            if (Detail::KingShot(line.s, line.s.MovesLeft + 1, &plan) >= 0)
                return {recruit, std::move(plan)};
        }
    } else {
        Line line(s);
        StartTurn(line.s, Empty);
        std::vector<Action> plan;
        if (Detail::KingShot(line.s, line.s.MovesLeft + 1, &plan) >= 0)
            return {Empty, std::move(plan)};
    }
    return RandomTurn(s, rng);
}

Detail::Style StyleOf(Strength strength)
{
    Detail::Style style;
    switch (strength) {
    case Strength::Easy:
        style.noise = 80;
        style.stopChance = 0.15;
        style.seeThreats = false;
        style.takeWins = false;
        style.winChance = 0.7;
        break;
    case Strength::Normal:
        style.noise = 6; // ties and near-ties broken by the seed
        break;
    case Strength::Hard:
        style.noise = 6;
        style.lookahead = 8;
        break;
    }
    return style;
}

} // namespace

Decision Decide(const State& s, Strength strength, std::uint32_t seed)
{
    Rng rng(seed);
    return Detail::Plan(s, StyleOf(strength), rng);
}

Decision Decide(const State& s, Policy policy, std::uint32_t seed)
{
    Rng rng(seed);
    switch (policy) {
    case Policy::Random: return RandomTurn(s, rng);
    case Policy::Greedy: return GreedyTurn(s, rng);
    case Policy::Easy: return Decide(s, Strength::Easy, seed);
    case Policy::Normal: return Decide(s, Strength::Normal, seed);
    case Policy::Hard: return Decide(s, Strength::Hard, seed);
    }
    return {};
}

namespace {
constexpr const char* PolicyNames[] = {"random", "greedy", "easy", "normal", "hard"};
}

std::optional<Policy> PolicyFromName(std::string_view name)
{
    for (int i = 0; i < 5; ++i)
        if (name == PolicyNames[i])
            return Policy(i);
    return std::nullopt;
}

const char* PolicyName(Policy policy)
{
    return PolicyNames[int(policy)];
}

std::string InvariantBreach(const State& s)
{
    auto at = [](const char* what, int c, int r) {
        return std::string(what) + " at (" + std::to_string(c) + "," + std::to_string(r) + ")";
    };
    int kings[3] = {};
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            const int kind = s.Board[c][r], owner = s.Owner[c][r];
            if (kind < Empty || kind > CannonFired)
                return at("piece code out of range", c, r);
            if (owner < NoPlayer || owner > Red)
                return at("owner out of range", c, r);
            if ((kind == Empty) != (owner == NoPlayer))
                return at("a piece without an owner or an owner without a piece", c, r);
            if (kind == Empty)
                continue;
            if (c == MiddleColumn)
                return at("a piece in the river", c, r);
            if (kind != Fire && !Detail::InHalf(owner, c))
                return at("a piece outside its owner's half", c, r);
            if (kind == King)
                ++kings[owner];
            if (kind == CannonFired && (owner != s.CurrentPlayer || s.GameState != PhaseMove))
                if (s.GameState != PhaseGameOver)
                    return at("a fired Cannon outside its owner's turn", c, r);
        }
    if (s.CurrentPlayer != Blue && s.CurrentPlayer != Red)
        return "no player on turn";
    if (s.GameState != PhaseGameOver && (kings[Blue] != 1 || kings[Red] != 1))
        return "not one King a side";
    if (!OnBoard(s.CursorCol, s.CursorRow))
        return "the cursor off the board";
    const int full = 3 + 3 * CountPieces(s, s.CurrentPlayer, Wizard);
    if (s.GameState == PhaseTurnStart && s.MovesLeft != full)
        return "moves not counted at the turn start";
    if (s.MovesLeft < 0 || s.MovesLeft > 3 + 3 * Cols * Rows)
        return "moves out of range";
    return {};
}

} // namespace Turrion::AI
