#include "session/Session.h"

#include "logic/SaveFormat.h"
#include "engine/PavixGames.h"
#include "logic/Protocol.h"
#include "logic/Remote.h"

#include <QFile>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

using namespace Turrion;

namespace Turrion::NetPlay {

namespace {

QString Numbered(int count)
{
    return QString::number(count).rightJustified(5, QLatin1Char('0')) + QStringLiteral(" - ");
}

// A log record is one line: control characters in logged text (a name
// holding a line break, the bytes of a game file) are written as \xNN.
QString LogText(const QString& text)
{
    if (std::none_of(text.begin(), text.end(), IsControl))
        return text;
    QString out;
    out.reserve(text.size() * 2);
    for (QChar ch : text) {
        if (!IsControl(ch)) {
            out += ch;
            continue;
        }
        // At least two hex digits: \x0a, \x85, \x2028.
        static constexpr char hex[] = "0123456789abcdef";
        const char16_t u = ch.unicode();
        out += QLatin1String("\\x");
        if (u > 0xFF)
            out += QString::number(u >> 8, 16);
        out += QLatin1Char(hex[(u >> 4) & 15]);
        out += QLatin1Char(hex[u & 15]);
    }
    return out;
}

bool PortInRange(int port)
{
    return port >= 0 && port <= 65535;
}

QString PortOutOfRange(int port)
{
    return QStringLiteral("Port %1 is not a TCP port (0 to 65535).").arg(port);
}

const QString Stars = QStringLiteral("   ** ");

} // namespace

Session::Session(State& state, GameLink& game, QObject* parent)
    : QObject(parent), s_(state), game_(game)
{
}

Session::~Session() = default;

// ---- Opening and closing ---------------------------------------------------

void Session::Open()
{
    PlayerConnected = false;
    // Half a message left by an earlier connection must not be joined to the
    // first data of this one.
    RecvBuffer.clear();
    overflowReported_ = false;
    floodReported_ = false;
    pending_.clear();
    ownDigests_.clear();
    otherDigests_.clear();
    s_.NetGamesShared = s_.NetGamesConfirmed = s_.NetGamesTaken = 0;
    s_.NetPeerConfirms = false;
    open_ = true;

    const bool logging = PavixGames::LogLevel() > 0;
    const QString& app = PavixGames::DataPath();
    const QString side = s_.NetState == NetHosting ? QStringLiteral("Host") : QStringLiteral("Client");
    if (logging) {
        SendLog = PavixGames::OpenLog(app + side + QStringLiteral("_Send.log"), false);
        GetLog = PavixGames::OpenLog(app + side + QStringLiteral("_Get.log"), false);
    }
    if (s_.NetState == NetHosting) {
        StartListening();
        AnnounceHosting();
        s_.NetColor = Blue;
    } else {
        s_.NetColor = Red;
        emit ChatLine(QStringLiteral("Connecting to NetPlay Game as ") + s_.NetName +
                      QStringLiteral("..."));
        emit ChatLine(QStringLiteral("     Host: ") + s_.NetHost);
        emit ChatLine(QStringLiteral("     Port: ") + QString::number(s_.NetPort));
        StartConnecting();
    }
}

void Session::Close()
{
    if (!open_)
        return;
    // From here on nothing received is acted on.
    open_ = false;
    if (PavixGames::LogLevel() > 0) {
        PavixGames::CloseLog(SendLog);
        PavixGames::CloseLog(GetLog);
    }
    SendLog = 0;
    GetLog = 0;
    emit ChatLine(QStringLiteral("===================="));
    emit ChatLine(QStringLiteral("Disconnecting ..."));
    if (PlayerConnected && comm_) {
        // Straight onto the socket: the logs are closed and it is not counted.
        // Closing the socket hands it to the network before the connection goes.
        comm_->write(Frame(QStringLiteral("DQ}") + s_.NetName));
        comm_->flush();
    }
    pending_.clear();
    CloseSocket();
    StopListening();
    PlayerConnected = false;
    s_.NetState = NetNone;
    s_.NetGame = false;
}

void Session::AnnounceHosting()
{
    emit ChatLine(QStringLiteral("Hosting NetPlay Game as ") + s_.NetName + QStringLiteral("..."));
    if (!Listening()) {
        emit ChatLine(QStringLiteral("     Hosting failed: port ") + QString::number(s_.NetPort) +
                      QStringLiteral(" could not be opened, so nobody can connect."));
        return;
    }
    emit ChatLine(QStringLiteral("     IP: ") + LocalIP());
    emit ChatLine(QStringLiteral("     Port: ") + QString::number(ListeningPort()));
}

// ---- The socket -------------------------------------------------------------

QString Session::LocalIP() const
{
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress& a : all)
        if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    for (const QHostAddress& a : all)
        if (!a.isLoopback())
            return a.toString();
    return QStringLiteral("127.0.0.1");
}

