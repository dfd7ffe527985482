#include "game/Screen.h"

namespace Turrion {

Screen& TheScreen()
{
    static Screen screen;
    return screen;
}

void ResetScreen()
{
    TheScreen() = Screen{};
}

void NoteClick(const State& s, int col, int row)
{
    Screen& v = TheScreen();
    v.MouseClicked = true;
    v.MouseCol = col;
    v.MouseRow = row;
    v.MouseGameId = s.GameId;
    v.MousePlayer = s.CurrentPlayer;
    v.MouseTurn = s.TurnNumber;
}

bool TakeClick(const State& s, int& col, int& row)
{
    Screen& v = TheScreen();
    if (!v.MouseClicked)
        return false;
    v.MouseClicked = false;
    if (v.MouseGameId != s.GameId || v.MousePlayer != s.CurrentPlayer || v.MouseTurn != s.TurnNumber)
        return false;
    col = v.MouseCol;
    row = v.MouseRow;
    return true;
}

} // namespace Turrion
