// A started game with its NetPlay window, and a scripted other side on the
// loopback interface.
#pragma once

#include "game/frmMain.h"
#include "engine/gui/MessageBox.h"
#include "engine/gui/PavixSfxAPI.h"
#include "game/netplay/NetPlay.h"
#include "game/netplay/frmChat.h"
#include "game/netplay/frmConnect.h"
#include "tests/support/TestSupport.h"

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

namespace NetPlay = Turrion::NetPlay;

// Pumps events until `done` holds, for at most five seconds.
template <typename Predicate>
bool PumpUntil(Predicate done) { return QTest::qWaitFor(done, 5000); }

// Pumps events and runs the game's steps until `done` holds, for at most
// five seconds: the other side's messages arrive, and pauses pass.
template <typename Predicate>
bool PlayUntil(Predicate done)
{
    return QTest::qWaitFor([&] { return TestSupport::Settle(), done(); }, 5000);
}

// Wire bytes of a message with its terminator.
inline QByteArray W(const char* message) { return QByteArray(message) + char(0xFF); }

// Expects exactly these bytes to be the next ones the peer receives.
#define EXPECT_SENT(peer, bytes) EXPECT_EQ((peer).Expect(bytes), bytes)

// "" when `box` reports socket error `code` (-1: refused before any
// socket), else what it says instead.
inline std::string SocketError(const PavixGames::MessageRequest& box, int code)
{
    const QString want = "NetPlay Communication Error:\r\n" + QString(code < 0 ? "%1 - " : " %1 - ").arg(code);
    const bool ok = box.caption == "NetPlay Error" && box.text.startsWith(want);
    return ok ? "" : (box.caption + ": " + box.text).toStdString();
}

// The other program: a raw socket that records everything it receives.
class Peer {
public:
    explicit Peer(QTcpSocket* socket = new QTcpSocket) : socket_(socket)
    {
        QObject::connect(socket, &QIODevice::readyRead, socket, [this] { Take(socket_->readAll()); });
    }
    // Whether the connection is made (false at once when it is refused).
    bool ConnectTo(quint16 port)
    {
        socket_->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        PumpUntil([this] { return socket_->state() == QAbstractSocket::ConnectedState || Closed(); });
        return socket_->state() == QAbstractSocket::ConnectedState;
    }
    void Send(const QByteArray& bytes) { socket_->write(bytes), socket_->flush(); }
    // The next bytes received, as many as `bytes` holds.
    QByteArray Expect(const QByteArray& bytes)
    {
        PumpUntil([&] { return received.size() >= bytes.size(); });
        const QByteArray next = received.left(bytes.size());
        received.remove(0, next.size());
        return next;
    }
    bool Closed() const { return socket_->state() == QAbstractSocket::UnconnectedState; }
    void Close() { socket_->disconnectFromHost(); }

    QByteArray received;
    // A peer that knows only the first protocol: the game confirmations and
    // board digests it receives are dropped, as such a copy ignores them.
    bool firstProtocolOnly = true;
    QByteArray dropped; // what such a copy ignored

private:
    void Take(const QByteArray& bytes)
    {
        if (!firstProtocolOnly) {
            received += bytes;
            return;
        }
        partial_ += bytes;
        qsizetype end;
        while ((end = partial_.indexOf(char(0xFF))) >= 0) {
            const QByteArray frame = partial_.left(end + 1);
            partial_.remove(0, end + 1);
            if (!frame.startsWith("GA}") && !frame.startsWith("BD}"))
                received += frame;
            else
                dropped += frame;
        }
    }
    QByteArray partial_;
    std::unique_ptr<QTcpSocket> socket_;
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
        peerHost.listen(QHostAddress(QHostAddress::LocalHost), 0);
    }
    void TearDown() override
    {
        NetPlay::DestroyChatWindowForTests();
        NetPlay::frmConnect::SetShownHook(nullptr);
        PavixGames::SetMessageBoxHook(nullptr);
        PavixSfxAPI::SetPlayHook(nullptr);
        TestSupport::GameTest::TearDown();
    }

    NetPlay::frmChat* Chat() { return NetPlay::ExistingChatWindow(); }
    // The transcript, one entry per line.
    QStringList ChatLines()
    {
        QString text = Chat()->ChatText();
        text.chop(1); // the last line's "\n"
        return text.split('\n');
    }
    QStringList LinesSince(int before) { return ChatLines().mid(before); }

    // Opens the NetPlay window through its menu and dialog.
    void Dialog(bool hosting, const QString& name, const QString& port, const QString& ip = "127.0.0.1")
    {
        NetPlay::frmConnect::SetShownHook([&](NetPlay::frmConnect& d) {
            d.txtName->setText(name);
            d.txtIP->setText(ip); // hidden when hosting
            d.txtPort->setText(port);
            d.cmdConnect->click();
        });
        hosting ? form->mnuNetHost_Click() : form->mnuNetConnect_Click();
        NetPlay::frmConnect::SetShownHook(nullptr);
    }
    void Host(const QString& name, const QString& port = "0") { Dialog(true, name, port); }
    void ConnectTo(const QString& name, const QString& port) { Dialog(false, name, port); }
    // The connection the connecting game makes to the scripted host.
    std::unique_ptr<Peer> Accept()
    {
        const bool knocked = PumpUntil([this] { return peerHost.hasPendingConnections(); });
        return knocked ? std::make_unique<Peer>(peerHost.nextPendingConnection()) : nullptr;
    }

    // Hosts as, or connects to the scripted host as, `name`; the scripted
    // other side `other` completes the handshake. Null when it fails.
    std::unique_ptr<Peer> HostWithPlayer(const QString& name, const char* other)
    {
        Host(name);
        auto peer = std::make_unique<Peer>();
        const bool connected = peer->ConnectTo(quint16(Chat()->Net().ListeningPort()));
        return connected ? Handshake(std::move(peer), name, other) : nullptr;
    }
    std::unique_ptr<Peer> ConnectedTo(const QString& name, const char* other)
    {
        ConnectTo(name, QString::number(peerHost.serverPort()));
        return Handshake(Accept(), name, other);
    }
    std::unique_ptr<Peer> Handshake(std::unique_ptr<Peer> peer, const QString& name, const char* other)
    {
        const QByteArray own = NetPlay::Frame("PD}" + name);
        if (!peer || peer->Expect(own) != own)
            return nullptr;
        peer->Send(W((QByteArray("PD}") + other).constData()));
        const bool done = PumpUntil([this] { return S().NetState >= Turrion::NetHostWithPlayer; });
        return done ? std::move(peer) : nullptr;
    }

    std::vector<PavixGames::MessageRequest> boxes;
    bool answerYes = true;
    QTcpServer peerHost; // the scripted host that the connecting game reaches
};

} // namespace NetTest
