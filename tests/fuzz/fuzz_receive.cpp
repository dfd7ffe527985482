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
#include "core/GameState.h"
#include "core/SaveFormat.h"
#include "engine/PavixGames.h"
#include "netplay/Protocol.h"
#include "netplay/Session.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QFile>
#include <QList>
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
        Check(QFile::exists(path), "a received game is on disk while it loads");
        QByteArray bytes;
        QString why;
        SavedGame game;
        Check(ReadSaveFile(path, bytes, why) && ParseGame(bytes, game).isEmpty(),
              "only a checked game reaches the loader");
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

void CheckGame(const State& s, bool gameExisted)
{
    for (int c = 0; c < Cols; ++c)
        for (int r = 0; r < Rows; ++r) {
            Check(s.Board[c][r] >= Empty && s.Board[c][r] <= CannonFired, "piece code 0..7");
            Check(s.Owner[c][r] >= 0 && s.Owner[c][r] <= Red, "owner 0..2");
        }
    Check(OnBoard(s.CursorCol, s.CursorRow), "cursor on the board");
    Check(s.GameState >= PhaseTurnStart && s.GameState <= PhaseGameOver, "a known phase");
    Check(s.ResumeState >= PhaseNone && s.ResumeState <= PhaseGameOver, "a known resume phase");
    if (gameExisted)
        Check(s.CurrentPlayer == Blue || s.CurrentPlayer == Red, "a player 1..2 in a game");
    else
        Check(s.CurrentPlayer >= NoPlayer && s.CurrentPlayer <= Red, "a player 0..2");
    Check(s.MovesLeft >= 0 && s.MovesLeft <= 3 + 3 * Cols * Rows, "moves left in range");
    Check(s.GameFileName.isEmpty(), "a received game leaves no file name behind");
}

void CheckAfterChunk(const NetPlay::Session& net, const State& s, bool gameExisted,
                     int gameId, int colour)
{
    Check(net.IsOpen(), "receiving never closes the session");
    Check(!net.RecvBuffer.contains(QChar(NetPlay::TerminatorChar)),
          "every complete message leaves the buffer");
    Check(net.RecvBuffer.size() <= NetPlay::MaxPendingChars, "the buffer is bounded");
    Check(net.PlayerConnected == (s.NetState == NetHostWithPlayer || s.NetState == NetConnected),
          "connected exactly when the other side has named itself");
    Check(!s.NetGame || net.PlayerConnected, "no NetPlay game without the other side");
    Check(s.NetColor == Blue || s.NetColor == Red, "this side has a colour");
    if (s.NetIsHost) {
        Check(s.GameId == gameId, "nothing received replaces the host's game");
        Check(s.NetState == NetHosting || s.NetColor == colour,
              "nothing received changes the host's colour");
    }
    CheckGame(s, gameExisted || s.GameId != gameId);
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
    static QTemporaryDir* folder = nullptr;
    if (!folder) {
        folder = new QTemporaryDir;
        PavixGames::SetAppPathOverride(folder->path());
        PavixGames::StartEngine(0);
    }
    const unsigned mode = data[0];
    const unsigned split = data[1];
    const QByteArray wire(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    State s;
    SetupBoard(s);
    s.CurrentPlayer = Blue;
    CountMoves(s);
    s.GameState = s.ResumeState = PhaseMove;
    PutCursorOnKing(s, Blue);
    const int start = (mode >> 1) & 3;
    if (start == 1) {
        // As after start-up: the title picture, no game behind it.
        s = State{};
        s.GameState = PhaseOverlay;
    } else if (start == 2) {
        // Red has won: the cursor marks Blue's fallen King.
        s.CurrentPlayer = Red;
        s.GameState = s.ResumeState = PhaseGameOver;
    }
    const bool gameExisted = start != 1;
    s.NetIsHost = mode & 1;
    s.NetState = s.NetIsHost ? NetHosting : NetConnecting;
    s.NetName = QStringLiteral("Fuzz");
    s.NetHost = QStringLiteral("localhost");
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
            net.ReceiveChunk(chunk);
            CheckAfterChunk(net, s, gameExisted, gameId, colour);
        }
    }
    Check(!QFile::exists(PavixGames::AppPath() + "temp_NetPlay.trs"),
          "the received game file is removed");

    net.Close();
    Check(!net.IsOpen() && s.NetState == NetNone && !s.NetGame, "closing ends NetPlay");
    return 0;
}
