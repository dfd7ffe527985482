// Two copies, one game: whatever crosses on the wire or happens inside a
// pause, both sides agree on whose turn it is, and the host's new or loaded
// game wins over what the connecting side had half done.
#include "NetTestSupport.h"

#include "core/modTurrion.h"
#include "engine/PavixGames.h"
#include "turnreport/frmTurnReport.h"

#include <QApplication>
#include <QFile>
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
    void NewGameArrives()
    {
        const int game = S().GameId;
        peer->Send(W("NG}Ann"));
        EXPECT_TRUE(PumpUntil([&] { return S().GameId != game; }));
    }
    // This side's move phase: the host's own turn, or (connected) Red's
    // turn after the host's new game and first end of turn.
    void OwnMovePhase(bool host)
    {
        if (host) {
            Key(Qt::Key_N);
            EXPECT_SENT(*peer, W("NG}Ann"));
        } else {
            NewGameArrives();
            Arrive(W("ET}1"));
        }
        MainLoopPass();
        ASSERT_EQ(S().GameState, PhaseMove);
        ASSERT_FALSE(WaitingForRemote(S()));
    }
    // Waiting for the other side in its move phase.
    void OthersTurn(bool host)
    {
        if (host) {
            OwnMovePhase(true);
            Key(Qt::Key_E);
            EXPECT_SENT(*peer, W("ET}1"));
        } else {
            NewGameArrives();
        }
        S().GameState = S().ResumeState = PhaseMove;
        ASSERT_TRUE(AcceptsRemoteAction(S()));
    }

    std::unique_ptr<PeerHost> server;
    std::unique_ptr<Peer> peer;
};

} // namespace

TEST_F(Crossing, BothSidesAgreeWhateverCrossesOnTheWire)
{
    // A running game on disk: Blue to move in turn 3, the report not yet shown.
    const QString saved = Path("turn3.trs");
    ASSERT_TRUE(TestSupport::WriteAll(saved, TestSupport::Bytes({1, 3, 13, 10, 11, 18, 21})));
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) { return saved; });
    const QByteArray loaded = "LF}" + TestSupport::Bytes({1, 3, 13, 10, 11, 18, 21}) + char(0xFF);
    const auto turnChanging = [this] { return S().TurnChanging; };
    const auto starting = [this] { return S().GameState == PhaseTurnStart && !S().TurnChanging; };
    const auto flying = [this] { return S().Busy; };

    struct Case {
        const char* what;
        bool host;
        std::function<void()> before, act; // the scene, and what this side does
        std::function<bool()> when;        // inside which wait the next thing happens
        std::function<void()> during;
        int player, turn;                  // whose turn start both sides are at
        QByteArray sent;                   // what this side has sent meanwhile
    };
    const Case cases[] = {
        {"client ends its turn as the host starts a new game", false,
         [&] { OwnMovePhase(false); }, [&] { Key(Qt::Key_E); }, turnChanging,
         [&] { NewGameArrives(); }, Blue, 1, W("ET}2")},
        {"host starts a new game as the client's turn ends", true,
         [&] { OthersTurn(true); }, [&] { Arrive(W("ET}2")); }, turnChanging,
         [&] { Key(Qt::Key_N); }, Blue, 1, W("NG}Ann")},
        {"host ends its turn and loads a game", true,
         [&] { OwnMovePhase(true); }, [&] { Key(Qt::Key_E); }, turnChanging,
         [&] { Key(Qt::Key_L); }, Blue, 3, W("ET}1") + loaded},
        {"client gets the host's end of turn, then a loaded game", false,
         [&] { OthersTurn(false); }, [&] { Arrive(W("ET}1")); }, turnChanging,
         [&] { Arrive(loaded); }, Blue, 3, ""},
        {"client picks a recruit after the host's new game", false,
         [&] {
             NewGameArrives();
             Arrive(W("ET}1"));
             SetTurnReportHook([&](frmTurnReport& r) {
                 NewGameArrives();
                 r.cmdWizard->click();
             });
         },
         [&] { MainLoopPass(); }, nullptr, nullptr, Blue, 1, ""},
        {"client's shot flies as the host starts a new game", false,
         [&] {
             OwnMovePhase(false);
             Put(6, 3, Red, CannonReady);
             S().CursorCol = 6, S().CursorRow = 3;
         },
         [&] { Key(Qt::Key_3, Qt::NoModifier); }, flying, [&] { NewGameArrives(); }, Blue, 1, ""},
        {"a second end of turn inside the first one's pause", false,
         [&] { OthersTurn(false); }, [&] { Arrive(W("ET}1")); }, turnChanging,
         [&] { Arrive(W("ET}1")); }, Red, 1, ""},
        {"the host's first turn ends inside the client's new-game pause", false,
         [&] { OwnMovePhase(false); }, [&] { NewGameArrives(); }, starting,
         [&] { Arrive(W("AP}1300030") + W("ET}1")); }, Red, 1, ""},
        {"the client's shot crosses the host's new game", true,
         [&] { OthersTurn(true); }, [&] { Key(Qt::Key_N); }, starting,
         [&] { Arrive(W("FC}02012")); }, Blue, 1, W("NG}Ann")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server = std::make_unique<PeerHost>();
        peer = c.host ? HostWithPlayer("Ann", "Bob") : ConnectedTo(*server, "Ann", "Bob");
        ASSERT_TRUE(peer);
        c.before();
        peer->received.clear();
        if (c.when)
            TestSupport::RunWhen(c.when, c.during);
        c.act();
        PavixGames::SetPumpHook(nullptr);
        SetTurnReportHook([](frmTurnReport& r) { r.cmdNoPiece->click(); });

        EXPECT_EQ(S().CurrentPlayer, c.player);
        EXPECT_EQ(S().TurnNumber, c.turn);
        EXPECT_EQ(S().GameState, PhaseTurnStart);
        EXPECT_TRUE(S().NetGame);
        EXPECT_EQ(WaitingForRemote(S()), (c.player == Blue) != c.host);
        EXPECT_FALSE(S().TurnChanging || S().Busy);
        PumpUntil([&] { return peer->received.size() >= c.sent.size(); });
        QTest::qWait(10);
        EXPECT_EQ(peer->received, c.sent);
        // Nothing of an abandoned shot or a stale recruit reached the board.
        for (int col = 0; col < Cols; ++col)
            for (int row = 0; row < Rows; ++row)
                EXPECT_NE(S().Board[col][row], Fire) << col << "," << row;
        EXPECT_EQ(S().Board[8][3], Empty);
        Chat()->cmdDone->click();
        peer.reset();
        server.reset();
    }
}