bool Session::Listening() const
{
    return server_ && server_->isListening();
}

int Session::ListeningPort() const
{
    return Listening() ? int(server_->serverPort()) : 0;
}

bool Session::Connected() const
{
    return comm_ && comm_->state() == QAbstractSocket::ConnectedState;
}

void Session::StartListening()
{
    const int port = s_.NetPort;
    if (!PortInRange(port)) {
        ReportSocketError(QAbstractSocket::UnknownSocketError, PortOutOfRange(port));
        return;
    }
    if (!server_) {
        server_ = new QTcpServer(this);
        server_->setMaxPendingConnections(1);
        connect(server_, &QTcpServer::newConnection, this,
                [this] { comm_ConnectionRequest(); }, Qt::QueuedConnection);
        connect(server_, &QTcpServer::acceptError, this,
                [this](QAbstractSocket::SocketError error) {
                    if (server_)
                        ReportSocketError(error, server_->errorString());
                });
    }
    if (!server_->listen(QHostAddress::Any, quint16(port)))
        ReportSocketError(server_->serverError(), server_->errorString());
}

void Session::StopListening()
{
    if (!server_)
        return;
    while (QTcpSocket* extra = server_->nextPendingConnection()) {
        extra->abort();
        extra->deleteLater();
    }
    server_->close();
}

void Session::StartConnecting()
{
    if (!PortInRange(s_.NetPort)) {
        ReportSocketError(QAbstractSocket::UnknownSocketError, PortOutOfRange(s_.NetPort));
        return;
    }
    auto* socket = new QTcpSocket(this);
    AdoptSocket(socket);
    connect(socket, &QAbstractSocket::connected, this, [this, socket] {
        // Socket options take effect only once the connection exists.
        socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        if (socket == comm_)
            comm_Connect();
    }, Qt::QueuedConnection);
    // An IPv6 address may be written in brackets, as in a web address.
    QString host = s_.NetHost;
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    socket->connectToHost(host, quint16(s_.NetPort));
}

void Session::AdoptSocket(QTcpSocket* socket)
{
    comm_ = socket;
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    // Queued, so that the receive procedure runs from the event loop and not
    // inside the socket's own signal, and a closed connection is reported
    // only after the data that came before it.
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        if (socket == comm_)
            comm_DataArrival();
    }, Qt::QueuedConnection);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, guard = QPointer<QTcpSocket>(socket)](QAbstractSocket::SocketError error) {
                if (!guard || guard != comm_)
                    return;
                if (guard->bytesAvailable() > 0)
                    comm_DataArrival(); // the other side's last words first
                if (!guard || guard != comm_)
                    return; // they were a "DQ": the connection ended properly
                ConnectionLost(int(error), guard->errorString());
            },
            Qt::QueuedConnection);
}

void Session::CloseSocket()
{
    QTcpSocket* socket = comm_;
    comm_ = nullptr;
    if (!socket)
        return;
    disconnect(socket, nullptr, this, nullptr);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    // Whatever was queued is handed to the network before the socket goes.
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    socket->flush();
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState)
        socket->deleteLater();
}

