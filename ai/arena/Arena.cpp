// turrion-arena: the computer players against each other, without a window.
//
// Every action goes through AI::Apply, so a move the rules refuse cannot
// happen; a refused action, or a board that breaks an invariant, is a bug
// and stops the run with what it takes to play that game again.
#include "ai/Opponent.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Turrion;

namespace {

struct Options {
    AI::Policy blue = AI::Policy::Random, red = AI::Policy::Random;
    long games = 100;
    std::uint32_t seed = 1;
    bool alternate = false;
    int maxTurns = 200;
    bool trace = false;
};

// The board after a turn, one row a line: Blue pieces in capitals, Red in
// small letters (King, Wizard, Builder, Wall, Fire, Cannon ready, fired).
void Show(const State& s, const char* who)
{
    std::printf("turn %d, %s (%s), %d moves left%s\n", s.TurnNumber,
                s.CurrentPlayer == Blue ? "Blue" : "Red", who, s.MovesLeft,
                s.GameState == PhaseGameOver ? ", game over" : "");
    for (int r = 0; r < Rows; ++r) {
        std::string line = "  ";
        for (int c = 0; c < Cols; ++c) {
            const char piece = ".KZBWFCD"[s.Board[c][r]];
            line += c == MiddleColumn ? '|' : s.Owner[c][r] == Red ? char(piece | 0x20) : piece;
        }
        std::printf("%s\n", line.c_str());
    }
}

int Usage(const char* why)
{
    std::fprintf(why ? stderr : stdout,
                 "%s%s%s"
                 "usage: turrion-arena --blue POLICY --red POLICY --games N --seed S\n"
                 "                     [--alternate] [--max-turns T] [--trace]\n"
                 "  POLICY     random, greedy, easy, normal or hard\n"
                 "  N          games to play, 1 or more\n"
                 "  S          the seed, 0 to 4294967295: the same seed plays the same games\n"
                 "  --alternate  the two players swap colours every other game\n"
                 "  T          turns (rounds of Blue and Red) before a game counts as a draw;\n"
                 "             200 by default\n"
                 "  --trace    print the board after every turn\n",
                 why ? "turrion-arena: " : "", why ? why : "", why ? "\n" : "");
    return why ? 2 : 0;
}

bool Number(const char* text, long long low, long long high, long long& out)
{
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return false;
    out = v;
    return true;
}

// The seed of one decision: the run's seed, the game and the turn.
std::uint32_t Mix(std::uint32_t seed, long game, int decision)
{
    std::uint64_t z = (std::uint64_t(seed) << 32) ^ (std::uint64_t(game) * 0x9E3779B97F4A7C15ull) ^
                      (std::uint64_t(decision) * 0xC2B2AE3D27D4EB4Full);
    z = (z ^ (z >> 33)) * 0xFF51AFD7ED558CCDull;
    z = (z ^ (z >> 33)) * 0xC4CEB9FE1A85EC53ull;
    return std::uint32_t(z ^ (z >> 33));
}

struct Tally {
    long wins = 0, losses = 0, draws = 0, blueWins = 0, redWins = 0;
    std::vector<double> millis;
};

double Percentile(std::vector<double>& v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

int Breach(const Options& o, long game, int turn, const std::string& what)
{
    std::fprintf(stderr,
                 "turrion-arena: game %ld (seed %u), turn %d: %s\n"
                 "replay: turrion-arena --blue %s --red %s --games %ld --seed %u%s --max-turns %d\n",
                 game + 1, o.seed, turn, what.c_str(), AI::PolicyName(o.blue), AI::PolicyName(o.red),
                 game + 1, o.seed, o.alternate ? " --alternate" : "", o.maxTurns);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    bool haveBlue = false, haveRed = false, haveGames = false, haveSeed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--help" || arg == "-h") {
            return Usage(nullptr);
        } else if (arg == "--alternate") {
            o.alternate = true;
        } else if (arg == "--trace") {
            o.trace = true;
        } else if (arg == "--blue" || arg == "--red") {
            if (!hasValue)
                return Usage(("missing policy after " + arg).c_str());
            const auto p = AI::PolicyFromName(argv[++i]);
            if (!p)
                return Usage((std::string("unknown policy \"") + argv[i] + "\"").c_str());
            (arg == "--blue" ? o.blue : o.red) = *p;
            (arg == "--blue" ? haveBlue : haveRed) = true;
        } else if (arg == "--games") {
            if (!hasValue || !Number(argv[++i], 1, 100000000, n))
                return Usage("--games needs a whole number of at least 1");
            o.games = long(n);
            haveGames = true;
        } else if (arg == "--seed") {
            if (!hasValue || !Number(argv[++i], 0, 4294967295ll, n))
                return Usage("--seed needs a whole number from 0 to 4294967295");
            o.seed = std::uint32_t(n);
            haveSeed = true;
        } else if (arg == "--max-turns") {
            if (!hasValue || !Number(argv[++i], 1, 1000000, n))
                return Usage("--max-turns needs a whole number of at least 1");
            o.maxTurns = int(n);
        } else {
            return Usage(("unknown argument \"" + arg + "\"").c_str());
        }
    }
    if (!haveBlue || !haveRed || !haveGames || !haveSeed)
        return Usage("--blue, --red, --games and --seed are all needed");

