#include "ai/Opponent.h"

#include "ai/Search.h"
#include "logic/Keys.h"
#include "logic/Rules.h"

#include <cstdlib>
#include <iterator>

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
    case Action::Tab:
        return Rules::SelectNextPiece(s);
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

// ---- The sniper ------------------------------------------------------------

bool IsCannon(int kind)
{
    return kind == CannonReady || kind == CannonFired;
}

// What a ball at an enemy piece is worth to the sniper; Walls and Fire are
// not worth one.
int ShotValue(int kind)
{
    switch (kind) {
    case CannonReady:
    case CannonFired: return 5;
    case Wizard: return 4;
    case Builder: return 3;
    default: return 0;
    }
}

// A row the sniper's Cannons can watch: no Wall in it beyond the river.
bool OpenRow(const State& s, int row)
{
    for (int c = 0; c < Cols; ++c)
        if (!Detail::InHalf(s.CurrentPlayer, c) && s.Board[c][row] == Wall)
            return false;
    return true;
}

// The most valuable enemy piece a ready Cannon can hit from where it stands
// or one step away, the cheapest such shot; false when there is none.
bool SniperShot(Line& line)
{
    const State& s = line.s;
    const int me = s.CurrentPlayer, fwd = Detail::Forward(me), moves = s.MovesLeft;
    int bestValue = 0, bestCost = 99, power = 0;
    Detail::Paths best;
    int fireCol = 0, fireRow = 0;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (s.Owner[c][r] != me || s.Board[c][r] != CannonReady)
                continue;
            Detail::Paths paths;
            paths.Search(s, c, r);
            for (int fc = 0; fc < Cols; ++fc)
                for (int fr = 0; fr < Rows; ++fr) {
                    if (!paths.Reaches(fc, fr) || paths.dist[fc][fr] > 1)
                        continue;
                    const int d = paths.dist[fc][fr];
                    for (int k = 1; k <= 8; ++k) {
                        const int lc = fc + fwd * k;
                        if (lc < 0 || lc >= Cols || d + k > moves || s.Board[lc][fr] == Wall)
                            break;
                        const int value =
                            s.Owner[lc][fr] == Detail::Enemy(me) ? ShotValue(s.Board[lc][fr]) : 0;
                        if (value > bestValue || (value > 0 && value == bestValue && d + k < bestCost)) {
                            bestValue = value, bestCost = d + k, power = k;
                            best = paths, fireCol = fc, fireRow = fr;
                        }
                    }
                }
        }
    if (bestValue == 0)
        return false;
    Line next = line;
    if (!best.Walk(next, fireCol, fireRow) || !next.Fire(power))
        return false;
    line = std::move(next);
    return true;
}

// Walks the piece at (col, row) to the reachable cell that `better` likes
// most (a lower rank is better; negative: never), within the moves in hand.
template <typename Rank>
bool WalkTo(Line& line, int col, int row, Rank better)
{
    Detail::Paths paths;
    paths.Search(line.s, col, row);
    int bestRank = better(col, row, 0), bestCol = col, bestRow = row;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (!paths.Reaches(c, r) || paths.dist[c][r] > line.s.MovesLeft)
                continue;
            const int rank = better(c, r, paths.dist[c][r]);
            if (rank >= 0 && (bestRank < 0 || rank < bestRank))
                bestRank = rank, bestCol = c, bestRow = r;
        }
    if (bestCol == col && bestRow == row)
        return false;
    return paths.Walk(line, bestCol, bestRow);
}

// The sniper's own turn: a King shot when there is one, else Cannon shots
// at what stands in their rows, then Cannons parked in open rows, then the
// portal cleared.
Line SniperLine(const State& s, int recruit)
{
    const int me = s.CurrentPlayer;
    Line line(s);
    StartTurn(line.s, recruit);
    std::vector<Action> plan;
    if (Detail::KingShot(line.s, line.s.MovesLeft + 1, &plan) >= 0) {
        for (const Action& a : plan)
            line.Do(a);
        if (line.Over())
            return line;
    }
    while (!line.Over() && line.s.MovesLeft > 0 && SniperShot(line)) {
    }
    // Park every Cannon that is not yet watching an open row of its own, the
    // portal's row first, as near the river as it gets.
    const int portal = PortalCol(me);
    auto watching = [&](const State& now, int c, int r) {
        return now.Owner[c][r] == me && IsCannon(now.Board[c][r]) && OpenRow(now, r) &&
               !(c == portal && r == PortalRow);
    };
    for (int c = 0; c < Cols && !line.Over(); ++c)
        for (int r = 0; r < Rows; ++r) {
            const State& now = line.s;
            if (now.MovesLeft <= 0 || now.Owner[c][r] != me || !IsCannon(now.Board[c][r]))
                continue;
            bool watched[Rows] = {};
            for (int wc = 0; wc < Cols; ++wc)
                for (int wr = 0; wr < Rows; ++wr)
                    if ((wc != c || wr != r) && watching(now, wc, wr))
                        watched[wr] = true;
            if (watching(now, c, r) && !watched[r])
                continue;
            WalkTo(line, c, r, [&](int tc, int tr, int dist) {
                if (watched[tr] || !OpenRow(now, tr) || (tc == portal && tr == PortalRow))
                    return -1;
                return (tr == PortalRow ? 0 : 100) + 10 * std::abs(tc - MiddleColumn) + dist;
            });
        }
    // Whatever still stands on the portal steps off it, out of the way.
    if (!line.Over() && line.s.MovesLeft > 0 && line.s.Owner[portal][PortalRow] == me)
        WalkTo(line, portal, PortalRow, [&](int tc, int tr, int dist) {
            return tc == portal && tr == PortalRow ? -1 : dist * 10 + std::abs(tc - portal);
        });
    return line;
}

Decision SniperTurn(const State& s, std::uint32_t seed)
{
    const int me = s.CurrentPlayer;
    int recruit = Empty;
    if (PortalFree(s)) {
        const int cannons = CountPieces(s, me, CannonReady) + CountPieces(s, me, CannonFired);
        const int wizards = CountPieces(s, me, Wizard);
        recruit = cannons < 1   ? CannonReady
                  : wizards < 2 ? Wizard
                  : cannons < 3 ? CannonReady
                  : wizards < 3 ? Wizard
                                : Empty;
    }
    // A King in danger is defended as Normal would defend it.
    Line plain = SniperLine(s, recruit);
    if (!plain.Over() && Detail::ThreatMargin(plain.s) >= 0)
        return Decide(s, Strength::Normal, seed);
    return {recruit, std::move(plain.actions)};
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
        // No noise: every climb takes the best step, the first of equals,
        // so that the steps of a turn pull one way. Against Normal, Hard
        // as Red won about 73 % of its games with Normal's noise and 96 to
        // 98 % without. Each of the sixteen most promising first steps is
        // climbed to a whole turn: with eight it won about 60 %.
        style.lookahead = 16;
        style.guardPieces = true;
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
    case Policy::Sniper: return SniperTurn(s, seed);
    }
    return {};
}

namespace {
constexpr const char* PolicyNames[] = {"random", "greedy", "easy", "normal", "hard", "sniper"};
}

std::optional<Policy> PolicyFromName(std::string_view name)
{
    for (int i = 0; i < int(std::size(PolicyNames)); ++i)
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
