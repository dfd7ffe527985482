// The game connecting to a scripted host over the loopback interface.
#include "NetTestSupport.h"

#include "core/modTurrion.h"
#include "engine/PavixGames.h"

#include <QFile>
#include <QMenu>

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmChat;

namespace {
// What a connected player may not use.
std::vector<const QAction*> Locked(frmMain* f)
{
    return {f->mnuGameNew->menuAction(), f->mnuGameLoad, f->mnuGameSave, f->mnuNet->menuAction(),
            f->mnuHelpAbout};
}
} // namespace

TEST_F(NetPlayTest, ClientHandshakeAndTheHostsGame)
{
    PeerHost host;
    ConnectTo("Bob", QString::number(host.Port()));
    frmChat* chat = Chat();
    ASSERT_TRUE(chat);
    EXPECT_EQ(S().NetState, NetConnecting);
    EXPECT_EQ(S().NetColor, Red);
    EXPECT_FALSE(chat->cmdSwitch->isVisible());
    for (const QAction* item : Locked(form))
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    EXPECT_EQ(ChatLines(), (QStringList{"Connecting to NetPlay Game as Bob...",
                                        "     Host: 127.0.0.1",
                                        "     Port: " + QString::number(host.Port())}));

    auto ann = host.Accept();
    ASSERT_TRUE(ann);
    EXPECT_SENT(*ann, W("PD}Bob"));
    EXPECT_EQ(ChatLines().last(), "Connected ...");
    int before = ChatLines().size();
    ann->Send(W("PD}Ann"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetConnected; }));
    EXPECT_EQ(LinesSince(before), (QStringList{"     Host's name: Ann", "--------------------", ""}));
    EXPECT_EQ(chat->lblBluePlayer->text(), "Ann (host)");

    // The host's new game starts here too, with this side waiting as Red.
    before = ChatLines().size();
    ann->Send(W("NG}Ann"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetGame; }));
    EXPECT_EQ(LinesSince(before), (QStringList{"", "   ** Ann started a NEW GAME.", ""}));

    // While Blue plays on the other side keys are swallowed.
    MainLoopPass();
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuTurn));
    S().GameState = S().ResumeState = PhaseMove;
    form->KeyReady = true;
    int key = VK_DOWN;
    form->Form_KeyDown(key, 0);
    EXPECT_EQ(key, 0);
    ann->Send(QByteArray("AP}1300030\xFF" "MP}00030103\xFF" "ET}1\xFF"));
    ASSERT_TRUE(PumpUntil([&] { return S().CurrentPlayer == Red; }));
    EXPECT_EQ(S().Owner[1][3], Blue);
    EXPECT_EQ(ChatLines().last(), "   ** Ann's TURN has ENDED.");

    // This side's end of turn goes to the host.
    S().GameState = S().ResumeState = PhaseMove;
    form->mnuTurnEndTurn_Click();
    EXPECT_SENT(*ann, W("ET}2"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NetPlayTest, ClientReceivesLoadedGamesThroughATemporaryFile)
{
    PeerHost host;
    auto ann = ConnectedTo(host, "Bob", "Ann");
    ASSERT_TRUE(ann);
    const QString temp = PavixGames::AppPath() + "temp_NetPlay.trs";

    // The bytes reach the file unchanged, also those the code page leaves
    // undefined (a turn byte of 0x81) and those above it (moves 0xFE).
    const QByteArray every("\x01\x81\xFE" "\x0A\x0B" "\x12\x15", 7);
    QByteArray seen;
    frmChat::SetLoadGameHook([&] {
        QFile f(S().GameFileName);
        if (S().GameFileName == temp && f.open(QIODevice::ReadOnly))
            seen = f.readAll();
    });
    const int before = ChatLines().size();
    ann->Send("LF}" + every + char(0xFF));
    ASSERT_TRUE(PumpUntil([&] { return !seen.isEmpty(); }));
    frmChat::SetLoadGameHook(nullptr);
    EXPECT_EQ(seen, every);
    EXPECT_EQ(LinesSince(before), (QStringList{"", "   ** Ann has LOADED a GAME from file.", ""}));

    // A real game, then one the loader refuses: neither leaves a temporary file.
    const QByteArray file("\x02\x03\x0A" "\x0A\x0B" "\x0B\x0E" "\x12\x15" "\x3A\x16", 11);
    for (const QByteArray& bytes : {file, QByteArray("\x09\x09")}) {
        ann->Send("LF}" + bytes + char(0xFF));
        ASSERT_TRUE(PumpUntil(
            [&] { return S().Board[8][5] == Wizard && (bytes == file || !boxes.empty()); }));
        EXPECT_EQ((std::vector<int>{S().CurrentPlayer, S().TurnNumber, S().MovesLeft, S().Board[1][1]}),
                  (std::vector<int>{Red, 3, 5, Wall}));
        EXPECT_FALSE(QFile::exists(temp));
        EXPECT_TRUE(S().GameFileName.isEmpty());
        EXPECT_FALSE(form->mnuGameSave->isEnabled());
    }
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(ann->received.isEmpty()); // nothing was sent back
}

TEST_F(NetPlayTest, ClientWhenTheHostLeavesAndWhenTheConnectionFails)
{
    PeerHost host;
    auto ann = ConnectedTo(host, "Bob", "Ann");
    ASSERT_TRUE(ann);
    frmChat* chat = Chat();
    ann->Send(W("NG}Ann"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetGame; }));

    chat->txtAddChat->setText("bye");
    const int before = ChatLines().size();
    ann->Send(W("DQ}Ann"));
    ann->Close();
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetNone; }));
    EXPECT_EQ(LinesSince(before), (QStringList{"", "====================",
                                               "     ***** Host Ann has disconnected ... closing.",
                                               ""}));
    EXPECT_FALSE(S().NetGame);
    EXPECT_FALSE(chat->cmdAddChat->isEnabled());
    EXPECT_FALSE(form->mnuGameLoad->isEnabled()); // locked until the window closes
    QTest::qWait(20);
    EXPECT_TRUE(boxes.empty()); // a proper goodbye is no error

    // Closing still asks (the one box), and sends nothing.
    chat->close();
    for (const QAction* item : Locked(form))
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    EXPECT_TRUE(ann->received.isEmpty());

    // Nobody listening: one message box.
    const quint16 closedPort = host.Port();
    host.server.close();
    ConnectTo("Bob", QString::number(closedPort));
    ASSERT_TRUE(PumpUntil([&] { return boxes.size() == 2; }));
    EXPECT_EQ(SocketError(boxes[1], QAbstractSocket::ConnectionRefusedError), "");
    EXPECT_TRUE(chat->isVisible());
    chat->cmdDone->click();

    // A port that does not exist is refused before any connection.
    ConnectTo("Bob", "99999999999");
    EXPECT_EQ(S().NetPort, 2147483647);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(SocketError(boxes[2], -1), "");
    EXPECT_EQ(ChatLines().last(), "     Port: 2147483647");
    chat->cmdDone->click();

    // An IPv6 address may come in brackets, as in a web address.
    QTcpServer six;
    if (six.listen(QHostAddress::LocalHostIPv6, 0)) {
        Dialog(false, "Bob", QString::number(six.serverPort()), "[::1]");
        EXPECT_TRUE(PumpUntil([&] { return six.hasPendingConnections(); }));
    }
}