    // Tallies by player: [0] the one named by --blue, [1] by --red.
    Tally tally[2];
    long draws = 0, turnsPlayed = 0;
    using Clock = std::chrono::steady_clock;
    for (long game = 0; game < o.games; ++game) {
        const bool swapped = o.alternate && game % 2 == 1;
        // Which player (0 or 1) holds each colour in this game.
        const int holder[3] = {0, swapped ? 1 : 0, swapped ? 0 : 1};
        const AI::Policy policy[2] = {o.blue, o.red};

        State s;
        StartNewGame(s);
        int decision = 0;
        for (;;) {
            if (s.TurnNumber > o.maxTurns) {
                ++draws;
                ++tally[0].draws, ++tally[1].draws;
                break;
            }
            const int who = holder[s.CurrentPlayer];
            const auto start = Clock::now();
            const AI::Decision d = AI::Decide(s, policy[who], Mix(o.seed, game, decision++));
            tally[who].millis.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());

            const bool portalFree = s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty;
            if (d.recruit != Empty && (!portalFree || (d.recruit != Wizard && d.recruit != Builder &&
                                                       d.recruit != CannonReady)))
                return Breach(o, game, s.TurnNumber, "a recruit that cannot be placed");
            StartTurn(s, d.recruit);
            const int movesAtStart = s.MovesLeft;
            for (std::size_t i = 0; i < d.actions.size(); ++i)
                if (!AI::Apply(s, d.actions[i]))
                    return Breach(o, game, s.TurnNumber,
                                  "action " + std::to_string(i + 1) + " of " +
                                      std::to_string(d.actions.size()) + " refused by the rules");
            if (s.MovesLeft > movesAtStart)
                return Breach(o, game, s.TurnNumber, "moves grew during the turn");
            if (const std::string why = AI::InvariantBreach(s); !why.empty())
                return Breach(o, game, s.TurnNumber, why);
            ++turnsPlayed;
            if (o.trace)
                Show(s, AI::PolicyName(policy[who]));
            if (s.GameState == PhaseGameOver) {
                const int loser = s.Owner[s.CursorCol][s.CursorRow];
                if (s.Board[s.CursorCol][s.CursorRow] != King || (loser != Blue && loser != Red))
                    return Breach(o, game, s.TurnNumber, "a game over without a fallen King");
                const int winner = holder[loser == Blue ? Red : Blue];
                ++tally[winner].wins, ++tally[1 - winner].losses;
                (loser == Blue ? tally[winner].redWins : tally[winner].blueWins) += 1;
                break;
            }
            if (s.GameState != PhaseMove)
                return Breach(o, game, s.TurnNumber, "the turn left the move phase");
            PassTurn(s);
            if (const std::string why = AI::InvariantBreach(s); !why.empty())
                return Breach(o, game, s.TurnNumber, why);
        }
    }

    const char* names[2] = {AI::PolicyName(o.blue), AI::PolicyName(o.red)};
    std::printf("%ld games, %s against %s, seed %u, %s, a draw after %d turns; %ld turns played\n",
                o.games, names[0], names[1], o.seed,
                o.alternate ? "colours alternating" : "colours fixed", o.maxTurns, turnsPlayed);
    for (int p = 0; p < 2; ++p) {
        Tally& t = tally[p];
        std::printf("%s (%s): %ld wins (%ld as Blue, %ld as Red), %ld losses, %ld draws\n", names[p],
                    p == 0 ? "--blue" : "--red", t.wins, t.blueWins, t.redWins, t.losses, t.draws);
        const std::size_t n = t.millis.size();
        const double p50 = Percentile(t.millis, 0.50), p99 = Percentile(t.millis, 0.99);
        std::printf("%s (%s): %zu decisions, median %.3f ms, 99th percentile %.3f ms, longest %.3f ms\n",
                    names[p], p == 0 ? "--blue" : "--red", n, p50, p99,
                    n ? t.millis.back() : 0.0);
    }
    std::printf("%s: %ld wins, %s: %ld wins, %ld draws\n", names[0], tally[0].wins, names[1],
                tally[1].wins, draws);
    return 0;
}
