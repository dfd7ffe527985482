// Two copies, one game: whatever crosses on the wire or happens inside a
// pause, both sides agree on whose turn it is, and the host's new or loaded
// game wins over what the connecting side had half done.
#include "NetTestSupport.h"

#include "game/modTurrion.h"
#include "logic/Remote.h"
#include "logic/SaveFormat.h"
#include "engine/PavixGames.h"
#include "engine/gui/PavixDialogs.h"
#include "game/frmTurnReport.h"

#include <QApplication>
#include <QPointer>
#include <algorithm>
#include <functional>

using namespace NetTest;
using namespace Turrion;

namespace {

class Crossing : public NetPlayTest {
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QApplication::setActiveWindow(form);
        QTest::keyClick(form, key, mods);
    }
    // The peer's message, acted on here (also from inside a pause).
    void Arrive(const QByteArray& bytes)
    {
        const int chunks = Chat()->Net().GetCount;
        peer->Send(bytes);
        EXPECT_TRUE(PumpUntil([&] { return Chat()->Net().GetCount > chunks; }));
    }
    // The scene: this side's move phase (`own`) or the other side's, on the
    // host or (connected) after the host's new game; this side's own turn
    // there is Red's, after the host's first end of turn.
    void Scene(bool host, bool own)
    {
        host ? Key(Qt::Key_N) : Arrive(W("NG}Ann") + (own ? W("ET}1") : QByteArray()));
        TestSupport::Settle();
        if (host && !own)
            Key(Qt::Key_E), TestSupport::Settle();
        if (host) {
            EXPECT_SENT(*peer, W("NG}Ann") + (own ? QByteArray() : W("ET}1")));
        }
        if (!own)
            S().GameState = S().ResumeState = PhaseMove;
        ASSERT_EQ(std::pair(S().GameState, AcceptsRemoteAction(S())), std::pair(int(PhaseMove), !own));
    }

    std::unique_ptr<Peer> peer;
};

} // namespace

TEST_F(Crossing, BothSidesAgreeWhateverCrossesOnTheWire)
{
    // A running game on disk: Blue to move in turn 3, the report not yet shown.
    const QByteArray game = TestSupport::Bytes({1, 3, 13, 10, 11, 18, 21}), loaded = "LF}" + game + "\xFF";
    ASSERT_TRUE(TestSupport::WriteAll(Path("turn3.trs"), game));
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) { return Path("turn3.trs"); });
    const auto turnChanging = [this] { return S().TurnChanging; };
    const auto starting = [this] { return S().GameState == PhaseTurnStart && !S().TurnChanging; };
    const auto newGame = [&] { Arrive(W("NG}Ann")); };

    struct Case {
        const char* what;
        bool host;
        std::function<void()> before, act; // the scene, and what this side does
        std::function<bool()> when;        // inside which wait the next thing happens
        std::function<void()> during;
        int player, turn;                  // whose turn start both sides are at
        QByteArray sent;                   // what this side sends from the scene on
    };
    const Case cases[] = {
        {"client ends its turn as the host starts a new game", false, [&] { Scene(false, true); },
         [&] { Key(Qt::Key_E); }, turnChanging, newGame, Blue, 1, W("ET}2")},
        {"host starts a new game as the client's turn ends", true, [&] { Scene(true, false); },
         [&] { Arrive(W("ET}2")); }, turnChanging, [&] { Key(Qt::Key_N); }, Blue, 1, W("NG}Ann")},
        {"host ends its turn and loads a game", true, [&] { Scene(true, true); }, [&] { Key(Qt::Key_E); },
         turnChanging, [&] { Key(Qt::Key_L); }, Blue, 3, W("ET}1") + loaded},
        {"client gets the host's end of turn, then a loaded game", false, [&] { Scene(false, false); },
         [&] { Arrive(W("ET}1")); }, turnChanging, [&] { Arrive(loaded); }, Blue, 3, ""},
        {"client picks a recruit after the host's new game", false,
         [&] {
             Arrive(W("NG}Ann") + W("ET}1"));
             SetTurnReportHook([&](frmTurnReport& r) {
                 const QPointer<frmTurnReport> report(&r); // the new game closes it
                 newGame();
                 if (report)
                     report->cmdWizard->click();
             });
         },
         [&] { TestSupport::Settle(); }, nullptr, nullptr, Blue, 1, ""},
        {"client's shot flies as the host starts a new game", false,
         [&] { Scene(false, true), Put(6, 3, Red, CannonReady), S().CursorCol = 6, S().CursorRow = 3; },
         [&] { Key(Qt::Key_3, Qt::NoModifier); }, [this] { return S().Busy; }, newGame, Blue, 1, W("FC}03032")},
        {"a second end of turn inside the first one's pause", false, [&] { Scene(false, false); },
         [&] { Arrive(W("ET}1")); }, turnChanging, [&] { Arrive(W("ET}1")); }, Red, 1, ""},
        {"the host's first turn ends inside the client's new-game pause", false, [&] { Scene(false, true); },
         newGame, starting, [&] { Arrive(W("AP}1300030") + W("ET}1")); }, Red, 1, ""},
        {"the client's shot crosses the host's new game", true, [&] { Scene(true, false); },
         [&] { Key(Qt::Key_N); }, starting, [&] { Arrive(W("FC}02012")); }, Blue, 1, W("NG}Ann")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        peer = c.host ? HostWithPlayer("Ann", "Bob") : ConnectedTo("Ann", "Bob");
        ASSERT_TRUE(peer);
        c.before();
        peer->received.clear();
        c.act();
        if (c.when) {
            ASSERT_TRUE(TestSupport::StepUntil(c.when));
            c.during();
        }
        TestSupport::Settle();
        SetTurnReportHook([](frmTurnReport& r) { r.cmdNoPiece->click(); });

        // This side's own turn has begun (its report answered); the other's waits for it.
        const bool own = (c.player == Blue) == c.host;
        EXPECT_EQ(std::tuple(S().CurrentPlayer, S().TurnNumber, S().GameState, S().TurnChanging || S().Busy),
                  std::tuple(c.player, c.turn, int(own ? PhaseMove : PhaseTurnStart), false));
        EXPECT_TRUE(S().NetGame && WaitingForRemote(S()) == ((c.player == Blue) != c.host));
        // What was sent, and nothing more: a last chat line closes it.
        NetPlay::SendMessage("CH}.");
        EXPECT_SENT(*peer, c.sent + W("CH}."));
        // Nothing of an abandoned shot or a stale recruit reached the board.
        for (const auto& column : S().Board)
            EXPECT_EQ(std::count(std::begin(column), std::end(column), int(Fire)), 0);
        EXPECT_EQ(S().Board[8][3], Empty);
        Chat()->cmdDone->click();
    }
}

