// The game hosting, a scripted player connecting over the loopback interface.
#include "NetTestSupport.h"

#include "core/SaveGame.h"
#include "engine/PavixGames.h"

#include <QFile>
#include <QHostAddress>

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmChat;

namespace {

// The stamped lines of a NetPlay log, without their time stamps.
QStringList Entries(const QString& path, bool* closed = nullptr)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QStringList out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split("\r\n")) {
        const qsizetype at = line.indexOf(" ... ");
        if (closed && line.endsWith(" ... Log Closed"))
            *closed = true;
        if (at > 0 && !line.endsWith(" ... Log Opened") && !line.endsWith(" ... Log Closed"))
            out << line.mid(at + 5);
    }
    return out;
}

} // namespace

TEST_F(NetPlayTest, HostHandshakeChatAndColourSwitch)
{
    Host("Ann");
    frmChat* chat = Chat();
    ASSERT_TRUE(chat && chat->Net().Listening());
    EXPECT_EQ(S().NetColor, Blue);
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuNet));
    const int port = chat->Net().ListeningPort();
    ASSERT_GT(port, 0);

    const QStringList lines = ChatLines();
    EXPECT_EQ(lines, (QStringList{"Hosting NetPlay Game as Ann...", lines.value(1),
                                  "     Port: " + QString::number(port)}));
    EXPECT_FALSE(QHostAddress(lines.value(1).section("     IP: ", 1)).isNull()) << lines.value(1).toStdString();

    Peer bob;
    ASSERT_TRUE(bob.ConnectTo(quint16(port)));
    EXPECT_SENT(bob, W("PD}Ann"));
    EXPECT_EQ(ChatLines().last(), "Remote Player Connecting ...");
    EXPECT_EQ(chat->Net().Socket()->socketOption(QAbstractSocket::KeepAliveOption).toInt(), 1);
    // A second player knocking is not let in.
    Peer late;
    late.Socket().connectToHost(QHostAddress(QHostAddress::LocalHost), quint16(port));
    EXPECT_TRUE(PumpUntil([&] { return late.Socket().state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(late.received.isEmpty());

    const int before = ChatLines().size();
    bob.Send(W("PD}Bob"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHostWithPlayer; }));
    EXPECT_EQ(LinesSince(before), (QStringList{"     Connected player's name: Bob", "--------------------", ""}));

    // Chat: trimmed, shown with ">>", sent with " >" and byte 187.
    chat->txtAddChat->setText("  hi  ");
    chat->cmdAddChat->click();
    EXPECT_SENT(bob, QByteArray("CH} >Ann\xBB hi\xFF"));
    EXPECT_EQ(ChatLines().last(), QString::fromUtf8(">>Ann\u00BB hi"));
    // A typed byte 255 never reaches the wire: no message can be forged.
    chat->txtAddChat->setText(QString::fromUtf8("x\u00FFET}1\u00FF"));
    chat->cmdAddChat->click();
    EXPECT_SENT(bob, QByteArray("CH} >Ann\xBB xET}1\xFF"));
    // The other side's line is shown as it came, never as markup.
    bob.Send(QByteArray("CH} ><b>Bob</b>\xBB <i>caf\xE9</i>\xFF"));
    ASSERT_TRUE(PumpUntil([&] { return ChatLines().last().contains("caf"); }));
    EXPECT_EQ(ChatLines().last(), QString::fromUtf8(" ><b>Bob</b>\u00BB <i>caf\u00E9</i>"));

    // Switching colours tells the other side which colour it plays now.
    chat->cmdSwitch->click();
    EXPECT_SENT(bob, W("SC}1"));
    EXPECT_EQ(S().NetColor, Red);
    EXPECT_EQ(chat->lblBluePlayer->text(), "Bob (connected)");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NetPlayTest, HostSendsNewGamesAndLoadedGamesByteForByte)
{
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    form->mnuGameNewTwo_Click();
    EXPECT_SENT(*bob, W("NG}Ann"));

    // A saved game goes out whole before the host loads it.
    const QByteArray file("\x02\x03\x0A" "\x0A\x0B" "\x0B\x0E" "\x12\x15" "\x3A\x16", 11);
    QFile out(Path("game.trs"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    S().GameFileName = Path("game.trs");
    LoadGame();
    EXPECT_SENT(*bob, "LF}" + file + char(0xFF));
    EXPECT_EQ(S().Board[8][5], Wizard);

    // A file holding the terminator would arrive cut: it is refused.
    NetPlay::SendGameFile(QByteArray("\x01\xFF\x01", 3));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    bob->Send(W("SG}Bob")); // a round trip, so anything sent would be here
    ASSERT_TRUE(PumpUntil([&] { return ChatLines().last().contains("SAVED"); }));
    EXPECT_TRUE(bob->received.isEmpty());
}

TEST_F(NetPlayTest, HostReturnsToListeningWhenThePlayerLeavesAndLogsGoOnNumbering)
{
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    frmChat* chat = Chat();
    form->mnuGameNewTwo_Click();
    EXPECT_SENT(*bob, W("NG}Ann"));
    chat->cmdSwitch->click();
    EXPECT_SENT(*bob, W("SC}1"));

    const int before = ChatLines().size();
    bob->Send(W("DQ}Bob") + W("CH}after the goodbye")); // nothing after "DQ" counts
    bob->Close();
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHosting; }));
    ASSERT_TRUE(chat->Net().Listening());
    const int port = chat->Net().ListeningPort();
    EXPECT_EQ(LinesSince(before),
              (QStringList{"", "====================", "     ***** Bob has disconnected ...", "",
                           " ...", "Hosting NetPlay Game as Ann...",
                           ChatLines()[1], "     Port: " + QString::number(port)}));
    EXPECT_FALSE(S().NetGame);
    EXPECT_EQ(S().NetColor, Blue);
    EXPECT_TRUE(boxes.empty());

    // The next player is welcomed at once.
    Peer cy;
    ASSERT_TRUE(cy.ConnectTo(quint16(port)));
    EXPECT_SENT(cy, W("PD}Ann"));
    cy.Send(W("PD}C\r\ny")); // a log record stays one line
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHostWithPlayer; }));

    // The question, answered No: nothing changes, and the main window is told.
    answerYes = false;
    chat->close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Disconnect from NetPlay?");
    EXPECT_EQ(boxes[0].text, "Are you sure you wish to disconnect from the NetGame?\r\n\r\n"
                             "Yes -- to disconnect\r\nNo -- to continue NetPlay");
    EXPECT_TRUE(S().CancelClose);
    EXPECT_TRUE(chat->isVisible());

    // Yes: the player is told, the connection ends, the menus come back.
    answerYes = true;
    S().CancelClose = false;
    chat->close();
    EXPECT_SENT(cy, W("DQ}Ann"));
    EXPECT_TRUE(cy.WaitForClose());
    EXPECT_FALSE(chat->isVisible());
    EXPECT_EQ(S().NetState, NetNone);
    EXPECT_EQ(ChatLines().mid(ChatLines().size() - 2),
              (QStringList{"====================", "Disconnecting ..."}));

    // Sent messages are numbered, the closing "DQ" neither logged nor
    // counted; received chunks are logged as they came.
    bool closed = false;
    EXPECT_EQ(Entries(Path("Host_Send.log"), &closed),
              (QStringList{"00001 - PD}Ann", "00002 - NG}Ann", "00003 - SC}1", "00004 - PD}Ann"}));
    EXPECT_TRUE(closed);
    EXPECT_EQ(Entries(Path("Host_Get.log")),
              (QStringList{QString::fromUtf8("00001 - PD}Bob\u00FF"),
                           QString::fromUtf8("00002 - DQ}Bob\u00FF" "CH}after the goodbye\u00FF"),
                           QString::fromUtf8("00003 - PD}C\\x0d\\x0ay\u00FF")}));

    // A second opening: a fresh transcript and log files, numbers carried on.
    auto dee = HostWithPlayer("Ann", "Dee");
    ASSERT_TRUE(dee);
    EXPECT_EQ(ChatLines().first(), "Hosting NetPlay Game as Ann...");
    EXPECT_EQ(Entries(Path("Host_Send.log")), QStringList{"00005 - PD}Ann"});
    EXPECT_EQ(Entries(Path("Host_Get.log")), QStringList{QString::fromUtf8("00004 - PD}Dee\u00FF")});

    // End NetGame closes without asking.
    chat->cmdDone->click();
    EXPECT_SENT(*dee, W("DQ}Ann"));
    EXPECT_EQ(boxes.size(), 2u); // the No and the Yes above
    EXPECT_EQ(S().NetState, NetNone);
}

