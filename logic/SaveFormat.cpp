#include "logic/SaveFormat.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

namespace Turrion {

namespace {
constexpr int MaxTurnByte = 255;
constexpr int MaxMovesLeft = 127; // MovesLeft x 2 + 1 must stay a byte
} // namespace

// At most one byte more than a save may have is read, so that an oversized
// file is recognised without reading all of it. Only regular files: a pipe
// or a device named *.trs would block or never end.
bool ReadSaveFile(const QString& path, QByteArray& bytes, QString& why)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        why = "It is not a file.";
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = "It cannot be opened: " + file.errorString() + ".";
        return false;
    }
    bytes = file.read(MaxSaveFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = "It cannot be read: " + file.errorString() + ".";
        return false;
    }
    return true;
}

QByteArray SerializeGame(const State& s, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    const int phase = EffectivePhase(s);
    if (phase != PhaseTurnStart && phase != PhaseMove && phase != PhaseGameOver)
        return fail("There is no game to save.");
    if (s.TurnNumber < 0 || s.TurnNumber > MaxTurnByte)
        return fail(QString("Its turn number (%1) does not fit a saved game, which holds "
                            "turns 0 to %2.")
                        .arg(s.TurnNumber)
                        .arg(MaxTurnByte));
    if (s.MovesLeft < 0 || s.MovesLeft > MaxMovesLeft)
        return fail(QString("Its number of moves left (%1) does not fit a saved game, "
                            "which holds 0 to %2.")
                        .arg(s.MovesLeft)
                        .arg(MaxMovesLeft));

    int board[Cols][Rows];
    int owner[Cols][Rows];
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            board[c][r] = s.Board[c][r];
            owner[c][r] = s.Owner[c][r];
        }

    int status = 0;
    if (phase == PhaseGameOver) {
        if (!OnBoard(s.CursorCol, s.CursorRow))
            return fail("The fallen King's cell is not on the board.");
        // The fallen King stands at the cursor: store it owned by whoever
        // owns that half of the board. The status
        // names the winner (the other King's owner), so that a shot on the
        // shooter's own King reloads with the same result.
        const int fallen = s.CursorCol < MiddleColumn ? Blue : Red;
        board[s.CursorCol][s.CursorRow] = King;
        owner[s.CursorCol][s.CursorRow] = fallen;
        status = (fallen == Blue ? Red : Blue) + 2;
    } else {
        if (s.CurrentPlayer != Blue && s.CurrentPlayer != Red)
            return fail("No player is on turn.");
        status = s.CurrentPlayer;
    }
    // A turn whose report has not been shown yet is fresh whatever the flag
    // says: reloading it must show the report (and its recruit) again.
    const bool fresh = s.FreshTurn || phase == PhaseTurnStart;

    QByteArray bytes;
    bytes.reserve(3 + 2 * Cols * Rows);
    bytes.append(char(status));
    bytes.append(char(s.TurnNumber));
    bytes.append(char(s.MovesLeft * 2 + (fresh ? 1 : 0)));
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            if (board[c][r] == 0 && owner[c][r] == 0)
                continue;
            if (owner[c][r] < 0 || owner[c][r] > Red || board[c][r] < 0 ||
                board[c][r] > CannonFired)
                return fail(QString("The cell at column %1, row %2 holds an unknown piece.")
                                .arg(c)
                                .arg(r));
            bytes.append(char(r * 10 + c));
            bytes.append(char(owner[c][r] * 10 + board[c][r]));
        }
    return bytes;
}

