// The other NetPlay side's game actions, applied to this side's game. The
// other side has already checked them against the rules; this side only
// makes sure that they belong here and stay on the board.
#pragma once

#include "logic/GameState.h"
#include "logic/Protocol.h"

namespace Turrion::NetPlay {

// Whether a received message is acted on. New games, game files and colours
// come only from the host; the other side's game actions only in its own
// turn of the game this side plays (not before the first game, not in a
// finished game, not while the turn changes hands): anything else is out of
// step, crossed a new game on the wire or came twice, and would split the
// two boards. Names, chat, farewells and saves always count.
bool AcceptsMessage(const Turrion::State& s, const Message& m);

// The player on turn's recruit on its own empty portal, or a Wall on an
// empty cell of its half off the columns beside the river: nothing else is
// placed.
bool CanPlacePiece(const Turrion::State& s, int owner, int kind, int col, int row);
void PlacePiece(Turrion::State& s, int owner, int kind, int col, int row);
// The piece and its owner move onto an empty cell; an occupied target, or a
// move onto its own cell, changes nothing: no real move does either.
void MovePiece(Turrion::State& s, int fromCol, int fromRow, int toCol, int toRow);
// The cell is emptied, unless a King stands there: only a shot takes a King.
void RemovePiece(Turrion::State& s, int col, int row);
// The other side's cannonball comes down on (col, row). On a King (either
// side's) the game is over: the cursor marks the fallen King and true is
// returned. Elsewhere the cell burns, owned by the shooter, except in the
// middle column, which never burns.
bool LandShot(Turrion::State& s, int col, int row, int shooter);
// A ball of the player on turn can come down there: a ready Cannon of its
// stands at most eight cells behind in that row, with no Wall between.
bool CanLandShot(const Turrion::State& s, int col, int row, int shooter);

// A short digest of the board, the turn and the player to move: two copies
// of one game have the same digest after the same turn.
quint32 BoardDigest(const Turrion::State& s);

} // namespace Turrion::NetPlay