TEST_F(NetPlayTest, HostSocketFailuresAreReportedAndChangeNothing)
{
    // A port in use.
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::Any, 0));
    Host("Ann", QString::number(squatter.serverPort()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(SocketError(boxes[0], QAbstractSocket::AddressInUseError), "");
    EXPECT_EQ(S().NetState, NetHosting);
    EXPECT_EQ(ChatLines().last(), "     Hosting failed: port " + QString::number(squatter.serverPort()) +
                                      " could not be opened, so nobody can connect.");
    Chat()->cmdDone->click();

    // A port beyond 65535 is not wrapped onto another port.
    Host("Ann", "65536");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(SocketError(boxes[1], -1), "");
    EXPECT_FALSE(Chat()->Net().Listening());
    Chat()->cmdDone->click();

    // The player vanishes without a word: told once, and the host is back to
    // listening as after a farewell; nothing later reports it again.
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    const int before = ChatLines().size();
    bob->Close();
    ASSERT_TRUE(PumpUntil([&] { return boxes.size() == 3; }));
    EXPECT_EQ(SocketError(boxes[2], QAbstractSocket::RemoteHostClosedError), "");
    EXPECT_EQ(S().NetState, NetHosting);
    EXPECT_TRUE(Chat()->Net().Listening());
    EXPECT_EQ(LinesSince(before).mid(0, 4),
              (QStringList{"", "====================", "     ***** The connection to Bob was lost ...", ""}));
    Chat()->txtAddChat->setText("anyone?");
    EXPECT_FALSE(Chat()->cmdAddChat->isEnabled());
    EXPECT_EQ(boxes.size(), 3u);
}