void Session::comm_ConnectionRequest()
{
    if (!server_)
        return;
    QTcpSocket* incoming = server_->nextPendingConnection();
    if (!incoming)
        return;
    // A game against the computer is this player's alone: nobody joins it.
    if (s_.ComputerColor != NoPlayer) {
        incoming->abort();
        incoming->deleteLater();
        emit ChatLine(QStringLiteral("A player tried to connect; a game against the computer is "
                                     "running, so the connection was refused."));
        return;
    }
    // One player at a time: no more knocking once this one is in.
    StopListening();
    CloseSocket();
    AdoptSocket(incoming);
    RecvBuffer.clear();
    emit ChatLine(QStringLiteral("Remote Player Connecting ..."));
    SendMessage(QStringLiteral("PD}") + s_.NetName);
}

void Session::comm_Connect()
{
    emit ChatLine(QStringLiteral("Connected ..."));
    SendMessage(QStringLiteral("PD}") + s_.NetName);
    // Tells a host that knows it that this side confirms the games it takes.
    SendMessage(GameTakenMessage(s_.NetGamesTaken));
}

void Session::comm_DataArrival()
{
    while (comm_ && comm_->bytesAvailable() > 0) {
        const QByteArray chunk = comm_->readAll();
        ReceiveChunk(chunk);
    }
}

void Session::comm_Error(int number, const QString& description)
{
    const QString numberText =
        number >= 0 ? QStringLiteral(" ") + QString::number(number) : QString::number(number);
    emit Problem(QStringLiteral("NetPlay Communication Error:\r\n") + numberText +
                 QStringLiteral(" - ") + description);
}

void Session::ReportSocketError(QAbstractSocket::SocketError error, const QString& description)
{
    comm_Error(int(error), description);
}

void Session::ConnectionLost(int number, const QString& description)
{
    // A connection that breaks without a "DQ" is a departure all the same:
    // the state becomes what a "DQ" leaves, and the user is told once.
    if (PlayerConnected) {
        emit ChatLine(QString());
        emit ChatLine(QStringLiteral("===================="));
        emit ChatLine(QStringLiteral("     ***** The connection to ") + s_.RemoteName +
                      QStringLiteral(" was lost ..."));
        emit ChatLine(QString());
        OtherSideLeft();
    }
    comm_Error(number, description);
}

void Session::OtherSideLeft()
{
    PlayerConnected = false;
    s_.NetGame = false;
    CloseSocket();
    // Nothing the departed side sent after its farewell is acted on.
    RecvBuffer.clear();
    pending_.clear();
    if (!s_.NetIsHost) {
        s_.NetState = NetNone;
        emit PlayersChanged();
        return;
    }
    s_.NetColor = Blue;
    s_.NetState = NetHosting;
    emit PlayersChanged();
    StartListening();
    emit ChatLine(QStringLiteral(" ..."));
    AnnounceHosting();
}

// ---- Sending and receiving --------------------------------------------------

void Session::SendMessage(const QString& text)
{
    if (PavixGames::LogLevel() > 0) {
        ++SendCount;
        PavixGames::WriteLog(SendLog, Numbered(SendCount) + LogText(text), true);
    }
    if (!Connected()) {
        ConnectionLost(QAbstractSocket::NetworkError,
                       QStringLiteral("The connection is closed; the message was not sent."));
        return;
    }
    if (comm_->write(Frame(text)) < 0) {
        ReportSocketError(comm_->error(), comm_->errorString());
        return;
    }
    comm_->flush();
    // The host counts the games it shares; the other side confirms each.
    if (s_.NetIsHost && (text.startsWith(QLatin1String("NG}")) || text.startsWith(QLatin1String("LF}"))))
        ++s_.NetGamesShared;
}