QString ParseGame(const QByteArray& bytes, SavedGame& out)
{
    const int size = int(bytes.size());
    if (size > MaxSaveFileBytes)
        return "The file is far too long to be a Turrion saved game.";
    if (size < 3)
        return QString("The file holds %1 byte(s); a Turrion saved game has at least 3.")
            .arg(size);
    if (size % 2 == 0)
        return "The file ends in the middle of a cell record (its length is even).";

    auto at = [&bytes](int i) { return int(static_cast<unsigned char>(bytes[i])); };
    SavedGame game;
    game.Status = at(0);
    if (game.Status < 1 || game.Status > 4)
        return QString("Its status byte is %1; it must be 1 to 4.").arg(game.Status);
    game.Turn = at(1);
    game.MovesByte = at(2);

    for (int i = 3, record = 1; i + 1 < size; i += 2, ++record) {
        const int place = at(i), piece = at(i + 1);
        const int row = place / 10, col = place % 10;
        const int owner = piece / 10, kind = piece % 10;
        if (row >= Rows)
            return QString("Cell record %1 names row %2; the board has rows 0 to 6.")
                .arg(record)
                .arg(row);
        if (col >= Cols)
            return QString("Cell record %1 names column %2; the board has columns 0 to 8.")
                .arg(record)
                .arg(col);
        if (owner > Red)
            return QString("Cell record %1 names owner %2; owners are 0 to 2.")
                .arg(record)
                .arg(owner);
        if (kind > CannonFired)
            return QString("Cell record %1 names piece code %2; piece codes are 0 to 7.")
                .arg(record)
                .arg(kind);
        // The same cell twice is harmless: the later record wins.
        game.Owner[col][row] = owner;
        game.Board[col][row] = kind;
    }
    // A finished game is shown by blinking its fallen King, the King the
    // winner does not own. Without one the display would mark whatever cell
    // the game played before left the cursor on, and put a King there.
    if (game.Status >= 3) {
        const int winner = game.Status - 2;
        bool fallen = false;
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r)
                fallen = fallen || (game.Board[c][r] == King && game.Owner[c][r] != winner);
        if (!fallen)
            return "It is a finished game, but no fallen King is on its board.";
    }
    // A game in progress needs both Kings: without the mover's, the cursor
    // would stay wherever the game before left it, on any piece; without the
    // other, the game could never be won.
    if (game.Status <= 2)
        for (const auto& [player, name] : {std::pair(Blue, "Blue"), std::pair(Red, "Red")}) {
            bool king = false;
            for (int c = 0; c < Cols; ++c)
                for (int r = 0; r < Rows; ++r)
                    king = king || (game.Board[c][r] == King && game.Owner[c][r] == player);
            if (!king)
                return QString("It is a game in progress, but %1 has no King on its board.")
                    .arg(QLatin1String(name));
        }
    out = game;
    return QString();
}

void ApplySavedGame(const SavedGame& game, State& s)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            s.Board[c][r] = game.Board[c][r];
            s.Owner[c][r] = game.Owner[c][r];
        }
    s.TurnNumber = game.Turn;
    s.RecruitKind = 0;
    s.MovesLeft = game.MovesByte / 2;
    if (game.Status < 3) {
        s.CurrentPlayer = game.Status;
        PutCursorOnKing(s, s.CurrentPlayer, true);
        s.FreshTurn = game.MovesByte % 2 == 1;
        // A fresh turn starts over with the turn report.
        s.GameState = s.ResumeState = s.FreshTurn ? PhaseTurnStart : PhaseMove;
    } else {
        // The fallen King is the one the winner does not own. FreshTurn
        // means nothing in a finished game and keeps its value.
        s.CurrentPlayer = game.Status - 2;
        s.GameState = s.ResumeState = PhaseGameOver;
        PutCursorOnKing(s, s.CurrentPlayer, false);
    }
}

void LoadSavedGame(const SavedGame& game, State& s)
{
    BeginGame(s);
    ApplySavedGame(game, s);
    s.NetGame = s.NetState == NetHostWithPlayer || s.NetState == NetConnected;
    if (s.NetGame) {
        s.NetGameColor = s.NetColor;
        s.ComputerColor = NoPlayer; // two people share a NetPlay game
    }
}

} // namespace Turrion
