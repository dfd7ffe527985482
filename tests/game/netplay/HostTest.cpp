// The game hosting, a scripted player connecting over the loopback interface.
#include "NetTestSupport.h"
#include "game/Screen.h"

#include "game/SaveGame.h"

#include <QRegularExpression>

using namespace NetTest;
using namespace Turrion;

namespace {
// The records of a NetPlay log, without their time stamps.
QStringList Entries(const QString& path)
{
    QStringList lines = QString::fromUtf8(TestSupport::ReadAll(path)).split("\r\n");
    lines = lines.filter(QRegularExpression(" \\.\\.\\. \\d{5} - "));
    return lines.replaceInStrings(QRegularExpression("^.* \\.\\.\\. "), "");
}
} // namespace

TEST_F(NetPlayTest, HostHandshakeChatAndColourSwitch)
{
    Host("Ann");
    NetPlay::frmChat* chat = Chat();
    ASSERT_TRUE(chat);
    EXPECT_FALSE(frmMain::MenuEnabled(form->mnuNet));
    const int port = chat->Net().ListeningPort();
    EXPECT_EQ(ChatLines().mid(0, 3), (QStringList{"Hosting NetPlay Game as Ann...", ChatLines()[1],
                                                  "     Port: " + QString::number(port)}));
    EXPECT_TRUE(ChatLines()[1].startsWith("     IP: "));

    Peer bob;
    ASSERT_TRUE(bob.ConnectTo(quint16(port)));
    EXPECT_SENT(bob, W("PD}Ann"));
    EXPECT_EQ(ChatLines().last(), "Remote Player Connecting ...");
    EXPECT_FALSE(Peer().ConnectTo(quint16(port))); // a second player is not let in
    // A name with markup and a tab is shown as text on one line.
    bob.Send(W("PD}<b>Bo\tb</b>"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHostWithPlayer; }));
    EXPECT_EQ(LinesSince(4),
              (QStringList{"     Connected player's name: <b>Bo b</b>", "--------------------", ""}));
    EXPECT_EQ(std::pair(chat->lblRedPlayer->text(), chat->lblRedPlayer->textFormat()),
              std::pair(QString("<b>Bo b</b> (connected)"), Qt::PlainText));

    // Chat: trimmed, shown with ">>", sent with " >" and byte 187; a typed
    // byte 255 never reaches the wire, so no message can be forged.
    chat->txtAddChat->setText(QString::fromUtf8("  hi\u00FFET}1\u00FF  "));
    chat->cmdAddChat->click();
    EXPECT_SENT(bob, QByteArray("CH} >Ann\xBB hiET}1\xFF"));
    EXPECT_EQ(ChatLines().last(), QString::fromUtf8(">>Ann\u00BB hiET}1"));
    // The other side's line is shown as it came, as text on one line:
    // control characters become spaces.
    bob.Send(QByteArray("CH} ><b>Bob</b>\xBB caf\xE9\r\nConnected ...\x7F\x81\x85\xFF"));
    ASSERT_TRUE(PumpUntil([&] { return ChatLines().last().contains("caf"); }));
    EXPECT_EQ(ChatLines().last(), QString::fromUtf8(" ><b>Bob</b>\u00BB caf\u00E9  Connected ...  \u2026"));

    // Switching colours tells the other side which colour it plays now.
    chat->cmdSwitch->click();
    EXPECT_SENT(bob, W("SC}1"));
    EXPECT_EQ(std::pair(S().NetColor, chat->lblBluePlayer->text()),
              std::pair(int(Red), QString("<b>Bo b</b> (connected)")));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(NetPlayTest, HostReturnsToListeningWhenThePlayerLeavesAndLogsGoOnNumbering)
{
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    NetPlay::frmChat* chat = Chat();
    // New and loaded games go out byte for byte, also the bytes Windows-1252
    // maps elsewhere (turn 0x80) or leaves undefined (0x9D).
    form->mnuGameNewTwo_Click();
    const QByteArray file = TestSupport::Bytes({2, 0x80, 0x9D, 10, 11, 11, 14, 18, 21, 58, 22});
    ASSERT_TRUE(TestSupport::WriteAll(Path("game.trs"), file) && LoadGameFrom(Path("game.trs")));
    chat->cmdSwitch->click();
    EXPECT_SENT(*bob, W("NG}Ann") + "LF}" + file + char(0xFF) + W("SC}1"));
    EXPECT_TRUE(S().NetGame);

    const int before = ChatLines().size();
    bob->Send(W("DQ}Bob") + W("CH}after the goodbye")); // nothing after "DQ" counts
    bob->Close();
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHosting; }));
    const int port = chat->Net().ListeningPort();
    EXPECT_EQ(LinesSince(before), (QStringList{"", "====================", "     ***** Bob has disconnected ...",
                                               "", " ...", "Hosting NetPlay Game as Ann...", ChatLines()[1],
                                               "     Port: " + QString::number(port)}));
    EXPECT_EQ(std::pair(S().NetGame, S().NetColor), std::pair(false, int(Blue)));

    // The next player is welcomed at once.
    Peer cy;
    ASSERT_TRUE(cy.ConnectTo(quint16(port)));
    EXPECT_SENT(cy, W("PD}Ann"));
    cy.Send(W("PD}C\r\ny"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetHostWithPlayer; }));

    // Closing the main window asks first: No keeps both windows and the
    // player; Yes tells the player and ends the program.
    answerYes = false;
    form->close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Disconnect from NetPlay?");
    EXPECT_TRUE(form->isVisible() && chat->isVisible() && !TheScreen().QuitFlag);
    answerYes = true;
    form->close();
    EXPECT_SENT(cy, W("DQ}Ann"));
    EXPECT_TRUE(TheScreen().QuitFlag);

    // Sent messages are numbered, the closing "DQ" neither logged nor
    // counted; received chunks are logged as they came. Control characters
    // are written as \xNN, so that every record is one line.
    EXPECT_EQ(Entries(Path("Host_Send.log")),
              (QStringList{"00001 - PD}Ann", "00002 - NG}Ann",
                           QString::fromUtf8("00003 - LF}\\x02\u20AC\\x9d\\x0a\\x0b\\x0b\\x0e\\x12\\x15:\\x16"),
                           "00004 - SC}1", "00005 - PD}Ann"}));
    EXPECT_EQ(Entries(Path("Host_Get.log")).last(), QString::fromUtf8("00003 - PD}C\\x0d\\x0ay\u00FF"));
}

