// turrion-arena: the computer players against each other, without a window,
// and against engine programs that speak the engine protocol over pipes.
//
// Every action goes through AI::Apply, so a move the rules refuse cannot
// happen. From a built-in player, a refused action or a board that breaks an
// invariant is a bug and stops the run with what it takes to play that game
// again; from an engine program it loses that game, and the run goes on.
#include "ai/EngineProtocol.h"
#include "ai/Opponent.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Turrion;
namespace Protocol = Turrion::AI::Protocol;

namespace {

using Clock = std::chrono::steady_clock;

// One side of the arena: a built-in policy or an engine program.
struct PlayerSpec {
    std::string label; // as given on the command line
    bool engine = false;
    AI::Policy policy = AI::Policy::Random;
    std::string command; // engine: run by /bin/sh -c
};

struct Options {
    PlayerSpec blue, red;
    long games = 100;
    std::uint32_t seed = 1;
    bool alternate = false;
    int maxTurns = 200;
    bool trace = false;
    double engineTimeout = 10.0; // seconds for each answer of an engine
};

// An engine program on the other end of two pipes, in a process group of
// its own so that whatever its shell starts goes away with it.
class Engine {
public:
    Engine(std::string command, double timeoutSeconds) : command_(std::move(command)), timeout_(timeoutSeconds) {}
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    ~Engine() { Stop(true); }

    const std::string& Name() const { return name_; }

