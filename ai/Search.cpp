#include "ai/Search.h"

#include "logic/Rules.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>

namespace Turrion::AI::Detail {

namespace {

constexpr int Directions[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr double Lost = -1e6;

bool Owns(const State& s, int player, int col, int row, int kind)
{
    return s.Owner[col][row] == player && s.Board[col][row] == kind;
}

bool FindKing(const State& s, int player, int& col, int& row)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if (Owns(s, player, c, r, King)) {
                col = c, row = r;
                return true;
            }
    return false;
}

// Where a ball fired from (col, row) by `player` with `power` comes down, as
// a distance, with enough moves in hand: the rules' own landing.
int Landing(const State& s, int player, int col, int row, int power)
{
    return Rules::ShotDistanceFrom(s, player, col, row, power, power);
}

// The search behind KingShot: each level moves one ready Cannon into the
// King's row and fires it at whatever it meets first, a Wall or the King.
struct ShotSearch {
    int best;
    std::vector<Action>* plan;
    int player, kingCol, kingRow;
    int nodes = 0;

    void Run(const Line& line, int spent)
    {
        if (++nodes > 300)
            return;
        const State& s = line.s;
        const int fwd = Forward(player);
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r) {
                if (!Owns(s, player, c, r, CannonReady))
                    continue;
                Paths paths;
                paths.Search(s, c, r);
                // One firing cell for each thing the ball can meet first,
                // the cheapest; moving closer costs what the flight saves,
                // so the one walked to least.
                int total[Cols], walk[Cols], from[Cols];
                std::fill(std::begin(total), std::end(total), 99);
                std::fill(std::begin(walk), std::end(walk), 99);
                std::fill(std::begin(from), std::end(from), 0);
                for (int fc = 0; fc < Cols; ++fc) {
                    if (!InHalf(player, fc) || !paths.Reaches(fc, kingRow))
                        continue;
                    const int d = paths.dist[fc][kingRow];
                    int hit = kingCol;
                    for (int x = fc + fwd; x != kingCol; x += fwd)
                        if (s.Board[x][kingRow] == Wall) {
                            hit = x;
                            break;
                        }
                    const int t = d + std::abs(hit - fc);
                    if (t < total[hit] || (t == total[hit] && d < walk[hit]))
                        total[hit] = t, walk[hit] = d, from[hit] = fc;
                }
                for (int hit = 0; hit < Cols; ++hit) {
                    const int cost = spent + total[hit];
                    if (total[hit] >= 99 || cost >= best || (hit != kingCol && cost + 1 >= best))
                        continue;
                    Line next = line;
                    if (!paths.Walk(next, from[hit], kingRow) ||
                        !next.Fire(std::abs(hit - from[hit])))
                        continue;
                    if (next.Over()) {
                        best = cost;
                        if (plan)
                            *plan = next.actions;
                    } else {
                        Run(next, cost);
                    }
                }
            }
    }
};

// The portal's recruit that threatens most: a Cannon when there is room.
int ThreatRecruit(const State& s)
{
    return s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty ? CannonReady : Empty;
}

int Margin(State& s)
{
    StartTurn(s, ThreatRecruit(s));
    const int budget = s.MovesLeft;
    const int cost = KingShot(s, budget + 9);
    return cost < 0 ? -9 : budget - cost;
}

} // namespace

bool Line::Do(const Action& a)
{
    if (!Apply(s, a))
        return false;
    if (record)
        actions.push_back(a);
    return true;
}

namespace {

// The board as 63 bits, cell (c, r) at bit c x Rows + r: a breadth-first
// walk moves whole rings of cells at once.
constexpr std::uint64_t AllCells = (std::uint64_t(1) << (Cols * Rows)) - 1;

constexpr std::uint64_t RowMask(int row)
{
    std::uint64_t m = 0;
    for (int c = 0; c < Cols; ++c)
        m |= std::uint64_t(1) << (c * Rows + row);
    return m;
}

constexpr std::uint64_t NotTopRow = AllCells & ~RowMask(0);
constexpr std::uint64_t NotBottomRow = AllCells & ~RowMask(Rows - 1);

} // namespace

