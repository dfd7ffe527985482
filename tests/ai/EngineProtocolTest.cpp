// The engine protocol's words and the game in a turn line, without any
// process: what the arena sends must come back as the same game, and what an
// engine answers must read as the actions it meant, or be refused by name.
#include "ai/EngineProtocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

using namespace Turrion;
using namespace Turrion::AI;
namespace P = Turrion::AI::Protocol;

namespace {

bool Same(const Action& a, const Action& b)
{
    return a.kind == b.kind && a.col == b.col && a.row == b.row && a.dCol == b.dCol && a.dRow == b.dRow &&
           a.wall == b.wall && a.power == b.power;
}

} // namespace

TEST(EngineProtocolTest, HexCarriesEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string hex = P::ToHex(all);
    EXPECT_EQ(hex.substr(0, 8), "00010203");
    EXPECT_EQ(hex.substr(hex.size() - 4), "feff");
    EXPECT_EQ(P::FromHex(hex), all);
    EXPECT_EQ(P::FromHex("ABcd"), std::string("\xab\xcd"));
    for (const char* bad : {"0", "0g", "zz", "00 1", "-1"})
        EXPECT_FALSE(P::FromHex(bad)) << bad;
}

TEST(EngineProtocolTest, ActionWordsReadAsTheirActions)
{
    const std::pair<const char*, std::optional<Action>> words[] = {
        {"tab", Action{Action::Tab}},
        {"select:3,6", Action{Action::Select, 3, 6}},
        {"select:12,40", Action{Action::Select, 12, 40}}, // a word; the rules refuse it
        {"step:up", Action{Action::Arrow, 0, 0, 0, -1}},
        {"step:right", Action{Action::Arrow, 0, 0, 1, 0}},
        {"wall:down", Action{Action::Arrow, 0, 0, 0, 1, true}},
        {"wall:left", Action{Action::Arrow, 0, 0, -1, 0, true}},
        {"fire:8", Action{Action::Fire, 0, 0, 0, 0, false, 8}},
        {"fire:9", Action{Action::Fire, 0, 0, 0, 0, false, 9}},
        {"jump", std::nullopt},       {"Tab", std::nullopt},        {"step:north", std::nullopt},
        {"step:", std::nullopt},      {"fire:x", std::nullopt},     {"fire:-1", std::nullopt},
        {"fire:1234", std::nullopt},  {"select:3", std::nullopt},   {"select:3,", std::nullopt},
        {"select:+3,1", std::nullopt}, {"select:3,1,2", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [word, expected] : words) {
        const std::optional<Action> got = P::ActionFromWord(word);
        ASSERT_EQ(got.has_value(), expected.has_value()) << word;
        if (!got)
            continue;
        EXPECT_TRUE(Same(*got, *expected)) << word;
        EXPECT_EQ(P::ActionWord(*got), word);
    }
}

TEST(EngineProtocolTest, AnswersReadOrSayWhatIsWrong)
{
    const std::pair<const char*, const char*> answers[] = { // line, "" or a part of the complaint
        {"none", ""},
        {"cannon select:0,3 step:up fire:5", ""},
        {"builder tab tab wall:right", ""},
        {"", "empty answer"},
        {"nothing", "unknown recruit \"nothing\""},
        {"King", "unknown recruit"},
        {"none jump", "unknown word \"jump\""},
        {"none  tab", "empty word"},
        {"none tab ", "empty word"},
        {"none step:up\tfire:2", "unknown word"},
    };
    for (const auto& [line, complaint] : answers) {
        Decision d;
        const std::string why = P::ParseAnswer(line, d);
        if (*complaint == '\0') {
            EXPECT_EQ(why, "") << line;
            EXPECT_EQ(P::FormatAnswer(d), line);
        } else {
            EXPECT_NE(why.find(complaint), std::string::npos) << line << " -> " << why;
        }
    }
}

TEST(EngineProtocolTest, TurnLinesThatAreNoTurnStartAreRefused)
{
    State start;
    StartNewGame(start);
    auto hexOf = [](State s, void (*change)(State&)) {
        change(s);
        return P::TurnLine(s).substr(5);
    };
    const std::pair<std::string, const char*> bad[] = {
        {"01010", "not hexadecimal"},
        {"0101", "not a saved game"},
        {"090107", "not a saved game"},
        {std::string(9000, '0'), "far longer"},
        {hexOf(start, [](State& s) { StartTurn(s, Empty), SpendMove(s); }), "not at the start of a turn"},
        {hexOf(start, [](State& s) { s.Board[2][2] = King, s.Owner[2][2] = Blue; }), "cannot happen"},
        {hexOf(start, [](State& s) { s.Board[6][2] = Wizard, s.Owner[6][2] = Blue; }), "cannot happen"},
        {hexOf(start, [](State& s) { s.GameState = PhaseGameOver, s.CursorCol = 8, s.CursorRow = 1; }), "over"},
    };
    for (const auto& [hex, complaint] : bad) {
        State out;
        const std::string why = P::StateFromHex(hex, out);
        EXPECT_NE(why.find(complaint), std::string::npos) << hex.substr(0, 40) << " -> " << why;
    }
}

TEST(EngineProtocolTest, GamesAndDecisionsSurviveTheirWords)
{
    // Turns of several players: each turn line reads back as the same game
    // at its turn start, and each answer as the same turn, which then plays.
    State s;
    StartNewGame(s);
    const Policy players[] = {Policy::Random, Policy::Hard, Policy::Sniper};
    for (std::uint32_t turn = 0; turn < 9 && s.GameState != PhaseGameOver; ++turn) {
        State back;
        ASSERT_EQ(P::StateFromHex(P::TurnLine(s).substr(5), back), "");
        EXPECT_EQ(std::memcmp(back.Board, s.Board, sizeof s.Board), 0);
        EXPECT_EQ(std::memcmp(back.Owner, s.Owner, sizeof s.Owner), 0);
        EXPECT_EQ(std::tuple(back.CurrentPlayer, back.TurnNumber, back.MovesLeft, back.GameState),
                  std::tuple(s.CurrentPlayer, s.TurnNumber, s.MovesLeft, int(PhaseTurnStart)));
        const Decision d = Decide(s, players[turn % 3], turn);
        Decision answer;
        ASSERT_EQ(P::ParseAnswer(P::FormatAnswer(d), answer), "");
        ASSERT_EQ(std::pair(answer.recruit, answer.actions.size()), std::pair(d.recruit, d.actions.size()));
        StartTurn(s, answer.recruit);
        for (std::size_t i = 0; i < answer.actions.size(); ++i) {
            EXPECT_TRUE(Same(answer.actions[i], d.actions[i]));
            ASSERT_TRUE(Apply(s, answer.actions[i]));
        }
        if (s.GameState != PhaseGameOver)
            PassTurn(s);
    }
}
