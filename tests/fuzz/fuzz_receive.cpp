// The NetPlay receive path: whatever the other side sends, cut however the
// network cuts it, is acted on or ignored without harm to the game.
//
// Input: byte 0 chooses the situation, byte 1 how the rest is cut into the
// chunks that the socket hands over; the rest is the received data.
//   bit 0    this side hosts (else it connected)
//   bits 1-2 0 a game in its move phase, 1 no game yet (title picture),
//            2 a finished game, 3 a NetPlay game with the other side to move
//   bit 3    the other side has already sent its name
//   bit 4    sound effects off
//   bit 5    flooding: the data arrives 20 times over
// The window is opened on a port outside the TCP range, so no socket is
// ever made: everything arrives through the receive procedure alone.
#include "core/GameFlow.h"
#include "core/GameState.h"
#include "core/frmMain.h"
#include "netplay/Protocol.h"
#include "netplay/frmChat.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QFile>
#include <QList>
#include <algorithm>
#include <cstdint>

using FuzzSupport::Check;
using namespace Turrion;

namespace {

void CheckGame(const State& s, bool gameExisted)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            Check(s.Board[c][r] >= Empty && s.Board[c][r] <= CannonFired, "piece code 0..7");
            Check(s.Owner[c][r] >= 0 && s.Owner[c][r] <= Red, "owner 0..2");
        }
    Check(OnBoard(s.CursorCol, s.CursorRow), "cursor on the board");
    Check(s.GameState >= PhaseTurnStart && s.GameState <= PhaseGameOver,
          "a known phase");
    Check(s.ResumeState >= PhaseNone && s.ResumeState <= PhaseGameOver, "a known resume phase");
    // Before the first game nobody is on turn, and a shot the other side
    // claims to have fired then does not put anybody on turn either.
    if (gameExisted)
        Check(s.CurrentPlayer == Blue || s.CurrentPlayer == Red, "a player 1..2 in a game");
    else
        Check(s.CurrentPlayer >= NoPlayer && s.CurrentPlayer <= Red, "a player 0..2");
    Check(s.MovesLeft >= 0 && s.MovesLeft <= 3 + 3 * Cols * Rows, "moves left in range");
    Check(!s.Busy, "no shot left running");
    Check(s.GameFileName.isEmpty(), "a received game leaves no file name behind");
}

void CheckAfterChunk(const NetPlay::frmChat& chat, bool gameExisted)
{
    const State& s = Game();
    Check(chat.Loaded(), "receiving never closes the window");
    Check(!chat.RecvBuffer.contains(QChar(NetPlay::TerminatorChar)),
          "every complete message leaves the buffer");
    Check(chat.RecvBuffer.size() <= NetPlay::MaxPendingChars, "the buffer is bounded");
    Check(chat.PlayerConnected == (s.NetState == NetHostWithPlayer || s.NetState == NetConnected),
          "connected exactly when the other side has named itself");
    Check(!s.NetGame || chat.PlayerConnected, "no NetPlay game without the other side");
    Check(s.NetColor == Blue || s.NetColor == Red, "this side has a colour");
    CheckGame(s, gameExisted);
}

std::uint32_t Next(std::uint32_t& x)
{
    x = x * 1103515245u + 12345u;
    return x >> 16;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const unsigned mode = data[0];
    const unsigned split = data[1];
    const QByteArray wire(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    FuzzSupport::EnsureGame();
    State& s = Game();
    frmMain* form = MainForm();
    Check(form != nullptr, "a main window");

    const bool host = mode & 1;
    const int start = (mode >> 1) & 3;
    const bool named = mode & 8;
    form->mnuGameSfx->setChecked(!(mode & 16));
    if (start == 1) {
        // As after start-up: the title picture, no game behind it.
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r)
                s.Board[c][r] = s.Owner[c][r] = 0;
        s.CurrentPlayer = NoPlayer;
        s.TurnNumber = s.MovesLeft = 0;
        s.GameState = PhaseOverlay;
        s.ResumeState = PhaseNone;
    } else if (start == 2) {
        // Red has won: the cursor marks Blue's fallen King.
        s.CurrentPlayer = Red;
        s.GameState = s.ResumeState = PhaseGameOver;
        s.CursorCol = 0;
        s.CursorRow = 1;
    }
    const bool gameExisted = start != 1;

    s.NetState = host ? NetHosting : NetConnecting;
    s.NetIsHost = host;
    s.NetName = "Fuzz";
    s.NetHost = "localhost";
    s.NetPort = -1;
    NetPlay::frmChat* chat = NetPlay::ChatWindow();
    chat->Form_Load();
    Check(chat->Loaded() && !chat->Connected() && !chat->Listening(), "no socket in use");
    if (named)
        chat->ReceiveChunk(NetPlay::Frame("PD}Peer"));
    if (start == 3 && chat->PlayerConnected) {
        s.NetGame = true;
        s.NetGameColor = s.NetColor;
        s.CurrentPlayer = s.NetColor == Blue ? Red : Blue;
        CountMoves(s);
    }

    // The chunks: all at once, or pieces of 1..split bytes.
    std::uint32_t x = split * 2654435761u + 1u;
    QList<QByteArray> chunks;
    for (qsizetype pos = 0; pos < wire.size();) {
        qsizetype length = wire.size() - pos;
        if (split != 0)
            length = std::min<qsizetype>(length, 1 + qsizetype(Next(x) % split));
        chunks << wire.mid(pos, length);
        pos += length;
    }
    const int rounds = (mode & 32) ? 20 : 1;
    for (int round = 0; round < rounds; ++round) {
        for (const QByteArray& chunk : chunks) {
            chat->ReceiveChunk(chunk);
            CheckAfterChunk(*chat, gameExisted);
        }
    }
    Check(!QFile::exists(FuzzSupport::ProgramFolder() + "temp_NetPlay.trs"),
          "the received game file is removed");

    // The game-over display works on what was left.
    if (s.GameState == PhaseGameOver) {
        s.LastBlinkTime = -1.0;
        GameOverStep();
        CheckGame(s, gameExisted);
    }

    chat->DoneClicked = true;
    bool cancel = false;
    chat->Form_Unload(cancel);
    Check(!cancel && !chat->Loaded() && s.NetState == NetNone && !s.NetGame,
          "the window closes and ends NetPlay");
    NetPlay::DestroyChatWindowForTests();
    return 0;
}
