#include "ai/EngineProtocol.h"

#include "logic/SaveFormat.h"


namespace Turrion::AI::Protocol {

namespace {

constexpr struct {
    const char* word;
    int dCol, dRow;
} DirectionWords[] = {{"up", 0, -1}, {"down", 0, 1}, {"left", -1, 0}, {"right", 1, 0}};

constexpr struct {
    const char* word;
    int kind;
} RecruitWords[] = {{"none", Empty}, {"wizard", Wizard}, {"builder", Builder}, {"cannon", CannonReady}};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A small decimal number, digits only: no sign, no spaces, at most three.
std::optional<int> SmallNumber(std::string_view text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<Action> Arrow(std::string_view direction, bool wall)
{
    for (const auto& d : DirectionWords)
        if (direction == d.word)
            return Action{Action::Arrow, 0, 0, d.dCol, d.dRow, wall};
    return std::nullopt;
}

} // namespace

std::string ToHex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<std::string> FromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += char(hi * 16 + lo);
    }
    return out;
}

const char* RecruitWord(int kind)
{
    for (const auto& r : RecruitWords)
        if (r.kind == kind)
            return r.word;
    return "none";
}

std::optional<int> RecruitFromWord(std::string_view word)
{
    for (const auto& r : RecruitWords)
        if (word == r.word)
            return r.kind;
    return std::nullopt;
}

std::string ActionWord(const Action& a)
{
    switch (a.kind) {
    case Action::Tab:
        return "tab";
    case Action::Select:
        return "select:" + std::to_string(a.col) + "," + std::to_string(a.row);
    case Action::Fire:
        return "fire:" + std::to_string(a.power);
    case Action::Arrow:
        for (const auto& d : DirectionWords)
            if (a.dCol == d.dCol && a.dRow == d.dRow)
                return std::string(a.wall ? "wall:" : "step:") + d.word;
        break;
    }
    return "?"; // no word says it: the other side refuses it as unknown
}

std::optional<Action> ActionFromWord(std::string_view word)
{
    if (word == "tab")
        return Action{Action::Tab};
    const std::size_t colon = word.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view verb = word.substr(0, colon), arg = word.substr(colon + 1);
    if (verb == "step" || verb == "wall")
        return Arrow(arg, verb == "wall");
    if (verb == "fire") {
        const auto power = SmallNumber(arg);
        if (!power)
            return std::nullopt;
        return Action{Action::Fire, 0, 0, 0, 0, false, *power};
    }
    if (verb == "select") {
        const std::size_t comma = arg.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        const auto col = SmallNumber(arg.substr(0, comma)), row = SmallNumber(arg.substr(comma + 1));
        if (!col || !row)
            return std::nullopt;
        return Action{Action::Select, *col, *row};
    }
    return std::nullopt;
}

std::string FormatAnswer(const Decision& d)
{
    std::string line = RecruitWord(d.recruit);
    for (const Action& a : d.actions) {
        line += ' ';
        line += ActionWord(a);
    }
    return line;
}

std::string ParseAnswer(std::string_view line, Decision& out)
{
    auto quoted = [](std::string_view w) {
        std::string q = "\"";
        for (char c : w.substr(0, 40))
            q += (c >= ' ' && c <= '~') ? c : '?';
        return q + (w.size() > 40 ? "...\"" : "\"");
    };
    Decision d;
    std::size_t start = 0;
    for (int index = 0;; ++index) {
        const std::size_t space = line.find(' ', start);
        const std::string_view word =
            line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start);
        if (word.empty())
            return index == 0 && line.empty() ? "an empty answer" : "an empty word (two spaces in a row, or one at an end)";
        if (index == 0) {
            const auto recruit = RecruitFromWord(word);
            if (!recruit)
                return "unknown recruit " + quoted(word);
            d.recruit = *recruit;
        } else {
            const auto action = ActionFromWord(word);
            if (!action)
                return "unknown word " + quoted(word);
            d.actions.push_back(*action);
        }
        if (space == std::string_view::npos)
            break;
        start = space + 1;
    }
    out = std::move(d);
    return {};
}

std::string TurnLine(const State& s, std::string* why)
{
    QString error;
    const QByteArray bytes = SerializeGame(s, &error);
    if (bytes.isEmpty()) {
        if (why)
            *why = error.toStdString();
        return {};
    }
    return "turn " + ToHex(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

std::string StateFromHex(std::string_view hex, State& out)
{
    if (hex.size() > 2 * std::size_t(MaxSaveFileBytes))
        return "the game is far longer than a saved game can be";
    const auto bytes = FromHex(hex);
    if (!bytes)
        return "the game is not hexadecimal (an odd length or a character that is no hex digit)";
    SavedGame saved;
    const QString error = ParseGame(QByteArray(bytes->data(), qsizetype(bytes->size())), saved);
    if (!error.isEmpty()) {
        std::string why = error.toStdString();
        if (!why.empty() && why.back() == '.')
            why.pop_back(); // the sentence goes on
        return "the game is not a saved game: " + why;
    }
    if (saved.Status > 2)
        return "the game is already over";
    if (saved.MovesByte % 2 == 0)
        return "the game is not at the start of a turn (its turn is not fresh)";
    State s;
    ApplySavedGame(saved, s);
    // The decisions trust what a game in play keeps true: one King a side,
    // pieces in their halves, the moves counted.
    if (const std::string breach = InvariantBreach(s); !breach.empty())
        return "the game cannot happen: " + breach;
    out = s;
    return {};
}

} // namespace Turrion::AI::Protocol