void Session::ReceiveChunk(const QByteArray& chunk)
{
    const QString text = FromWire(chunk);
    if (PavixGames::LogLevel() > 0) {
        ++GetCount;
        PavixGames::WriteLog(GetLog, Numbered(GetCount) + LogText(text), true);
    }
    RecvBuffer += text;
    QString message;
    // Each message leaves the buffer before it is acted on (or held), so
    // the buffer only ever holds what is still to come.
    while (open_ && TakeMessage(RecvBuffer, message)) {
        overflowReported_ = false;
        if (const std::optional<Message> m = ParseMessage(message))
            Hold(*m);
    }
    DrawStaleBoard();
    if (RecvBuffer.size() > MaxPendingChars && !RecvBuffer.contains(QChar(TerminatorChar))) {
        RecvBuffer.clear();
        // A flood arrives in many chunks: it is reported once, until a
        // message ends normally again.
        if (!overflowReported_) {
            overflowReported_ = true;
            ReportSocketError(QAbstractSocket::UnknownSocketError,
                              QStringLiteral("More than %1 bytes arrived without the end of a "
                                             "message; they are discarded.")
                                  .arg(MaxPendingChars));
        }
    }
}

namespace {
// Messages that change the game: they act in order, once the game is ready.
// A confirmation of the host's game ("GA") keeps its place among them: it
// tells which game the actions after it belong to, so it must not overtake
// actions of the game before that still wait.
bool IsGameMessage(Code code)
{
    switch (code) {
    case Code::NG:
    case Code::LF:
    case Code::SC:
    case Code::AP:
    case Code::RP:
    case Code::MP:
    case Code::FC:
    case Code::ET:
    case Code::GA:
        return true;
    default:
        return false;
    }
}

// Notes a digest; only the latest few turns are kept, whatever a peer sends.
template <typename Map, typename Key>
void Remember(Map& digests, const Key& key, quint32 digest)
{
    digests[key] = digest;
    while (digests.size() > 8)
        digests.erase(digests.begin());
}
} // namespace

void Session::Hold(const Message& m)
{
    if (!IsGameMessage(m.code) || (pending_.empty() && !game_.Busy())) {
        Dispatch(m);
        return;
    }
    if ((m.code == Code::NG || m.code == Code::LF) && !s_.NetIsHost) {
        // A damaged file replaces nothing: it is reported at once.
        if (m.code == Code::LF) {
            SavedGame unused;
            if (!ParseGame(ToWire(m.payload), unused).isEmpty()) {
                Dispatch(m);
                return;
            }
        }
        // The host's new game replaces whatever still waits for the game
        // before it; a change of colours waits on, for the game after.
        std::deque<Message> kept;
        for (Message& waiting : pending_)
            if (waiting.code == Code::SC)
                kept.push_back(std::move(waiting));
        pending_.swap(kept);
    }
    if (pending_.size() >= holdLimit_) {
        if (!floodReported_) {
            floodReported_ = true;
            ReportSocketError(QAbstractSocket::UnknownSocketError,
                              QStringLiteral("More than %1 game messages arrived while the game was "
                                             "busy; the rest are discarded.")
                                  .arg(holdLimit_));
        }
        return;
    }
    pending_.push_back(m);
}

void Session::DrainPending()
{
    while (open_ && !pending_.empty() && !game_.Busy()) {
        const Message m = std::move(pending_.front());
        pending_.pop_front();
        Dispatch(m);
    }
    DrawStaleBoard();
    if (pending_.empty())
        floodReported_ = false;
}

void Session::DrawStaleBoard()
{
    if (std::exchange(boardStale_, false))
        game_.BoardChanged();
}

int Session::GamesOfConnection() const
{
    return s_.NetIsHost ? s_.NetGamesShared : s_.NetGamesTaken;
}

void Session::GameTaken()
{
    ++s_.NetGamesTaken;
    if (PlayerConnected && Connected())
        SendMessage(GameTakenMessage(s_.NetGamesTaken));
}

void Session::TurnPassed()
{
    if (!open_ || !PlayerConnected || !s_.NetGame)
        return;
    const int games = GamesOfConnection();
    const auto key = std::tuple(games, s_.TurnNumber, s_.CurrentPlayer);
    Remember(ownDigests_, key, BoardDigest(s_));
    SendMessage(BoardDigestMessage(games, s_.TurnNumber, s_.CurrentPlayer, ownDigests_[key]));
    CompareDigests(games, s_.TurnNumber, s_.CurrentPlayer);
}