TEST_F(Crossing, GamesAreConfirmedBoardsComparedAndAComputerGameIsNotJoined)
{
    // A host whose peer confirms games: after a new game, what the peer sent
    // for the game before is ignored until its confirmation arrives.
    peer = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(peer);
    peer->firstProtocolOnly = false;
    Arrive(W("GA}0"));
    Chat()->cmdSwitch->click(); // the host plays Red from the next game on
    Key(Qt::Key_N);
    EXPECT_EQ(std::pair(S().NetGameColor, S().NetGamesShared), std::pair(int(Red), 1));
    Arrive(W("AP}1300030"));   // Blue's recruit, sent before the new game reached Bob
    TestSupport::Settle();
    EXPECT_EQ(S().Board[0][3], Empty);
    Arrive(W("GA}1") + W("AP}1200030") + W("ET}1"));
    TestSupport::Settle();
    EXPECT_EQ(std::pair(S().Board[0][3], S().Owner[0][3]), std::pair(int(Wizard), Blue));
    EXPECT_EQ(std::pair(S().CurrentPlayer, S().GameState), std::pair(int(Red), int(PhaseMove)));

    // The turn passed: the host's digest went out. A peer whose board
    // differed hears so, and gets the host's game again.
    const QByteArray digest = NetPlay::Frame(NetPlay::BoardDigestMessage(1, 1, Red, NetPlay::BoardDigest(S())));
    EXPECT_SENT(*peer, W("SC}1") + W("NG}Ann") + digest);
    const int lines = ChatLines().size();
    Arrive(W("BD}1,1,2,00000000"));
    EXPECT_EQ(LinesSince(lines), QStringList{"   ** The two boards differed after the turn change to turn 1; "
                                             "both go on from the host's board."});
    QString why;
    EXPECT_SENT(*peer, "LF}" + SerializeGame(S(), &why) + char(0xFF));
    EXPECT_EQ(S().NetGamesShared, 2);
    Chat()->cmdDone->click();

    // The connecting side says it confirms, and confirms each game it takes.
    peer = ConnectedTo("Ann", "Bob");
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->dropped, W("GA}0"));
    peer->firstProtocolOnly = false;
    Arrive(W("NG}Bob"));
    EXPECT_SENT(*peer, W("GA}1"));
    Chat()->cmdDone->click();

    // A host playing against the computer refuses a player.
    Host("Ann");
    Key(Qt::Key_R);
    Peer late;
    const bool connected = late.ConnectTo(quint16(Chat()->Net().ListeningPort()));
    EXPECT_TRUE(!connected || PumpUntil([&] { return late.Closed(); }));
    EXPECT_TRUE(PumpUntil([&] { return ChatLines().last().startsWith("A player tried to connect"); }));
    EXPECT_EQ(std::pair(S().NetState, S().ComputerColor), std::pair(int(NetHosting), Blue));
}