void Paths::Search(const State& s, int col, int row)
{
    std::fill(&dist[0][0], &dist[0][0] + Cols * Rows, -1);
    fromCol = col, fromRow = row;
    const int player = s.Owner[col][row];
    std::uint64_t open = 0;
    for (int c = 0; c < Cols; ++c) {
        if (!InHalf(player, c))
            continue;
        for (int r = 0; r < Rows; ++r)
            if (s.Board[c][r] == Empty)
                open |= std::uint64_t(1) << (c * Rows + r);
    }
    dist[col][row] = 0;
    std::uint64_t reached = std::uint64_t(1) << (col * Rows + row), ring = reached;
    for (int d = 1; ring != 0; ++d) {
        ring = ((ring << Rows) | (ring >> Rows) | ((ring & NotBottomRow) << 1) | ((ring & NotTopRow) >> 1)) &
               open & ~reached;
        reached |= ring;
        for (std::uint64_t bits = ring; bits != 0; bits &= bits - 1) {
            const int i = std::countr_zero(bits);
            dist[i / Rows][i % Rows] = static_cast<signed char>(d);
        }
    }
}

bool Paths::Walk(Line& line, int col, int row) const
{
    if (!OnBoard(col, row) || dist[col][row] < 0)
        return false;
    // Back from the goal, each time to a neighbour one step nearer the start.
    int steps[Cols * Rows];
    int n = 0;
    for (int c = col, r = row; dist[c][r] > 0;) {
        int d = 0;
        for (; d < 4; ++d) {
            const int pc = c - Directions[d][0], pr = r - Directions[d][1];
            if (OnBoard(pc, pr) && dist[pc][pr] == dist[c][r] - 1)
                break;
        }
        if (d == 4)
            return false;
        steps[n++] = d;
        c -= Directions[d][0], r -= Directions[d][1];
    }
    if (!line.Select(fromCol, fromRow))
        return false;
    while (n > 0) {
        const int d = steps[--n];
        if (!line.Do({Action::Arrow, 0, 0, Directions[d][0], Directions[d][1]}))
            return false;
    }
    return true;
}

int KingShot(const State& s, int bound, std::vector<Action>* plan)
{
    ShotSearch search{bound, plan, s.CurrentPlayer, 0, 0};
    if (s.GameState != PhaseMove ||
        !FindKing(s, Enemy(s.CurrentPlayer), search.kingCol, search.kingRow))
        return -1;
    Line line(s, plan != nullptr);
    // Moves in hand never cut a search short: the bound does.
    line.s.MovesLeft = std::max(line.s.MovesLeft, bound + 8);
    search.Run(line, 0);
    return search.best < bound ? search.best : -1;
}

int ThreatMargin(const State& s)
{
    State next = s;
    PassTurn(next);
    return Margin(next);
}

int AttackMargin(const State& s)
{
    State next = s;
    PassTurn(next);
    StartTurn(next, Empty);
    PassTurn(next);
    return Margin(next);
}

namespace {

// Worth of one side's pieces; the later pieces of a kind add less.
double Material(const State& s, int player)
{
    int count[8] = {};
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if (s.Owner[c][r] == player)
                ++count[s.Board[c][r] & 7];
    const int wizards = count[Wizard], cannons = count[CannonReady] + count[CannonFired];
    const int builders = count[Builder], walls = count[Wall];
    return 45.0 * std::min(wizards, 4) + 20.0 * std::max(0, wizards - 4) +
           40.0 * std::min(cannons, 3) + 20.0 * std::max(0, cannons - 3) +
           25.0 * std::min(builders, 1) + 10.0 * std::min(std::max(0, builders - 1), 1) +
           4.0 * walls;
}

// Walls between a King and the enemy's side of its row.
int Shields(const State& s, int player, int kingCol, int kingRow)
{
    int n = 0;
    for (int c = kingCol + Forward(player); c >= 0 && c < Cols; c += Forward(player))
        n += s.Board[c][kingRow] == Wall ? 1 : 0;
    return n;
}

double Side(const State& s, int player)
{
    double v = Material(s, player);
    int kc = 0, kr = 0;
    if (FindKing(s, player, kc, kr)) {
        v += 10.0 * std::min(Shields(s, player, kc, kr), 3);
        v -= 4.0 * std::abs(kc - BackColumn(player));
    }
    // A piece on the portal keeps the next recruit out.
    const int pc = PortalCol(player);
    if (s.Board[pc][PortalRow] != Empty && s.Owner[pc][PortalRow] == player)
        v -= 15.0;
    return v;
}

// What losing a piece costs; the King is the game itself.
double PieceValue(int kind)
{
    switch (kind) {
    case Wizard: return 45.0;
    case CannonReady:
    case CannonFired: return 40.0;
    case Builder: return 25.0;
    default: return 0.0;
    }
}

} // namespace

