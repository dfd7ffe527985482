// The NetPlay session: the one TCP connection, its framing and logs, and the
// dispatch of what the other side sends. The NetPlay window shows it (names,
// transcript, buttons) and forwards the user's actions; the game it carries
// is reached through a GameLink. Nothing here draws or opens a window, so a
// test or a fuzzer can drive the receive path with neither a window nor a
// socket.
#pragma once

#include "logic/GameState.h"
#include "logic/Protocol.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <deque>
#include <map>
#include <tuple>

class QTcpServer;

namespace Turrion::NetPlay {


// What the session needs from the game it carries.
class GameLink {
public:
    virtual ~GameLink() = default;
    // The host started a new game: start it here as if chosen here.
    virtual void NewGame() = 0;
    // The host loaded a game: its file, checked, is at `path` during the call.
    virtual void LoadGame(const QString& path) = 0;
    // The other side's turn ended (its state change included).
    virtual void EndTurn() = 0;
    // Pieces of the other side were placed, moved or removed: once for a
    // run of them that arrived together.
    virtual void BoardChanged() = 0;
    // The other side's cannonball came down at (col, row), already applied;
    // `kingHit` when it ended the game.
    virtual void ShotLanded(int col, int row, int shooter, bool kingHit) = 0;
    // The game is inside a wait of its own (a pause, a flight): the other
    // side's game messages wait in order until DrainPending.
    virtual bool Busy() const { return false; }
};

class Session : public QObject {
    Q_OBJECT
public:
    Session(Turrion::State& state, GameLink& game, QObject* parent = nullptr);
    ~Session() override;

    // Listens or connects as NetState says (1 hosting, otherwise
    // connecting), with fresh logs; a port outside the TCP range is reported
    // and leaves the session without a socket.
    void Open();
    // Ends the session: the logs closed, a farewell to a connected player,
    // no socket left, NetPlay over.
    void Close();
    bool IsOpen() const { return open_; }

    void SendMessage(const QString& text);
    // The receive procedure once the socket has handed over its data: logs
    // the chunk, then cuts and acts on every complete message. The game
    // messages wait instead while the game is busy, and after others that
    // wait.
    void ReceiveChunk(const QByteArray& chunk);
    // Acts on the game messages that waited, in order, until the game is
    // busy again or none is left.
    void DrainPending();
    int PendingMessages() const { return int(pending_.size()); }
    // More waiting messages than a whole turn of a legitimate peer could
    // hold are dropped. Tests may lower the bound to reach it quickly.
    static constexpr std::size_t DefaultHoldLimit = 4096;
    std::size_t HoldLimit() const { return holdLimit_; }
    void SetHoldLimit(std::size_t limit) { holdLimit_ = limit; }
    // A turn passed on in a NetPlay game: the board's digest goes to the
    // other side, and is compared with its digest of the same turn.
    void TurnPassed();

    // Socket events.
    void comm_ConnectionRequest();
    void comm_Connect();
    void comm_DataArrival();
    void comm_Error(int number, const QString& description);

    bool Listening() const;
    int ListeningPort() const;
    bool Connected() const;

    // Kept for the whole run, whatever the connections.
    QString RecvBuffer;
    int SendCount = 0;
    int GetCount = 0;
    int SendLog = 0;
    int GetLog = 0;
    // Reset at every opening.
    bool PlayerConnected = false;

signals:
    // One line for the transcript.
    void ChatLine(const QString& line);
    // Names or colours changed, or the other side came or went.
    void PlayersChanged();
    // A player joined the host, or chat arrived: worth the user's eye.
    void Attention(bool raise);
    // Something went wrong that the user must be told.
    void Problem(const QString& text);

private:
    void Dispatch(const Message& message);
    void PlaceRemotePiece(int owner, int kind, int col, int row);
    void MoveRemotePiece(int fromCol, int fromRow, int toCol, int toRow);
    void RemoveRemotePiece(int col, int row);
    void ApplyRemoteShot(int col, int row, int shooter);
    void ReceiveGameFile(const QString& payload);
    void Hold(const Message& message);
    void GameTaken();
    void CompareDigests(int games, int turn, int player);
    int GamesOfConnection() const;
    void OtherSideLeft();
    void ConnectionLost(int number, const QString& description);
    void AnnounceHosting();

    void StartListening();
    void StopListening();
    void StartConnecting();
    void AdoptSocket(QTcpSocket* socket);
    void CloseSocket();
    void ReportSocketError(QAbstractSocket::SocketError error, const QString& description);
    QString LocalIP() const;

    Turrion::State& s_;
    GameLink& game_;
    QTcpServer* server_ = nullptr;
    QPointer<QTcpSocket> comm_;
    bool open_ = false;
    bool overflowReported_ = false;
    bool floodReported_ = false;
    // Pieces placed, moved or removed since the board was last drawn: a
    // run of them is drawn once, before anything else acts on the game.
    bool boardStale_ = false;
    std::size_t holdLimit_ = DefaultHoldLimit;
    void DrawStaleBoard();
    std::deque<Message> pending_;
    // Board digests by (game, turn, player), this copy's and the other's;
    // only the latest few are kept.
    std::map<std::tuple<int, int, int>, quint32> ownDigests_, otherDigests_;
};

} // namespace Turrion::NetPlay