    // Starts the program and greets it, unless it runs already; "" or why
    // it cannot play.
    std::string Ensure()
    {
        if (pid_ > 0)
            return {};
        int toChild[2], fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0)
            return std::string("no pipe for the engine: ") + std::strerror(errno);
        if (pipe2(fromChild, O_CLOEXEC) != 0) {
            close(toChild[0]), close(toChild[1]);
            return std::string("no pipe for the engine: ") + std::strerror(errno);
        }
        const pid_t pid = fork();
        if (pid < 0) {
            close(toChild[0]), close(toChild[1]), close(fromChild[0]), close(fromChild[1]);
            return std::string("the engine cannot be started: ") + std::strerror(errno);
        }
        if (pid == 0) {
            setpgid(0, 0);
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            execl("/bin/sh", "sh", "-c", command_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setpgid(pid, pid); // also here: the child may not have run yet
        close(toChild[0]), close(fromChild[1]);
        pid_ = pid, in_ = toChild[1], out_ = fromChild[0];
        pending_.clear();
        // A program may take a while to load; the greeting waits at least
        // as long as a turn would by default.
        std::string answer;
        std::string why = Ask(std::string(Protocol::Greeting), answer, std::max(timeout_, 10.0));
        if (why.empty()) {
            const std::string_view ready = Protocol::Ready;
            if (answer.compare(0, ready.size(), ready) != 0 ||
                (answer.size() > ready.size() && answer[ready.size()] != ' '))
                why = "it answered the greeting with \"" + answer.substr(0, 60) + "\", not \"ready NAME\"";
            else
                name_ = answer.size() > ready.size() + 1 ? answer.substr(ready.size() + 1) : "(no name)";
        }
        if (!why.empty())
            Stop(false);
        return why;
    }

    // Writes one line and reads one back within the time allowed; "" or why
    // no answer came. Any failure leaves the engine stopped.
    std::string Ask(const std::string& request, std::string& answer) { return Ask(request, answer, timeout_); }
    std::string Ask(const std::string& request, std::string& answer, double seconds)
    {
        std::string why = Write(request + "\n");
        if (why.empty())
            why = ReadLine(answer, seconds);
        if (!why.empty())
            Stop(false);
        return why;
    }

    // Ends the program: `quit` and a moment to go, when it behaved; at once
    // otherwise.
    void Stop(bool politely)
    {
        if (pid_ <= 0)
            return;
        if (politely)
            Write("quit\n");
        close(in_);
        if (politely) {
            // Its output closes when it has gone.
            const auto until = Clock::now() + std::chrono::seconds(1);
            char buf[256];
            while (Clock::now() < until) {
                pollfd p{out_, POLLIN, 0};
                const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
                if (poll(&p, 1, std::max(left, 0)) <= 0 || read(out_, buf, sizeof buf) <= 0)
                    break;
            }
        }
        close(out_);
        kill(-pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1, in_ = out_ = -1;
    }

private:
    std::string Write(const std::string& text)
    {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(in_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return "the engine is gone (it stopped reading its input)";
            done += std::size_t(n);
        }
        return {};
    }

    std::string ReadLine(std::string& line, double seconds)
    {
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            const std::size_t newline = pending_.find('\n');
            if (newline != std::string::npos) {
                line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return {};
            }
            if (pending_.size() > Protocol::MaxLineBytes)
                return "an answer longer than " + std::to_string(Protocol::MaxLineBytes) + " bytes";
            const double left = std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
            pollfd p{out_, POLLIN, 0};
            const int ready = left <= 0 ? 0 : poll(&p, 1, int(std::ceil(left)));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                char text[32];
                std::snprintf(text, sizeof text, "%g", seconds);
                return std::string("no answer within ") + text + " s";
            }
            char buf[4096];
            const ssize_t n = read(out_, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return "the engine exited" + ExitNote();
            pending_.append(buf, std::size_t(n));
        }
    }

    // How the program ended, when it has (a short wait: its output is shut).
    std::string ExitNote()
    {
        int status = 0;
        bool reaped = false;
        for (int i = 0; i < 50 && !reaped; ++i) {
            reaped = waitpid(pid_, &status, WNOHANG) == pid_;
            if (!reaped)
                poll(nullptr, 0, 10);
        }
        if (!reaped)
            return "";
        kill(-pid_, SIGKILL); // whatever it left behind
        close(in_), close(out_);
        pid_ = -1, in_ = out_ = -1;
        if (WIFEXITED(status))
            return " (status " + std::to_string(WEXITSTATUS(status)) + ")";
        if (WIFSIGNALED(status))
            return " (signal " + std::to_string(WTERMSIG(status)) + ")";
        return "";
    }

    std::string command_;
    double timeout_;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string pending_, name_ = "(never started)";
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
                 "usage: turrion-arena --blue PLAYER --red PLAYER --games N --seed S\n"
                 "                     [--alternate] [--max-turns T] [--trace] [--engine-timeout SECONDS]\n"
                 "       turrion-arena --engine POLICY [--seed S]\n"
                 "  PLAYER     a POLICY, or engine:COMMAND for a program that speaks the engine\n"
                 "             protocol (docs/engine-protocol.md), COMMAND run by /bin/sh\n"
                 "  POLICY     random, greedy, sniper, easy, normal or hard\n"
                 "  N          games to play, 1 or more\n"
                 "  S          the seed, 0 to 4294967295: the same seed plays the same games\n"
                 "  --alternate  the two players swap colours every other game\n"
                 "  T          turns (rounds of Blue and Red) before a game counts as a draw;\n"
                 "             200 by default, at most 255 with an engine\n"
                 "  --trace    print the board after every turn\n"
                 "  --engine-timeout  how long an engine may think about one answer; 10 by default\n"
                 "  --engine   be an engine: answer the protocol on standard input and output\n"
                 "             with the built-in POLICY\n",
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
    long wins = 0, losses = 0, draws = 0, blueWins = 0, redWins = 0, forfeits = 0;
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
                 "replay: turrion-arena --blue '%s' --red '%s' --games %ld --seed %u%s --max-turns %d\n",
                 game + 1, o.seed, turn, what.c_str(), o.blue.label.c_str(), o.red.label.c_str(),
                 game + 1, o.seed, o.alternate ? " --alternate" : "", o.maxTurns);
    return 1;
}

// A player named on the command line, or why it is none.
std::string ParsePlayer(const std::string& text, PlayerSpec& out)
{
    static constexpr std::string_view prefix = "engine:";
    PlayerSpec p;
    p.label = text;
    if (text.compare(0, prefix.size(), prefix) == 0) {
        p.engine = true;
        p.command = text.substr(prefix.size());
        if (p.command.find_first_not_of(" \t") == std::string::npos)
            return "engine: needs a command after it";
    } else if (const auto policy = AI::PolicyFromName(text)) {
        p.policy = *policy;
    } else {
        return "unknown player \"" + text + "\"";
    }
    out = p;
    return {};
}

// FNV-1a over a line: the same game gets the same decision.
std::uint32_t LineHash(std::string_view text)
{
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text)
        h = (h ^ c) * 16777619u;
    return h;
}

