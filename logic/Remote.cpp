#include "logic/Remote.h"

#include "logic/Rules.h"

#include <cstdlib>

using namespace Turrion;

namespace Turrion::NetPlay {

bool AcceptsMessage(const State& s, const Message& m)
{
    switch (m.code) {
    case Code::NG:
    case Code::LF:
    case Code::SC:
        return !s.NetIsHost;
    case Code::AP:
    case Code::RP:
    case Code::MP:
    case Code::FC:
    case Code::ET:
        return AcceptsRemoteAction(s);
    case Code::PD:
    case Code::CH:
    case Code::DQ:
    case Code::SG:
    case Code::BD:
        return true;
    case Code::GA:
        return s.NetIsHost;
    }
    return false;
}

bool CanPlacePiece(const State& s, int owner, int kind, int col, int row)
{
    // What a copy of this program sends: the player on turn's recruit on its
    // own empty portal, or a Wall its Builder built on an empty cell of its
    // half, off the columns beside the river.
    const int player = s.CurrentPlayer;
    if (!OnBoard(col, row) || s.Board[col][row] != Empty || owner != player)
        return false;
    if (kind == Wall) {
        const bool ownHalf = player == Blue ? col < MiddleColumn : col > MiddleColumn;
        return ownHalf && col != MiddleColumn - 1 && col != MiddleColumn + 1;
    }
    return (kind == Wizard || kind == Builder || kind == CannonReady) && col == PortalCol(player) &&
           row == PortalRow;
}

void PlacePiece(State& s, int owner, int kind, int col, int row)
{
    if (!CanPlacePiece(s, owner, kind, col, row))
        return;
    s.Owner[col][row] = owner;
    s.Board[col][row] = kind;
}

bool CanLandShot(const State& s, int col, int row, int shooter)
{
    // A ball of the player on turn comes down at most eight cells ahead of
    // one of its ready Cannons in that row, at the first Wall on the way.
    if (!OnBoard(col, row) || shooter != s.CurrentPlayer)
        return false;
    const int back = -Rules::ShotDirection(shooter);
    for (int k = 1; k <= 8; ++k) {
        const int c = col + back * k;
        if (!OnBoard(c, row))
            return false;
        if (s.Board[c][row] == CannonReady && s.Owner[c][row] == shooter)
            return true;
        if (s.Board[c][row] == Wall)
            return false;
    }
    return false;
}

void MovePiece(State& s, int fromCol, int fromRow, int toCol, int toRow)
{
    if (!OnBoard(fromCol, fromRow) || !OnBoard(toCol, toRow) ||
        (fromCol == toCol && fromRow == toRow) || s.Board[toCol][toRow] != Empty)
        return;
    // A move is one step of a piece of the player on turn, within that
    // player's half: anything else no copy of this program sends.
    const int player = s.CurrentPlayer;
    const bool ownHalf = player == Blue ? toCol < MiddleColumn : toCol > MiddleColumn;
    if (s.Board[fromCol][fromRow] == Empty || s.Owner[fromCol][fromRow] != player ||
        std::abs(toCol - fromCol) + std::abs(toRow - fromRow) != 1 || !ownHalf)
        return;
    s.Owner[toCol][toRow] = s.Owner[fromCol][fromRow];
    s.Owner[fromCol][fromRow] = NoPlayer;
    s.Board[toCol][toRow] = s.Board[fromCol][fromRow];
    s.Board[fromCol][fromRow] = Empty;
}

void RemovePiece(State& s, int col, int row)
{
    if (!OnBoard(col, row) || s.Board[col][row] == King)
        return;
    s.Owner[col][row] = NoPlayer;
    s.Board[col][row] = Empty;
}

bool LandShot(State& s, int col, int row, int shooter)
{
    if (!CanLandShot(s, col, row, shooter))
        return false;
    if (s.Board[col][row] == King) {
        s.CursorCol = col;
        s.CursorRow = row;
        SetPhase(s, PhaseGameOver);
        return true;
    }
    // The landing burns whatever stands there (the King aside).
    if (col != MiddleColumn) {
        s.Owner[col][row] = shooter;
        s.Board[col][row] = Fire;
    }
    return false;
}

quint32 BoardDigest(const State& s)
{
    // FNV-1a over the cells, the turn and the player.
    quint32 h = 2166136261u;
    const auto mix = [&h](int value) {
        h ^= quint32(value) & 0xFFu;
        h *= 16777619u;
    };
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            mix(s.Board[c][r]), mix(s.Owner[c][r]);
    mix(s.TurnNumber), mix(s.TurnNumber >> 8), mix(s.CurrentPlayer);
    return h;
}

} // namespace Turrion::NetPlay
