// A started game with its NetPlay window, and a scripted other side on the
// loopback interface.
#pragma once

#include "core/GameState.h"
#include "core/frmMain.h"
#include "engine/MessageBox.h"
#include "netplay/NetPlay.h"
#include "netplay/Protocol.h"
#include "netplay/frmChat.h"
#include "netplay/frmConnect.h"
#include "tests/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <vector>

namespace NetTest {

// Pumps events until `done` holds, for at most five seconds.
template <typename Predicate>
bool PumpUntil(Predicate done) { return QTest::qWaitFor(done, 5000); }

// Wire bytes of a message with its terminator.
inline QByteArray W(const char* message) { return QByteArray(message) + char(0xFF); }

// Expects exactly these bytes to be the next ones the peer receives.
#define EXPECT_SENT(peer, bytes)                                                                   \
    do {                                                                                           \
        const QByteArray expected_ = (bytes);                                                      \
        EXPECT_EQ((peer).Expect(expected_), expected_);                                            \
    } while (0)

// "" when `box` reports socket error `code` (-1: refused before any
// socket), else what it says instead.
inline std::string SocketError(const PavixGames::MessageRequest& box, int code)
{
    const QString want = "NetPlay Communication Error:\r\n" +
                         (code < 0 ? QString("-1 - ") : " " + QString::number(code) + " - ");
    return box.caption == "NetPlay Error" && box.text.startsWith(want)
               ? ""
               : (box.caption + ": " + box.text).toStdString();
}

// The other program: a raw socket that records everything it receives.
class Peer {
public:
    Peer() : socket_(std::make_unique<QTcpSocket>()) { Watch(); }
    explicit Peer(QTcpSocket* accepted) : socket_(accepted) { Watch(); }

    bool ConnectTo(quint16 port)
    {
        socket_->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        return PumpUntil([this] { return socket_->state() == QAbstractSocket::ConnectedState; });
    }
    void Send(const QByteArray& bytes) { socket_->write(bytes), socket_->flush(); }
    QByteArray Expect(const QByteArray& bytes)
    {
        PumpUntil([&] { return received.size() >= bytes.size(); });
        const QByteArray next = received.left(bytes.size());
        received.remove(0, next.size());
        return next;
    }
    bool WaitForClose()
    {
        return PumpUntil([this] { return socket_->state() == QAbstractSocket::UnconnectedState; });
    }
    void Close() { socket_->disconnectFromHost(); }
    QTcpSocket& Socket() { return *socket_; }

    QByteArray received;

private:
    void Watch()
    {
        QObject::connect(socket_.get(), &QIODevice::readyRead, socket_.get(),
                         [this] { received += socket_->readAll(); });
    }
    std::unique_ptr<QTcpSocket> socket_;
};

// A listening other side for the connecting game.
class PeerHost {
public:
    PeerHost() { server.listen(QHostAddress(QHostAddress::LocalHost), 0); }
    quint16 Port() const { return server.serverPort(); }
    std::unique_ptr<Peer> Accept()
    {
        if (!PumpUntil([this] { return server.hasPendingConnections(); }))
            return nullptr;
        return std::make_unique<Peer>(server.nextPendingConnection());
    }
    QTcpServer server;
};

class NetPlayTest : public TestSupport::GameTest {
protected:
    void SetUp() override
    {
        TestSupport::GameTest::SetUp();
        PavixGames::SetMessageBoxHook([this](const PavixGames::MessageRequest& r) {
            boxes.push_back(r);
            if (r.buttons == PavixGames::MsgButtons::YesNo)
                return answerYes ? PavixGames::MsgResult::Yes : PavixGames::MsgResult::No;
            return PavixGames::MsgResult::OK;
        });
    }
    void TearDown() override
    {
        NetPlay::DestroyChatWindowForTests();
        NetPlay::frmConnect::SetShownHook(nullptr);
        PavixGames::SetMessageBoxHook(nullptr);
        TestSupport::GameTest::TearDown();
    }

    NetPlay::frmChat* Chat() { return NetPlay::ExistingChatWindow(); }
    QStringList ChatLines()
    {
        QString text = Chat()->ChatText();
        return text.endsWith('\n') ? text.chopped(1).split('\n') : text.split('\n');
    }
    QStringList LinesSince(int before) { return ChatLines().mid(before); }

    void Dialog(bool hosting, const QString& name, const QString& port,
                const QString& ip = QString())
    {
        NetPlay::frmConnect::SetShownHook([&](NetPlay::frmConnect& d) {
            d.txtName->setText(name);
            if (!ip.isEmpty())
                d.txtIP->setText(ip);
            d.txtPort->setText(port);
            d.cmdConnect->click();
        });
        hosting ? form->mnuNetHost_Click() : form->mnuNetConnect_Click();
        NetPlay::frmConnect::SetShownHook(nullptr);
    }
    void Host(const QString& name, const QString& port = "0") { Dialog(true, name, port); }
    void ConnectTo(const QString& name, const QString& port) { Dialog(false, name, port, "127.0.0.1"); }

    // Hosts as, or connects to a scripted host as, `name`; the scripted
    // other side `other` completes the handshake.
    std::unique_ptr<Peer> HostWithPlayer(const QString& name, const char* other)
    {
        Host(name);
        auto peer = std::make_unique<Peer>();
        EXPECT_TRUE(peer->ConnectTo(quint16(Chat()->Net().ListeningPort())));
        return Handshake(std::move(peer), name, other, Turrion::NetHostWithPlayer);
    }
    std::unique_ptr<Peer> ConnectedTo(PeerHost& host, const QString& name, const char* other)
    {
        ConnectTo(name, QString::number(host.Port()));
        return Handshake(host.Accept(), name, other, Turrion::NetConnected);
    }
    std::unique_ptr<Peer> Handshake(std::unique_ptr<Peer> peer, const QString& name, const char* other,
                                    int state)
    {
        EXPECT_TRUE(peer);
        if (!peer)
            return peer;
        EXPECT_SENT(*peer, NetPlay::Frame("PD}" + name));
        peer->Send(W((QByteArray("PD}") + other).constData()));
        EXPECT_TRUE(PumpUntil([&] { return S().NetState == state; }));
        return peer;
    }

    std::vector<PavixGames::MessageRequest> boxes;
    bool answerYes = true;
};

// A NetPlay window whose receive procedure is fed directly, without a peer.
// It plays the connecting side, Red, waiting in the move phase of the host's
// (Blue's) turn: every game message of the other side is in step.
class FedSide : public NetPlayTest {
protected:
    void SetUp() override
    {
        NetPlayTest::SetUp();
        Host("Ann");
        AsClient();
    }
    void AsClient()
    {
        using namespace Turrion;
        S().NetIsHost = false, S().NetColor = Red, S().RemoteName = "Bob";
        S().NetGame = true, S().NetGameColor = Red, S().CurrentPlayer = Blue;
        S().GameState = S().ResumeState = PhaseMove;
    }
    void Feed(const QByteArray& chunk) { Chat()->Net().ReceiveChunk(chunk); }
    QString Cells()
    {
        QString out;
        for (int r = 0; r < Turrion::Rows; ++r)
            for (int c = 0; c < Turrion::Cols; ++c)
                out += QString::number(S().Owner[c][r]) + QString::number(S().Board[c][r]) + ' ';
        return out;
    }
};

} // namespace NetTest