double Exposed(const State& s, int victim, const State* after)
{
    const int enemy = Enemy(victim), fwd = Forward(enemy);
    const int moves = 3 + 3 * CountPieces(s, enemy, Wizard);
    double worst = 0;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (s.Owner[c][r] != enemy || (s.Board[c][r] != CannonReady && s.Board[c][r] != CannonFired))
                continue;
            Paths paths;
            paths.Search(s, c, r);
            for (int fc = 0; fc < Cols; ++fc)
                for (int fr = 0; fr < Rows; ++fr) {
                    if (!paths.Reaches(fc, fr) || paths.dist[fc][fr] >= moves)
                        continue;
                    for (int k = 1; k <= 8 && paths.dist[fc][fr] + k <= moves; ++k) {
                        const int lc = fc + fwd * k;
                        if (lc < 0 || lc >= Cols)
                            break;
                        const int kind = s.Board[lc][fr];
                        if (s.Owner[lc][fr] == victim && PieceValue(kind) > worst &&
                            (!after || (after->Board[lc][fr] == kind && after->Owner[lc][fr] == victim)))
                            worst = PieceValue(kind);
                        if (kind == Wall)
                            break;
                    }
                }
        }
    return worst;
}

namespace {

// A board's own few bytes, to tell lines that end alike.
std::uint64_t Fingerprint(const State& s)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            h = (h ^ std::uint64_t(s.Board[c][r] * 3 + s.Owner[c][r])) * 1099511628211ull;
    return h;
}

// Positions come back again and again within a decision (climbs from
// different first steps meet, lines share their enemy's answers), and a
// judgement depends only on the board, the player on turn and the style:
// the last judgement of each slot is kept.
struct Judged {
    std::uint64_t key = 0;
    double value = 0;
};
constexpr std::size_t JudgedSlots = std::size_t(1) << 15;

} // namespace

double Evaluate(const State& s, const Style& style)
{
    const int me = s.CurrentPlayer;
    if (s.GameState == PhaseGameOver)
        return s.Owner[s.CursorCol][s.CursorRow] == me ? Lost : -Lost;
    thread_local std::vector<Judged> judged(JudgedSlots);
    const std::uint64_t key = (Fingerprint(s) ^ (std::uint64_t(me) << 60) ^ (style.seeThreats ? 1ull << 61 : 0) ^
                               (style.guardPieces ? 1ull << 62 : 0)) | 1; // 0 marks an empty slot
    Judged& slot = judged[(key ^ (key >> 29)) & (JudgedSlots - 1)];
    if (slot.key == key)
        return slot.value;
    double v = Side(s, me) - Side(s, Enemy(me));
    if (style.seeThreats) {
        const int threat = ThreatMargin(s);
        v -= threat >= 0 ? 3000.0 + 30.0 * threat : 25.0 * std::max(0, threat + 6);
    }
    const int attack = AttackMargin(s);
    v += attack >= 0 ? 150.0 + 10.0 * attack : 12.0 * std::max(0, attack + 6);
    if (style.guardPieces)
        v -= ExposedShare * Exposed(s, me);
    slot = {key, v};
    return v;
}

namespace {

// A cell worth a shot: any enemy piece, and the empty cells next to an
// enemy Cannon, whose Fire keeps the Cannon from walking there.
bool Target(const State& s, int player, int col, int row)
{
    if (col == MiddleColumn)
        return false;
    const int kind = s.Board[col][row];
    if (kind == Fire)
        return false;
    if (kind != Empty)
        return s.Owner[col][row] != player;
    if (InHalf(player, col))
        return false;
    for (const auto& d : Directions) {
        const int c = col + d[0], r = row + d[1];
        if (OnBoard(c, r) && s.Owner[c][r] != player &&
            (s.Board[c][r] == CannonReady || s.Board[c][r] == CannonFired))
            return true;
    }
    return false;
}

void AddWalk(const Line& line, const Paths& paths, int col, int row, std::vector<Line>& out)
{
    Line next = line;
    if (paths.Walk(next, col, row))
        out.push_back(std::move(next));
}

void CannonSteps(const Line& line, const Paths& paths, bool ready, std::vector<Line>& out)
{
    const State& s = line.s;
    const int me = s.CurrentPlayer, moves = s.MovesLeft;
    // Walks: the nearest cell of every other row.
    for (int r = 0; r < Rows; ++r) {
        if (r == paths.fromRow)
            continue;
        int bestCol = -1;
        for (int c = 0; c < Cols; ++c)
            if (InHalf(me, c) && paths.Reaches(c, r) && paths.dist[c][r] <= moves &&
                (bestCol < 0 || paths.dist[c][r] < paths.dist[bestCol][r]))
                bestCol = c;
        if (bestCol >= 0)
            AddWalk(line, paths, bestCol, r, out);
    }
    if (!ready)
        return;
    // Shots: for every cell worth burning, the cheapest firing cell.
    int cost[Cols][Rows], fromCol[Cols][Rows], power[Cols][Rows];
    std::fill(&cost[0][0], &cost[0][0] + Cols * Rows, 99);
    for (int fc = 0; fc < Cols; ++fc)
        for (int fr = 0; fr < Rows; ++fr) {
            if (!InHalf(me, fc) || !paths.Reaches(fc, fr) || paths.dist[fc][fr] >= moves)
                continue;
            const int d = paths.dist[fc][fr];
            for (int p = 1; p <= std::min(8, moves - d); ++p) {
                const int k = Landing(s, me, fc, fr, p);
                const int lc = fc + Forward(me) * k;
                if (k >= 1 && Target(s, me, lc, fr) && d + k < cost[lc][fr])
                    cost[lc][fr] = d + k, fromCol[lc][fr] = fc, power[lc][fr] = k;
                if (k < p)
                    break; // stopped by a Wall or the edge: more power lands the same
            }
        }
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (cost[c][r] > moves)
                continue;
            Line next = line;
            if (paths.Walk(next, fromCol[c][r], r) && next.Fire(power[c][r]))
                out.push_back(std::move(next));
        }
}