TEST_F(NetPlayTest, HostSocketFailuresAreReportedAndChangeNothing)
{
    // A port in use, and one beyond 65535 (never wrapped onto another port).
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::Any, 0));
    const QString taken = QString::number(squatter.serverPort());
    const int inUse = QAbstractSocket::AddressInUseError;
    for (const auto& [port, code] : {std::pair(taken, inUse), std::pair(QString("65536"), -1)}) {
        Host("Ann", port);
        EXPECT_EQ(SocketError(boxes.back(), code), "");
        EXPECT_EQ(ChatLines().last(),
                  "     Hosting failed: port " + port + " could not be opened, so nobody can connect.");
        Chat()->cmdDone->click();
    }
    ASSERT_EQ(boxes.size(), 2u);

    // The player vanishes without a word: told once, and the host is back to
    // listening as after a farewell.
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    const int before = ChatLines().size();
    bob->Close();
    ASSERT_TRUE(PumpUntil([&] { return boxes.size() == 3; }));
    EXPECT_EQ(SocketError(boxes[2], QAbstractSocket::RemoteHostClosedError), "");
    EXPECT_EQ(S().NetState, NetHosting);
    EXPECT_EQ(LinesSince(before).value(2), "     ***** The connection to Bob was lost ...");
    EXPECT_TRUE(Chat()->Net().Listening());
}
