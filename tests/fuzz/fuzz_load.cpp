// Saved games: any bytes are either refused without touching the game, or
// loaded into a game that saves to bytes which load back to the same game.
#include "core/GameState.h"
#include "core/SaveGame.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QFile>
#include <cstdint>

using FuzzSupport::Check;
using namespace Turrion;

namespace {

bool SameBoard(const State& a, const State& b)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if (a.Board[c][r] != b.Board[c][r] || a.Owner[c][r] != b.Owner[c][r])
                return false;
    return true;
}

bool SameTurn(const State& a, const State& b)
{
    return a.TurnNumber == b.TurnNumber && a.MovesLeft == b.MovesLeft &&
           a.GameState == b.GameState && a.ResumeState == b.ResumeState &&
           a.RecruitKind == b.RecruitKind;
}

bool SameGame(const State& a, const State& b)
{
    return SameBoard(a, b) && SameTurn(a, b) && a.CurrentPlayer == b.CurrentPlayer &&
           a.FreshTurn == b.FreshTurn && a.CursorCol == b.CursorCol &&
           a.CursorRow == b.CursorRow;
}

bool SameSaved(const SavedGame& a, const SavedGame& b)
{
    if (a.Status != b.Status || a.Turn != b.Turn || a.MovesByte != b.MovesByte)
        return false;
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r)
            if (a.Board[c][r] != b.Board[c][r] || a.Owner[c][r] != b.Owner[c][r])
                return false;
    return true;
}

void CheckBoardValues(const State& s)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            Check(s.Board[c][r] >= Empty && s.Board[c][r] <= CannonFired, "piece code 0..7");
            Check(s.Owner[c][r] >= 0 && s.Owner[c][r] <= Red, "owner 0..2");
        }
    Check(OnBoard(s.CursorCol, s.CursorRow), "cursor on the board");
}

// At most one King per player, each in its own half, as play leaves them.
// Only there does a finished game name its fallen King for certain: with a
// King in the other half or without an owner, the display's rule (the half)
// and the file's (the owner) can disagree, and each save may then move the
// marked cell to a later King.
bool KingsAsInPlay(const State& s)
{
    int kings[3] = {};
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            if (s.Board[c][r] != King)
                continue;
            const int o = s.Owner[c][r];
            if (o == NoPlayer || (o == Blue && c >= MiddleColumn) || (o == Red && c <= MiddleColumn))
                return false;
            ++kings[o];
        }
    return kings[Blue] <= 1 && kings[Red] <= 1;
}

// What the game-over display does to the fallen King's cell before anything
// else can happen: it shows the King again, owned by that half's player.
State Repaired(const State& s)
{
    State out = s;
    if (out.GameState == PhaseGameOver) {
        out.Board[out.CursorCol][out.CursorRow] = King;
        out.Owner[out.CursorCol][out.CursorRow] = out.CursorCol < MiddleColumn ? Blue : Red;
    }
    return out;
}

QByteArray SaveOf(const State& s)
{
    QString why;
    const QByteArray bytes = SerializeGame(s, &why);
    Check(!bytes.isEmpty() && why.isEmpty(), "a loaded game can be saved");
    return bytes;
}

State LoadOf(const QByteArray& bytes, const State& before)
{
    SavedGame game;
    Check(ParseGame(bytes, game).isEmpty(), "a saved game loads again");
    State s = before;
    ApplySavedGame(game, s);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FuzzSupport::EnsureGame();
    const State before = Game();

    // The checker leaves its output alone when it refuses.
    SavedGame sentinel;
    sentinel.Status = 99;
    sentinel.Board[3][3] = 42;
    SavedGame parsed = sentinel;
    const QString why = ParseGame(bytes, parsed);
    const bool accepted = why.isEmpty();
    if (!accepted)
        Check(SameSaved(parsed, sentinel), "a refused file leaves the result alone");
    else
        Check(bytes.size() >= 3 && bytes.size() % 2 == 1 && bytes.size() <= MaxSaveFileBytes,
              "only odd lengths from 3 are accepted");

    State first = before;
    if (accepted) {
        ApplySavedGame(parsed, first);
        CheckBoardValues(first);
        Check(first.CurrentPlayer == Blue || first.CurrentPlayer == Red, "a player 1..2");
        Check(first.GameState == PhaseTurnStart || first.GameState == PhaseMove ||
                  first.GameState == PhaseGameOver,
              "a loaded game is in turn start, move or game over");
        Check(first.GameState == first.ResumeState, "no overlay after a load");
        if (first.GameState == PhaseGameOver)
            Check(first.Board[first.CursorCol][first.CursorRow] == King &&
                      first.Owner[first.CursorCol][first.CursorRow] != first.CurrentPlayer,
                  "a finished game marks a King the winner does not own");

        // Save, load, save, load.
        const QByteArray saved = SaveOf(first);
        Check(saved.size() % 2 == 1 && saved.size() <= 3 + 2 * Cols * Rows, "a save's length");
        const State second = LoadOf(saved, before);
        const QByteArray savedAgain = SaveOf(second);
        const State third = LoadOf(savedAgain, before);
        Check(SameTurn(first, second), "turn, moves and phase survive a save");
        if (first.GameState != PhaseGameOver) {
            Check(SameGame(first, second), "a running game survives a save");
            Check(saved.size() <= bytes.size(), "a save holds one record per occupied cell");
        } else {
            // The fallen King is stored as the display shows it.
            Check(SameBoard(Repaired(first), second), "a finished board survives a save");
        }
        if (first.GameState != PhaseGameOver || KingsAsInPlay(first)) {
            if (first.GameState == PhaseGameOver)
                Check(SameGame(Repaired(first), second), "a finished game survives a save");
            Check(saved == savedAgain, "a save of a loaded save is the same bytes");
            Check(SameGame(second, third), "a loaded save is stable");
        }
    }

    // The real load from a file: the same game, or no change at all.
    const QString path = FuzzSupport::ProgramFolder() + "fuzz.trs";
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(bytes) == bytes.size(),
              "the scratch file can be written");
    }
    const bool loaded = LoadGameFrom(path);
    Check(loaded == accepted, "the load agrees with the checker");
    const State& now = Game();
    if (loaded) {
        Check(SameGame(now, first), "the load gives the checked game");
        Check(now.GameFileName == path, "a loaded file is remembered");
        Check(FuzzSupport::MessageBoxes().isEmpty(), "a good file loads silently");
        // Saving it writes the bytes the writer produces.
        const QString again = FuzzSupport::ProgramFolder() + "fuzz_saved.trs";
        Check(SaveGameTo(again), "a loaded game can be saved to a file");
        QFile file(again);
        Check(file.open(QIODevice::ReadOnly) && file.readAll() == SaveOf(now),
              "the saved file holds the written bytes");
    } else {
        Check(SameGame(now, before) && now.GameFileName == before.GameFileName,
              "a refused file changes nothing");
        Check(FuzzSupport::MessageBoxes().size() == 1, "a refused file is reported once");
    }
    QFile::remove(path);
    return 0;
}