void Session::CompareDigests(int games, int turn, int player)
{
    const auto key = std::tuple(games, turn, player);
    const auto own = ownDigests_.find(key);
    const auto other = otherDigests_.find(key);
    if (own == ownDigests_.end() || other == otherDigests_.end())
        return;
    const bool same = own->second == other->second;
    ownDigests_.erase(own);
    otherDigests_.erase(other);
    if (same)
        return;
    emit ChatLine(Stars + QStringLiteral("The two boards differed after the turn change to turn ") +
                  QString::number(turn) + QStringLiteral("; both go on from the host's board."));
    if (!s_.NetIsHost)
        return;
    // The host's game goes out again, as a load would send it.
    QString why;
    const QByteArray bytes = SerializeGame(s_, &why);
    if (!bytes.isEmpty() && !bytes.contains(TerminatorByte))
        SendMessage(QStringLiteral("LF}") + FromWire(bytes));
}

void Session::Dispatch(const Message& m)
{
    if (!AcceptsMessage(s_, m))
        return;
    if (m.code != Code::AP && m.code != Code::RP && m.code != Code::MP)
        DrawStaleBoard();
    const QString& name = s_.RemoteName;

    switch (m.code) {
    case Code::PD: {
        const bool newPlayer = !PlayerConnected;
        s_.RemoteName = m.payload;
        PlayerConnected = true;
        if (s_.NetIsHost) {
            // A new player: the count of shared games starts again. The
            // same player sending its name again only renames it: the games
            // it confirmed, and the actions that wait for them, stand.
            if (newPlayer) {
                s_.NetGamesShared = s_.NetGamesConfirmed = 0;
                s_.NetPeerConfirms = false;
            }
            emit ChatLine(QStringLiteral("     Connected player's name: ") + s_.RemoteName);
            emit ChatLine(QStringLiteral("--------------------"));
            emit ChatLine(QString());
            s_.NetState = NetHostWithPlayer;
            emit PlayersChanged();
            emit Attention(true);
        } else {
            emit ChatLine(QStringLiteral("     Host's name: ") + s_.RemoteName);
            emit ChatLine(QStringLiteral("--------------------"));
            emit ChatLine(QString());
            s_.NetState = NetConnected;
            emit PlayersChanged();
        }
        break;
    }

    case Code::CH:
        emit ChatLine(m.payload);
        emit Attention(false);
        break;

    case Code::SC:
        emit ChatLine(QString());
        emit ChatLine(QStringLiteral("   ** Players have SWITCHED COLORS for next game."));
        emit ChatLine(QString());
        s_.NetColor = m.colour;
        emit PlayersChanged();
        break;

    case Code::DQ:
        emit ChatLine(QString());
        emit ChatLine(QStringLiteral("===================="));
        emit ChatLine(s_.NetIsHost ? QStringLiteral("     ***** ") + m.payload +
                                         QStringLiteral(" has disconnected ...")
                                   : QStringLiteral("     ***** Host ") + name +
                                         QStringLiteral(" has disconnected ... closing."));
        emit ChatLine(QString());
        OtherSideLeft();
        break;

    case Code::NG:
        emit ChatLine(QString());
        emit ChatLine(Stars + m.payload + QStringLiteral(" started a NEW GAME."));
        emit ChatLine(QString());
        game_.NewGame();
        GameTaken();
        break;

    case Code::AP:
        // A piece the rules would not place (PlacePiece): nothing to tell.
        switch (CanPlacePiece(s_, m.owner, m.kind, m.col, m.row) ? m.kind : Empty) {
        case CannonReady:
            emit ChatLine(Stars + name + QStringLiteral(" has added a CANNON to the board."));
            break;
        case Wizard:
            emit ChatLine(Stars + name + QStringLiteral(" has added a WIZARD to the board."));
            break;
        case Builder:
            emit ChatLine(Stars + name + QStringLiteral(" has added a BUILDER to the board."));
            break;
        case Wall:
            emit ChatLine(Stars + name + QStringLiteral(" has ADDED a WALL to the board."));
            break;
        default:
            break;
        }
        PlaceRemotePiece(m.owner, m.kind, m.col, m.row);
        boardStale_ = true;
        break;

    case Code::RP:
        if (s_.Board[m.col][m.row] == Wall)
            emit ChatLine(Stars + name + QStringLiteral(" has REMOVED a WALL from the board."));
        RemoveRemotePiece(m.col, m.row);
        boardStale_ = true;
        break;

    case Code::MP:
        MoveRemotePiece(m.col, m.row, m.toCol, m.toRow);
        boardStale_ = true;
        break;

    case Code::FC:
        // A shot no Cannon could fire lands nowhere.
        if (!CanLandShot(s_, m.col, m.row, m.colour))
            break;
        emit ChatLine(Stars + name + QStringLiteral(" has FIRED a CANNON!"));
        ApplyRemoteShot(m.col, m.row, m.colour);
        break;

    case Code::ET:
        emit ChatLine(Stars + name + QStringLiteral("'s TURN has ENDED."));
        game_.EndTurn();
        break;

    case Code::SG:
        emit ChatLine(Stars + m.payload + QStringLiteral(" has SAVED the GAME to a file."));
        break;

    case Code::LF:
        ReceiveGameFile(m.payload);
        GameTaken();
        break;

    case Code::GA:
        s_.NetPeerConfirms = true;
        s_.NetGamesConfirmed = m.games;
        break;

    case Code::BD:
        Remember(otherDigests_, std::tuple(m.games, m.turn, m.colour), m.digest);
        CompareDigests(m.games, m.turn, m.colour);
        break;
    }
}