// Reads one line of at most MaxLineBytes from standard input; false at its
// end. A longer line is read to its end and comes back cut, with `tooLong`.
bool ReadStdinLine(std::string& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    int c = 0;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < Protocol::MaxLineBytes)
            line += char(c);
        else
            tooLong = true;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return any;
}

// `--engine POLICY`: this program as an engine on standard input and output.
int EngineMain(AI::Policy policy, std::uint32_t seed)
{
    auto say = [](const std::string& text) {
        std::fputs((text + "\n").c_str(), stdout);
        std::fflush(stdout);
    };
    auto complain = [](const std::string& text) {
        std::fprintf(stderr, "turrion-arena --engine: %s\n", text.c_str());
    };
    std::string line;
    bool tooLong = false;
    while (ReadStdinLine(line, tooLong)) {
        if (tooLong) {
            complain("a line longer than " + std::to_string(Protocol::MaxLineBytes) + " bytes, ignored");
            continue;
        }
        if (line == Protocol::Greeting) {
            say(std::string(Protocol::Ready) + " turrion-arena " + AI::PolicyName(policy));
        } else if (line == "quit") {
            return 0;
        } else if (line.compare(0, 5, "turn ") == 0) {
            State s;
            const std::string why = Protocol::StateFromHex(std::string_view(line).substr(5), s);
            if (!why.empty()) {
                // The arena's game is not one we can read; ending the turn
                // at once keeps the conversation going.
                complain("turn: " + why + "; answering none");
                say("none");
                continue;
            }
            say(Protocol::FormatAnswer(AI::Decide(s, policy, Mix(seed, long(LineHash(line)), 0))));
        } else if (line.compare(0, 15, "turrion-engine ") == 0) {
            complain("the arena speaks \"" + line.substr(0, 40) + "\"; this engine speaks only \"" +
                     std::string(Protocol::Greeting) + "\"");
            return 2;
        } else {
            complain("unknown command \"" + line.substr(0, 40) + "\", ignored");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    bool haveBlue = false, haveRed = false, haveGames = false, haveSeed = false;
    std::optional<AI::Policy> engineMode;
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
                return Usage(("missing player after " + arg).c_str());
            if (const std::string why = ParsePlayer(argv[++i], arg == "--blue" ? o.blue : o.red); !why.empty())
                return Usage(why.c_str());
            (arg == "--blue" ? haveBlue : haveRed) = true;
        } else if (arg == "--engine") {
            if (!hasValue)
                return Usage("missing policy after --engine");
            engineMode = AI::PolicyFromName(argv[++i]);
            if (!engineMode)
                return Usage((std::string("unknown policy \"") + argv[i] + "\"").c_str());
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
        } else if (arg == "--engine-timeout") {
            char* end = nullptr;
            const double v = hasValue ? std::strtod(argv[++i], &end) : 0;
            if (!hasValue || end == argv[i] || *end != '\0' || !(v >= 0.01 && v <= 3600))
                return Usage("--engine-timeout needs a number of seconds from 0.01 to 3600");
            o.engineTimeout = v;
        } else {
            return Usage(("unknown argument \"" + arg + "\"").c_str());
        }
    }
    if (engineMode) {
        if (haveBlue || haveRed || haveGames)
            return Usage("--engine plays no games of its own: no --blue, --red or --games with it");
        return EngineMain(*engineMode, o.seed);
    }
    if (!haveBlue || !haveRed || !haveGames || !haveSeed)
        return Usage("--blue, --red, --games and --seed are all needed");
    if ((o.blue.engine || o.red.engine) && o.maxTurns > 255)
        return Usage("--max-turns above 255 cannot be sent to an engine: a saved game holds turns up to 255");

    // A write to an engine that has gone must come back as an error, not
    // end the arena.
    signal(SIGPIPE, SIG_IGN);

    const PlayerSpec* players[2] = {&o.blue, &o.red};
    std::unique_ptr<Engine> engine[2];
    for (int p = 0; p < 2; ++p)
        if (players[p]->engine)
            engine[p] = std::make_unique<Engine>(players[p]->command, o.engineTimeout);

    // Tallies by player: [0] the one named by --blue, [1] by --red.
    Tally tally[2];
    long draws = 0, turnsPlayed = 0;
    for (long game = 0; game < o.games; ++game) {
        const bool swapped = o.alternate && game % 2 == 1;
        // Which player (0 or 1) holds each colour in this game.
        const int holder[3] = {0, swapped ? 1 : 0, swapped ? 0 : 1};

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
            const bool portalFree = s.Board[PortalCol(s.CurrentPlayer)][PortalRow] == Empty;
            AI::Decision d;
            // An engine that is not running yet starts before the clock does.
            std::string forfeit = engine[who] ? engine[who]->Ensure() : std::string();
            const auto start = Clock::now();
            if (engine[who]) {
                std::string answer, why;
                const std::string request = Protocol::TurnLine(s, &why);
                if (request.empty())
                    return Breach(o, game, s.TurnNumber, "the game cannot be sent to the engine: " + why);
                if (forfeit.empty())
                    forfeit = engine[who]->Ask(request, answer);
                if (forfeit.empty())
                    forfeit = Protocol::ParseAnswer(answer, d);
                // What the portal cannot take is no recruit at all.
                if (forfeit.empty() && !portalFree)
                    d.recruit = Empty;
            } else {
                d = AI::Decide(s, players[who]->policy, Mix(o.seed, game, decision));
            }
            ++decision;
            tally[who].millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

            if (forfeit.empty()) {
                if (d.recruit != Empty && (!portalFree || (d.recruit != Wizard && d.recruit != Builder &&
                                                           d.recruit != CannonReady)))
                    return Breach(o, game, s.TurnNumber, "a recruit that cannot be placed");
                StartTurn(s, d.recruit);
                const int movesAtStart = s.MovesLeft;
                for (std::size_t i = 0; i < d.actions.size(); ++i) {
                    // An engine's turn ends when its moves run out; what it
                    // says after that is not played.
                    if (engine[who] && (s.GameState == PhaseGameOver || s.MovesLeft <= 0))
                        break;
                    if (AI::Apply(s, d.actions[i]))
                        continue;
                    const std::string what = "action " + std::to_string(i + 1) + " of " +
                                             std::to_string(d.actions.size()) + " (" +
                                             Protocol::ActionWord(d.actions[i]) + ") refused by the rules";
                    if (!engine[who])
                        return Breach(o, game, s.TurnNumber, what);
                    forfeit = what;
                    break;
                }
                if (s.MovesLeft > movesAtStart)
                    return Breach(o, game, s.TurnNumber, "moves grew during the turn");
            }
            if (!forfeit.empty()) {
                std::printf("game %ld: %s (%s) forfeits on turn %d: %s\n", game + 1, players[who]->label.c_str(),
                            s.CurrentPlayer == Blue ? "Blue" : "Red", s.TurnNumber, forfeit.c_str());
                std::fflush(stdout);
                engine[who]->Stop(false); // a fresh start for the next game
                ++tally[1 - who].wins, ++tally[who].losses, ++tally[who].forfeits;
                (s.CurrentPlayer == Blue ? tally[1 - who].redWins : tally[1 - who].blueWins) += 1;
                break;
            }
            if (const std::string why = AI::InvariantBreach(s); !why.empty())
                return Breach(o, game, s.TurnNumber, why);
            ++turnsPlayed;
            if (o.trace)
                Show(s, players[who]->label.c_str());
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

    const char* names[2] = {o.blue.label.c_str(), o.red.label.c_str()};
    std::printf("%ld games, %s against %s, seed %u, %s, a draw after %d turns; %ld turns played\n",
                o.games, names[0], names[1], o.seed,
                o.alternate ? "colours alternating" : "colours fixed", o.maxTurns, turnsPlayed);
    for (int p = 0; p < 2; ++p) {
        Tally& t = tally[p];
        if (engine[p])
            std::printf("%s (%s): the engine \"%s\"; %ld of its losses were forfeits\n", names[p],
                        p == 0 ? "--blue" : "--red", engine[p]->Name().c_str(), t.forfeits);
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