void BuilderSteps(const Line& line, const Paths& paths, std::vector<Line>& out)
{
    const State& s = line.s;
    const int me = s.CurrentPlayer, moves = s.MovesLeft;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if (paths.Reaches(c, r) && paths.dist[c][r] > 0 && paths.dist[c][r] <= std::min(moves, 2))
                AddWalk(line, paths, c, r, out);
    // Walls in front of the King, in its row.
    int kc = 0, kr = 0;
    if (!FindKing(s, me, kc, kr))
        return;
    for (int c = kc + Forward(me); InHalf(me, c); c += Forward(me)) {
        if (c == 3 || c == 5 || s.Board[c][kr] != Empty)
            continue;
        int best = -1, bestDist = 99;
        for (int d = 0; d < 4; ++d) {
            const int nc = c - Directions[d][0], nr = kr - Directions[d][1];
            if (OnBoard(nc, nr) && InHalf(me, nc) && paths.Reaches(nc, nr) &&
                paths.dist[nc][nr] < bestDist)
                best = d, bestDist = paths.dist[nc][nr];
        }
        if (best < 0 || bestDist + 1 > moves)
            continue;
        Line next = line;
        if (paths.Walk(next, c - Directions[best][0], kr - Directions[best][1]) &&
            next.Do({Action::Arrow, 0, 0, Directions[best][0], Directions[best][1], true}))
            out.push_back(std::move(next));
    }
}

} // namespace

void Candidates(const Line& line, std::vector<Line>& out)
{
    const State& s = line.s;
    const int moves = s.MovesLeft;
    if (s.GameState != PhaseMove || moves <= 0)
        return;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (!Rules::Selectable(s, c, r))
                continue;
            Paths paths;
            paths.Search(s, c, r);
            switch (s.Board[c][r]) {
            case CannonReady:
            case CannonFired:
                CannonSteps(line, paths, s.Board[c][r] == CannonReady, out);
                break;
            case Builder:
                BuilderSteps(line, paths, out);
                break;
            case King:
            case Wizard: {
                const int far = s.Board[c][r] == King ? 4 : 2;
                for (int tc = 0; tc < Cols; ++tc)
                    for (int tr = 0; tr < Rows; ++tr)
                        if (paths.Reaches(tc, tr) && paths.dist[tc][tr] > 0 &&
                            paths.dist[tc][tr] <= std::min(moves, far))
                            AddWalk(line, paths, tc, tr, out);
                break;
            }
            default:
                break;
            }
        }
}

namespace {

struct Scored {
    Line line;
    double score;
};

// Step by step the best-looking candidate, while it improves on stopping.
Scored Climb(Line line, const Style& style, Rng& rng)
{
    double score = Evaluate(line.s, style);
    std::vector<Line> kids;
    while (!line.Over() && line.s.MovesLeft > 0) {
        if (style.stopChance > 0 && rng.Unit() < style.stopChance)
            break;
        kids.clear();
        Candidates(line, kids);
        int best = -1;
        double bestScore = score + 0.5;
        for (std::size_t i = 0; i < kids.size(); ++i) {
            double v = Evaluate(kids[i].s, style);
            if (style.noise > 0)
                v += style.noise * (rng.Unit() - 0.5);
            if (v > bestScore)
                best = int(i), bestScore = v;
        }
        if (best < 0)
            break;
        line = std::move(kids[std::size_t(best)]);
        score = bestScore;
    }
    return {std::move(line), score};
}

} // namespace

