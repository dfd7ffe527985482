// The game connecting to a scripted host over the loopback interface.
#include "NetTestSupport.h"

#include "engine/PavixGames.h"
#include "game/GameFlow.h"
#include "game/frmTurnReport.h"

#include <QFile>
#include <QMenu>

using namespace NetTest;
using namespace Turrion;

namespace {
// Whether the commands a connected player may not use are enabled.
std::vector<bool> Unlocked(frmMain* f)
{
    return {f->mnuGameNew->menuAction()->isEnabled(), f->mnuGameLoad->isEnabled(),
            f->mnuGameSave->isEnabled(), f->mnuNet->menuAction()->isEnabled(), f->mnuHelpAbout->isEnabled()};
}
} // namespace

TEST_F(NetPlayTest, ClientHandshakeTheHostsGameAndTheHostLeaving)
{
    ConnectTo("Bob", QString::number(peerHost.serverPort()));
    NetPlay::frmChat* chat = Chat();
    ASSERT_TRUE(chat);
    EXPECT_FALSE(chat->cmdSwitch->isVisible());
    EXPECT_EQ(Unlocked(form), std::vector<bool>(5, false));
    EXPECT_EQ(ChatLines(), (QStringList{"Connecting to NetPlay Game as Bob...", "     Host: 127.0.0.1",
                                        "     Port: " + QString::number(peerHost.serverPort())}));
    auto ann = Accept();
    ASSERT_TRUE(ann);
    EXPECT_SENT(*ann, W("PD}Bob"));
    ann->Send(W("PD}Ann"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetConnected; }));
    EXPECT_EQ(ChatLines().mid(3),
              (QStringList{"Connected ...", "     Host's name: Ann", "--------------------", ""}));
    EXPECT_EQ(std::pair(S().NetColor, chat->lblBluePlayer->text()), std::pair(int(Red), QString("Ann (host)")));

    // The host switches colours and starts a new game: it starts here too,
    // with this side playing Blue.
    ann->Send(W("SC}1") + W("NG}Ann"));
    ASSERT_TRUE(PumpUntil([&] { return S().NetGame; }));
    EXPECT_EQ(ChatLines().mid(7), (QStringList{"", "   ** Players have SWITCHED COLORS for next game.", "",
                                               "", "   ** Ann started a NEW GAME.", ""}));
    EXPECT_EQ(std::pair(S().NetGameColor, chat->lblBluePlayer->text()),
              std::pair(int(Blue), QString("Bob (connected)")));
    TestSupport::Settle();

    // This side's end of turn goes to the host; the host's turn comes back.
    S().GameState = S().ResumeState = PhaseMove;
    form->mnuTurnEndTurn_Click();
    EXPECT_SENT(*ann, W("ET}1"));
    ann->Send(W("ET}2"));
    ASSERT_TRUE(PlayUntil([&] { return S().CurrentPlayer == Blue; }));
    EXPECT_EQ(ChatLines().last(), "   ** Ann's TURN has ENDED.");

    // A loaded game arrives through a temporary file: every byte unchanged,
    // also those the code page leaves undefined (turn 0x81) and those above
    // it (moves 0xFE: 127, not fresh); no file or file name is left behind.
    const int lines = ChatLines().size();
    ann->Send("LF}" + TestSupport::Bytes({2, 0x81, 0xFE, 10, 11, 11, 14, 18, 21}) + char(0xFF));
    ASSERT_TRUE(PumpUntil([&] { return S().TurnNumber == 0x81; }));
    EXPECT_EQ((std::vector<int>{S().CurrentPlayer, S().MovesLeft, S().Board[1][1]}),
              (std::vector<int>{Red, 127, Wall}));
    EXPECT_EQ(LinesSince(lines), (QStringList{"", "   ** Ann has LOADED a GAME from file.", ""}));
    EXPECT_FALSE(QFile::exists(PavixGames::AppPath() + "temp_NetPlay.trs"));
    EXPECT_TRUE(S().GameFileName.isEmpty());
    EXPECT_FALSE(form->mnuGameSave->isEnabled());

    // The host leaves: said so, the game ends here, nothing more can be sent,
    // the menus stay locked until the window closes; no error.
    chat->txtAddChat->setText("bye");
    const int before = ChatLines().size();
    ann->Send(W("DQ}Ann"));
    ann->Close();
    ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetNone && ann->Closed(); }));
    EXPECT_EQ(LinesSince(before),
              (QStringList{"", "====================", "     ***** Host Ann has disconnected ... closing.",
                           ""}));
    EXPECT_FALSE(S().NetGame || chat->cmdAddChat->isEnabled() || form->mnuGameLoad->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.empty());
    // Closing still asks, sends nothing back, and gives the menus back.
    chat->close();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Unlocked(form), std::vector<bool>(5, true));
    EXPECT_TRUE(ann->received.isEmpty());
}

TEST_F(NetPlayTest, ClientConnectionFailuresAreReported)
{
    // Nobody listening, or a port that does not exist: one message box each,
    // and the window stays.
    const QString closedPort = QString::number(peerHost.serverPort());
    peerHost.close();
    const int refused = QAbstractSocket::ConnectionRefusedError;
    for (const auto& [port, code] : {std::pair(closedPort, refused), std::pair(QString("65536"), -1)}) {
        ConnectTo("Bob", port);
        ASSERT_TRUE(PumpUntil([&] { return boxes.size() == 1; }));
        EXPECT_EQ(SocketError(boxes.back(), code), "");
        EXPECT_TRUE(Chat()->isVisible());
        Chat()->cmdDone->click();
        boxes.clear();
    }

    // An IPv6 address may come in brackets, as in a web address.
    QTcpServer six;
    if (six.listen(QHostAddress::LocalHostIPv6, 0)) {
        Dialog(false, "Bob", QString::number(six.serverPort()), "[::1]");
        EXPECT_TRUE(PumpUntil([&] { return six.hasPendingConnections(); }));
    }
}

TEST_F(NetPlayTest, ClientGoesOnAloneWhenNetPlayEndsInTheHostsTurn)
{
    // The host leaves, or this side ends NetPlay, while this side (Red)
    // waits at the start of the host's turn: the turn is played here, from
    // its report on, as in a game for two.
    int reports = 0;
    SetTurnReportHook([&](frmTurnReport& report) { ++reports, report.cmdNoPiece->click(); });
    for (const bool hostLeaves : {true, false}) {
        reports = 0;
        auto ann = ConnectedTo("Bob", "Ann");
        ASSERT_TRUE(ann);
        ann->Send(W("NG}Ann"));
        ASSERT_TRUE(PlayUntil([&] { return S().NetGame && Waiting() == Wait::None; }));
        ASSERT_EQ(std::tuple(S().CurrentPlayer, S().GameState, reports), std::tuple(int(Blue), int(PhaseTurnStart), 0));
        EXPECT_FALSE(form->mnuTurn->menuAction()->isEnabled());
        if (hostLeaves) {
            ann->Send(W("DQ}Ann")), ann->Close();
            ASSERT_TRUE(PumpUntil([&] { return S().NetState == NetNone; }));
        } else {
            Chat()->close(); // the question is answered Yes
        }
        EXPECT_TRUE(PlayUntil([&] { return S().GameState == PhaseMove; })) << hostLeaves;
        EXPECT_EQ(std::pair(reports, S().CurrentPlayer), std::pair(1, int(Blue)));
        EXPECT_TRUE(form->mnuTurn->menuAction()->isEnabled());
        if (Chat()->Loaded())
            Chat()->cmdDone->click();
    }
}
