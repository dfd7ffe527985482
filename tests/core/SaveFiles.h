// Saved games the format tests and the loader tests share.
#pragma once

#include "core/SaveFormat.h"
#include "tests/LogicSupport.h"

#include <vector>

namespace SaveFiles {

using namespace Turrion;
using LogicSupport::Bytes;
using LogicSupport::Values;

// A new game after the turn report: Blue to move, turn 1, six moves. On the
// live state it keeps the window and picture handles.
inline State& NewGame(State& s)
{
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    s.FreshTurn = true;
    s.RecruitKind = 0;
    s.GameState = s.ResumeState = PhaseMove;
    PutCursorOnKing(s, Blue);
    return s;
}
inline State NewGameState()
{
    State s;
    return NewGame(s);
}

inline const std::vector<int> NewGameFile = {1,  1,  13, 10, 11, 11, 14, 17, 24, 18,
                                             21, 50, 12, 51, 14, 57, 24, 58, 22};

// Malformed saves, each refused by the parser and by the loader.
inline const struct {
    const char* name;
    QByteArray bytes;
} kBadFiles[] = {
    {"empty", QByteArray()},
    {"short", Bytes({1, 1})},
    {"even", Bytes({1, 1, 13, 10, 11, 11})},
    {"status0", Bytes({0, 1, 13, 10, 11})},
    {"status5", Bytes({5, 1, 13, 10, 11})},
    {"row7", Bytes({1, 1, 13, 10, 11, 75, 21})},
    {"col9", Bytes({1, 1, 13, 10, 11, 29, 21})},
    {"owner3", Bytes({1, 1, 13, 10, 31})},
    {"piece8", Bytes({1, 1, 13, 10, 11, 18, 28})},
    {"toolong", QByteArray(MaxSaveFileBytes + 1, char(1))},
};

} // namespace SaveFiles