// ---- The other side's game actions -------------------------------------------

void Session::PlaceRemotePiece(int owner, int kind, int col, int row)
{
    PlacePiece(s_, owner, kind, col, row);
}

void Session::MoveRemotePiece(int fromCol, int fromRow, int toCol, int toRow)
{
    MovePiece(s_, fromCol, fromRow, toCol, toRow);
}

void Session::RemoveRemotePiece(int col, int row)
{
    RemovePiece(s_, col, row);
}

void Session::ApplyRemoteShot(int col, int row, int shooter)
{
    const bool kingHit = LandShot(s_, col, row, shooter);
    if (kingHit) {
        emit ChatLine(QString());
        emit ChatLine(QStringLiteral("  ** ") + s_.RemoteName + QStringLiteral(" has WON the GAME!"));
        emit ChatLine(QString());
    }
    game_.ShotLanded(col, row, shooter, kingHit);
}

void Session::ReceiveGameFile(const QString& payload)
{
    const QString name = OneLine(s_.RemoteName);
    // The file is checked whole before anything is said or changed: a damaged
    // one is the other side's fault, not a file of this machine.
    const QByteArray bytes = ToWire(payload);
    SavedGame received;
    const QString why = ParseGame(bytes, received);
    if (!why.isEmpty()) {
        emit ChatLine(QString());
        emit ChatLine(Stars + QStringLiteral("The game sent by ") + name +
                      QStringLiteral(" is damaged; it was not loaded."));
        emit ChatLine(QString());
        emit Problem(QStringLiteral("The game sent by ") + name +
                     QStringLiteral(" is damaged and could not be loaded:\r\n") + why +
                     QStringLiteral("\r\n\r\nThe game in progress has not been changed."));
        return;
    }
    emit ChatLine(QString());
    emit ChatLine(Stars + s_.RemoteName + QStringLiteral(" has LOADED a GAME from file."));
    emit ChatLine(QString());

    const QString path = PavixGames::DataPath() + QStringLiteral("temp_NetPlay.trs");
    if (QFile::exists(path))
        QFile::remove(path);
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(bytes) == bytes.size() && file.flush();
    const QString problem = file.errorString();
    file.close();
    if (written)
        game_.LoadGame(path);
    else
        emit Problem(QStringLiteral("The game sent by the other side could not be written to ") +
                     path + QStringLiteral(":\r\n") + problem);
    QFile::remove(path);
}

} // namespace Turrion::NetPlay
