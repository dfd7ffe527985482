// The NetPlay receive path: whatever the other side sends, cut however the
// network cuts it, is acted on or ignored without harm to the game. It runs
// the NetPlay session with neither a window nor a socket, over a game that
// applies what arrives without drawing or pausing.
//
// Input: byte 0 chooses the situation, byte 1 how the rest is cut into the
// chunks that the socket hands over; the rest is the received data.
//   bit 0    this side hosts (else it connected)
//   bits 1-2 0 a game in its move phase, 1 no game yet (title picture),
//            2 a finished game, 3 a NetPlay game with the other side to move
//   bit 3    the other side has already sent its name
//   bit 4    the turn is changing hands (inside the end-of-turn pause)
//   bit 5    flooding: the data arrives 20 times over
// The session is opened on a port outside the TCP range, so no socket is
// ever made: everything arrives through the receive procedure alone.
#include "logic/GameState.h"
#include "logic/SaveFormat.h"
#include "engine/PavixGames.h"
#include "logic/Protocol.h"
#include "session/Session.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>

using FuzzSupport::Check;
using namespace Turrion;

namespace {

// The game as the session reaches it, without a screen: each change of the
// game happens at once.
class Headless : public NetPlay::GameLink {
public:
    explicit Headless(State& s) : s_(s) {}
    void NewGame() override { StartNewGame(s_); }
    void LoadGame(const QString& path) override
    {
        QByteArray bytes;
        QString why;
        SavedGame game;
        Check(ReadSaveFile(path, bytes, why) && ParseGame(bytes, game).isEmpty(),
              "a received game is on disk while it loads, and only a checked one");
        LoadSavedGame(game, s_);
    }
    void EndTurn() override { PassTurn(s_); }
    void BoardChanged() override {}
    void ShotLanded(int, int, int, bool kingHit) override
    {
        Check(kingHit == (s_.GameState == PhaseGameOver || s_.ResumeState == PhaseGameOver),
              "a King hit ends the game, nothing else does");
    }

private:
    State& s_;
};

// What holds after every chunk, whatever it held.
FUZZ_CHECKER void CheckAfterChunk(const NetPlay::Session& net, const State& s, bool gameExists, int gameId, int colour)
{
    Check(net.IsOpen(), "receiving never closes the session");
    Check(!net.RecvBuffer.contains(QChar(NetPlay::TerminatorChar)), "whole messages leave the buffer");
    Check(net.RecvBuffer.size() <= NetPlay::MaxPendingChars, "the buffer is bounded");
    Check(net.PlayerConnected == (s.NetState == NetHostWithPlayer || s.NetState == NetConnected),
          "connected exactly when the other side has named itself");
    Check(!s.NetGame || net.PlayerConnected, "no NetPlay game without the other side");
    Check(s.NetColor == Blue || s.NetColor == Red, "this side has a colour");
    if (s.NetIsHost)
        Check(s.GameId == gameId && (s.NetState == NetHosting || s.NetColor == colour),
              "nothing received replaces the host's game or changes its colour");
    FuzzSupport::CheckBoard(s);
    Check(s.GameState >= PhaseTurnStart && s.GameState <= PhaseGameOver, "a known phase");
    Check(s.ResumeState >= PhaseNone && s.ResumeState <= PhaseGameOver, "a known resume phase");
    Check(s.CurrentPlayer >= (gameExists || s.GameId != gameId ? Blue : NoPlayer) && s.CurrentPlayer <= Red,
          "a player 1..2 in a game, else 0");
    Check(s.MovesLeft >= 0 && s.MovesLeft <= 3 + 3 * Cols * Rows, "moves left in range");
    Check(s.GameFileName.isEmpty(), "a received game leaves no file name behind");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    static QTemporaryDir folder;
    [[maybe_unused]] static const bool started =
        (PavixGames::SetAppPathOverride(folder.path()), PavixGames::StartEngine(0), true);
    const unsigned mode = data[0], split = data[1];
    const QByteArray wire(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    State s;
    const int start = (mode >> 1) & 3;
    if (start == 1) {
        // As after start-up: the title picture, no game behind it.
        s.GameState = PhaseOverlay;
    } else {
        SetupBoard(s);
        s.CurrentPlayer = start == 2 ? Red : Blue; // 2: Red has won, the cursor marks Blue's fallen King
        CountMoves(s);
        s.GameState = s.ResumeState = start == 2 ? PhaseGameOver : PhaseMove;
        PutCursorOnKing(s, Blue);
    }
    s.NetIsHost = mode & 1;
    s.NetState = s.NetIsHost ? NetHosting : NetConnecting;
    s.NetPort = -1;

    Headless game(s);
    NetPlay::Session net(s, game);
    net.Open();
    Check(net.IsOpen() && !net.Connected() && !net.Listening(), "no socket in use");
    if (mode & 8)
        net.ReceiveChunk(NetPlay::Frame(QStringLiteral("PD}Peer")));
    if (start == 3 && net.PlayerConnected) {
        s.NetGame = true;
        s.NetGameColor = s.NetColor;
        s.CurrentPlayer = s.NetColor == Blue ? Red : Blue;
        CountMoves(s);
    }
    s.TurnChanging = mode & 16;
    const int gameId = s.GameId, colour = s.NetColor;

    // The chunks: all at once, or pieces of 1..split bytes, 20 times over
    // when flooding.
    for (int round = 0; round < ((mode & 32) ? 20 : 1); ++round) {
        std::uint32_t x = split * 2654435761u + 1u;
        for (qsizetype pos = 0, length = 0; pos < wire.size(); pos += length) {
            x = x * 1103515245u + 12345u;
            length = split ? std::min<qsizetype>(wire.size() - pos, 1 + (x >> 16) % split) : wire.size();
            const QByteArray chunk = QByteArray::fromRawData(wire.constData() + pos, length);
            net.ReceiveChunk(chunk);
            // Without a terminator a chunk only waits in the buffer: nothing
            // can have changed but its length.
            if (chunk.contains(NetPlay::TerminatorByte))
                CheckAfterChunk(net, s, start != 1, gameId, colour);
            else
                Check(net.RecvBuffer.size() <= NetPlay::MaxPendingChars, "the buffer is bounded");
        }
    }
    Check(!QFile::exists(PavixGames::AppPath() + "temp_NetPlay.trs"), "the received game file is removed");
    net.Close();
    Check(!net.IsOpen() && s.NetState == NetNone && !s.NetGame, "closing ends NetPlay");
    return 0;
}
