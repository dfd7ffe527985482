// The engine protocol's words: what an arena and an engine program say to
// each other over text lines (docs/engine-protocol.md). Only the wording
// lives here, with no process and no pipe, so both ends and the tests share
// one reading of every line.
#pragma once

#include "ai/Opponent.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Turrion::AI::Protocol {

// The arena's first line, and the word that starts the engine's answer.
inline constexpr std::string_view Greeting = "turrion-engine 1";
inline constexpr std::string_view Ready = "ready";
// No line of the protocol comes near this; a longer one is refused unread.
inline constexpr std::size_t MaxLineBytes = 65536;

// Bytes as lowercase hexadecimal, two digits a byte.
std::string ToHex(std::string_view bytes);
// Hexadecimal back to bytes (either case); nullopt for an odd length or a
// character that is no hex digit.
std::optional<std::string> FromHex(std::string_view hex);

// "none", "wizard", "builder", "cannon" <-> Empty, Wizard, Builder, CannonReady.
const char* RecruitWord(int kind);
std::optional<int> RecruitFromWord(std::string_view word);

// One action as a word: tab, select:C,R, step:D, wall:D, fire:P.
std::string ActionWord(const Action& a);
// The word's shape only: "select:12,40" and "fire:9" are actions (that the
// rules will refuse); "jump" and "fire:x" are not.
std::optional<Action> ActionFromWord(std::string_view word);

// A whole answer: the recruit, then the actions, one space apart.
std::string FormatAnswer(const Decision& d);
// Reads an answer line into `out`; returns "" or what is wrong with it.
std::string ParseAnswer(std::string_view line, Decision& out);

// "turn HEX" for the game at the start of a turn, before its recruit; ""
// and `why` when the game cannot be written as a saved game.
std::string TurnLine(const State& s, std::string* why = nullptr);
// The game of a turn line's HEX, ready for its recruit (PhaseTurnStart);
// returns "" and fills `out`, or what is wrong with it.
std::string StateFromHex(std::string_view hex, State& out);

} // namespace Turrion::AI::Protocol
