// Saved games: any bytes are either refused with one message and without
// touching the game, or loaded into a game that saves to bytes which load
// back to the same game. It runs the started program (offscreen, in a
// temporary folder, on the stepping test clock, without process exit).
#include "logic/GameState.h"
#include "game/SaveGame.h"
#include "game/modTurrion.h"
#include "engine/gui/MessageBox.h"
#include "engine/PavixGames.h"
#include "engine/PavixSteps.h"
#include "engine/gui/PavixSfxAPI.h"
#include "tests/fuzz/FuzzProgram.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstring>

using FuzzSupport::Check;
using namespace Turrion;

namespace {

QStringList boxes; // the captions of the message boxes shown

// Starts the program once; every run then begins with a fresh two-player
// game in its move phase, outside NetPlay, with no file name.
void FreshGame()
{
    static State started;
    if (!QApplication::instance()) {
        FuzzSupport::StartOffscreenProgram();
        PavixGames::SetMessageBoxHook([](const PavixGames::MessageRequest& r) {
            boxes << r.caption;
            return PavixGames::MsgResult::OK;
        });
        PavixSfxAPI::SetPlayHook([](const QString&) {});
        SetExitHook([] {});
        StartUp(QString());
        started = Game();
    }
    State& s = Game() = started;
    StartNewGame(s);
    s.GameState = s.ResumeState = PhaseMove;
    boxes.clear();
}

bool SameBoard(const State& a, const State& b)
{
    return !std::memcmp(a.Board, b.Board, sizeof a.Board) && !std::memcmp(a.Owner, b.Owner, sizeof a.Owner);
}

bool SameTurn(const State& a, const State& b)
{
    return a.TurnNumber == b.TurnNumber && a.MovesLeft == b.MovesLeft && a.GameState == b.GameState &&
           a.ResumeState == b.ResumeState && a.RecruitKind == b.RecruitKind;
}

bool SameGame(const State& a, const State& b)
{
    return SameBoard(a, b) && SameTurn(a, b) && a.CurrentPlayer == b.CurrentPlayer &&
           a.FreshTurn == b.FreshTurn && a.CursorCol == b.CursorCol && a.CursorRow == b.CursorRow;
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
            const int o = s.Owner[c][r], king = s.Board[c][r] == King;
            if (king && (o == NoPlayer || (o == Blue ? c >= MiddleColumn : c <= MiddleColumn)))
                return false;
            kings[o] += king;
        }
    return kings[Blue] <= 1 && kings[Red] <= 1;
}

// What the game-over display does to the fallen King's cell before anything
// else can happen: it shows the King again, owned by that half's player.
State Repaired(State s)
{
    if (s.GameState == PhaseGameOver) {
        s.Board[s.CursorCol][s.CursorRow] = King;
        s.Owner[s.CursorCol][s.CursorRow] = s.CursorCol < MiddleColumn ? Blue : Red;
    }
    return s;
}

// A save of `s` (its bytes in `saved`), loaded into `before`.
State SavedAndLoaded(const State& s, const State& before, QByteArray& saved)
{
    QString why;
    saved = SerializeGame(s, &why);
    Check(!saved.isEmpty() && why.isEmpty(), "a loaded game can be saved");
    SavedGame game;
    Check(ParseGame(saved, game).isEmpty(), "a saved game loads again");
    State out = before;
    ApplySavedGame(game, out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FreshGame();
    const State before = Game();

    // The real load from a file agrees with the checker: the checked game,
    // or no change at all and one message.
    const QString path = PavixGames::AppPath() + "fuzz.trs";
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
              "the scratch file can be written");
    }
    SavedGame parsed;
    const bool accepted = ParseGame(bytes, parsed).isEmpty();
    const bool loaded = LoadGameFrom(path);
    QFile::remove(path);
    Check(loaded == accepted, "the load agrees with the checker");
    if (!loaded) {
        Check(SameGame(Game(), before) && Game().GameFileName.isEmpty(), "a refused file changes nothing");
        Check(boxes.size() == 1, "a refused file is reported once");
        return 0;
    }
    State first = before;
    ApplySavedGame(parsed, first);
    Check(SameGame(Game(), first) && Game().GameFileName == path, "the load gives the checked game and name");
    Check(boxes.isEmpty(), "a good file loads silently");
    FuzzSupport::CheckBoard(first);
    const int phase = first.GameState;
    Check((first.CurrentPlayer == Blue || first.CurrentPlayer == Red) && phase == first.ResumeState &&
              (phase == PhaseTurnStart || phase == PhaseMove || phase == PhaseGameOver),
          "a loaded game has a player and is in turn start, move or game over, with no overlay");
    if (first.GameState == PhaseGameOver)
        Check(first.Board[first.CursorCol][first.CursorRow] == King &&
                  first.Owner[first.CursorCol][first.CursorRow] != first.CurrentPlayer,
              "a finished game marks a King the winner does not own");

    // Save, load, save, load.
    QByteArray saved, savedAgain;
    const State second = SavedAndLoaded(first, before, saved);
    const State third = SavedAndLoaded(second, before, savedAgain);
    Check(SameTurn(first, second), "turn, moves and phase survive a save");
    // The fallen King is stored as the display shows it.
    Check(SameBoard(Repaired(first), second), "the board survives a save");
    if (first.GameState != PhaseGameOver || KingsAsInPlay(first)) {
        Check(SameGame(Repaired(first), second), "a game survives a save");
        Check(saved == savedAgain, "a save of a loaded save is the same bytes");
        Check(SameGame(second, third), "a loaded save is stable");
    }
    return 0;
}