namespace {


// The enemy's answer to a turn, played the way Normal plays it, judged from
// our side once it is over. Normal does not always take a piece left in
// its line of fire; a patient player does, so what it left standing there
// still counts against the turn.
double AfterReply(const Line& line, const Style& style)
{
    if (line.Over())
        return Evaluate(line.s, Style{});
    State reply = line.s;
    PassTurn(reply);
    Rng rng(Fingerprint(reply));
    Style normal;
    const Decision d = Plan(reply, normal, rng);
    StartTurn(reply, d.recruit);
    for (const Action& a : d.actions)
        if (!Apply(reply, a))
            break;
    double score = -Evaluate(reply, normal);
    if (style.guardPieces && reply.GameState != PhaseGameOver)
        score -= ExposedShare * Exposed(line.s, line.s.CurrentPlayer, &reply);
    return score;
}

} // namespace

Decision Plan(const State& s, const Style& style, Rng& rng)
{
    std::vector<int> recruits;
    if (s.Board[PortalCol(s.CurrentPlayer)][PortalRow] != Empty)
        recruits = {Empty};
    else if (style.lookahead > 0)
        recruits = {Wizard, CannonReady, Builder, Empty}; // a recruit may only feed the enemy
    else
        recruits = {Wizard, CannonReady, Builder};

    // A King shot ends the game: nothing else counts.
    const bool lookForWin = style.takeWins || rng.Unit() < style.winChance;
    std::vector<Line> starts;
    for (int recruit : recruits) {
        Line line(s);
        StartTurn(line.s, recruit);
        if (lookForWin) {
            std::vector<Action> plan;
            if (KingShot(line.s, line.s.MovesLeft + 1, &plan) >= 0) {
                Line check = line;
                bool ok = true;
                for (const Action& a : plan)
                    ok = ok && check.Do(a);
                if (ok && check.Over())
                    return {recruit, std::move(plan)};
            }
        }
        starts.push_back(std::move(line));
    }

    Decision best;
    double bestScore = -std::numeric_limits<double>::infinity();
    if (style.lookahead > 0) {
        // Different turns, each answered by the enemy; the turn whose answer
        // leaves us best wins.
        std::vector<std::uint64_t> seen;
        auto judge = [&](Line& line, std::size_t i) {
            const std::uint64_t print = Fingerprint(line.s) ^ std::uint64_t(line.s.MovesLeft);
            if (std::find(seen.begin(), seen.end(), print) != seen.end())
                return;
            seen.push_back(print);
            double score = AfterReply(line, style);
            if (score <= Lost / 2) {
                // The answer takes the King whatever we do: make it cost
                // the enemy as much as it can, so that a slip still saves
                // us, and keep the material a longer game needs.
                score = Lost / 2 - 100.0 * std::max(ThreatMargin(line.s), 0) + Evaluate(line.s, Style{}) / 100.0;
            }
            // Ending the turn at once has to be strictly better than every
            // move.
            if (line.actions.empty() && line.s.MovesLeft > 0)
                score -= 1.0;
            if (score > bestScore) {
                bestScore = score;
                best = {recruits[i], line.actions};
            }
        };
        std::vector<Line> kids;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            // Nothing at all, the best climb, and the best climb after each
            // of the most promising first steps.
            Line climbed = Climb(starts[i], style, rng).line;
            judge(starts[i], i);
            judge(climbed, i);
            kids.clear();
            Candidates(starts[i], kids);
            std::vector<std::pair<double, std::size_t>> order;
            for (std::size_t k = 0; k < kids.size(); ++k)
                order.push_back({-Evaluate(kids[k].s, style), k});
            std::sort(order.begin(), order.end());
            for (std::size_t k = 0; k < order.size() && int(k) < style.lookahead; ++k) {
                Line line = Climb(kids[order[k].second], style, rng).line;
                judge(line, i);
            }
        }
        return best;
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        Scored result = Climb(starts[i], style, rng);
        if (result.score > bestScore) {
            bestScore = result.score;
            best = {recruits[i], std::move(result.line.actions)};
        }
    }
    return best;
}

} // namespace Turrion::AI::Detail
