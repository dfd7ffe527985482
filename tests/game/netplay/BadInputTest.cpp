// The receive procedure fed directly, without a peer. Malformed messages,
// numbers off the board, floods and messages cut anywhere are the receive
// fuzzer's (replay_receive); these are the results a player sees.
#include "NetTestSupport.h"

#include "game/Drawing.h"

#include <QDir>
#include <cstring>
#include <tuple>
#include <QFile>
#include <QScrollBar>
#include <QTimer>

using namespace NetTest;
using namespace Turrion;

namespace {

// The connecting side, Red, waiting in the move phase of the host's (Blue's)
// turn: every game message of the other side is in step.
class NetBadInput : public NetPlayTest {
protected:
    void SetUp() override
    {
        NetPlayTest::SetUp();
        Host("Ann");
        S().NetIsHost = false, S().NetColor = Red, S().RemoteName = "Bob";
        S().NetGame = true, S().NetGameColor = Red, S().CurrentPlayer = Blue;
        S().GameState = S().ResumeState = PhaseMove;
        for (const char* wave : {"cb_hit.wav", "win.wav"})
            QFile(Path(wave)).open(QIODevice::WriteOnly);
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << path.section('/', -1); });
        ClearBoard();
        start = ChatLines().size();
    }
    void Feed(const QByteArray& chunk) { Chat()->Net().ReceiveChunk(chunk); }
    QStringList NewLines() { return LinesSince(start); }
    // A cell as owner x 10 + piece.
    int At(int col, int row) { return S().Owner[col][row] * 10 + S().Board[col][row]; }

    int start = 0;
    QStringList sounds;
};

} // namespace

TEST_F(NetBadInput, PiecesArePlacedRemovedMovedAndShotAsTheOtherSideDid)
{
    // Blue (Bob) is on turn. Its recruit on its portal and its Walls are
    // placed and told; a Wall's removal is told. What no copy of the game
    // sends changes nothing and is not told: a piece of the waiting side, a
    // recruit on an occupied portal, a King, a move onto its own cell, a
    // shot with no Cannon behind it or by the waiting side. The river never
    // burns.
    Put(6, 3, Red, Builder), Put(2, 3, Blue, CannonReady);
    Feed(W("AP}2608030") + W("AP}1200030") + W("AP}1600030") + W("AP}1401021") + W("AP}1100021") +
         W("AP}1401061") + W("RP}0106") + W("MP}00030103") + W("MP}08030803") + W("FC}04031") +
         W("FC}06031") + W("FC}06032") + W("FC}07051") + W("SG}Cy"));
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has added a WIZARD to the board.",
                                       "   ** Bob has ADDED a WALL to the board.",
                                       "   ** Bob has ADDED a WALL to the board.",
                                       "   ** Bob has REMOVED a WALL from the board.",
                                       "   ** Bob has FIRED a CANNON!", "   ** Bob has FIRED a CANNON!",
                                       "   ** Cy has SAVED the GAME to a file."}));
    EXPECT_EQ((std::vector<int>{At(8, 3), At(0, 3), At(1, 3), At(0, 2), At(1, 2), At(1, 6), At(4, 3), At(6, 3), At(7, 5)}),
              (std::vector<int>{0, 0, 12, 0, 14, 0, 0, 15, 0}));
    EXPECT_EQ(sounds, QStringList(2, "cb_hit.wav"));

    // On a King the game is over: the King stays, marked by the cursor, and
    // the Fire is drawn over it (also when a placement came just before).
    start = ChatLines().size();
    form->mnuTurnEndTurn->setEnabled(true);
    Put(7, 0, Red, King), Put(3, 0, Blue, CannonReady), DrawBoard(), Show();
    Feed(W("AP}1401061") + W("FC}07001"));
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has ADDED a WALL to the board.", "   ** Bob has FIRED a CANNON!",
                                       "", "  ** Bob has WON the GAME!", ""}));
    EXPECT_EQ((std::vector<int>{At(7, 0), S().CursorCol, S().CursorRow, S().ResumeState}),
              (std::vector<int>{21, 7, 0, PhaseGameOver}));
    EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
    const QImage shown[] = {Cell(Screen(), 7, 0), Cell(Screen(), 1, 6)};
    DrawBoard();
    DrawPieceSprite(Fire, Blue, 7, 0);
    EXPECT_EQ(shown[0], Cell(BackBuffer(), 7, 0));
    EXPECT_EQ(shown[1], Cell(BackBuffer(), 1, 6)) << "the Wall shows";
    TestSupport::Settle(); // the second before the win's sound
    EXPECT_EQ(sounds.last(), "win.wav");
}

TEST_F(NetBadInput, GameMessagesInsideAPauseWaitInOrderAndTheHostsNewGameSupersedesThem)
{
    // The host's new game starts its pause: the game messages arriving
    // meanwhile wait and act in order once it is over; saves and chat are
    // shown at once. The new game starts once.
    S().NetState = NetConnected;
    Feed(W("NG}Ann") + W("AP}1300030") + W("SG}Ann"));
    Feed(W("CH}chat"));
    EXPECT_EQ(NewLines(), (QStringList{"", "   ** Ann started a NEW GAME.", "",
                                       "   ** Ann has SAVED the GAME to a file.", "chat"}));
    EXPECT_EQ(std::pair(Chat()->Net().PendingMessages(), At(0, 3)), std::pair(1, 0));
    TestSupport::Settle();
    EXPECT_EQ(std::pair(Chat()->Net().PendingMessages(), At(0, 3)), std::pair(0, 13));
    EXPECT_EQ(S().NetGamesTaken, 1);

    // A second new game replaces what still waits for the one before; a
    // change of colours waits on, for the game after it, and the host's
    // end of turn after the new game is out of step there (Blue is this
    // side now): ignored.
    Feed(W("NG}Ann"));
    Feed(W("AP}1200030") + W("SC}1") + W("NG}Ann") + W("ET}1"));
    EXPECT_EQ(Chat()->Net().PendingMessages(), 3);
    TestSupport::Settle();
    EXPECT_EQ(std::tuple(At(0, 3), S().NetGameColor, S().CurrentPlayer, S().GameState, S().NetGamesTaken),
              std::tuple(0, int(Blue), int(Blue), int(PhaseMove), 3));
}

TEST_F(NetBadInput, UnendedDataIsNeverActedOnAndEndlessDataIsReportedOnce)
{
    // Unended data waits, and is forgotten when the window opens again: a
    // fresh transcript, and the next message is read as it came. The
    // window opens where it was left.
    Feed("CH}lost");
    EXPECT_TRUE(NewLines().isEmpty());
    const QPoint moved(40, 50);
    Chat()->move(moved);
    Chat()->cmdDone->click();
    Host("Ann");
    EXPECT_EQ(Chat()->pos(), moved);
    Feed(W("CH}x"));
    const QStringList lines = ChatLines();
    EXPECT_EQ(lines, (QStringList{"Hosting NetPlay Game as Ann...", lines[1], lines[2], "x"}));

    // Endless unended data: dropped past the limit, reported once however
    // long it goes on; the next message is read normally.
    for (int i = 0; i < 2; ++i)
        Feed(QByteArray(NetPlay::MaxPendingChars + 1, 'z'));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(SocketError(boxes[0], -1), "");
    // However many lines arrive, the newest is in view.
    for (int i = 0; i < 100; ++i)
        Feed("\xFF" "CH}after\xFF");
    EXPECT_EQ(ChatLines().last(), "after");
    EXPECT_EQ(Chat()->txtChat->verticalScrollBar()->value(), Chat()->txtChat->verticalScrollBar()->maximum());
}

TEST_F(NetBadInput, AGameFileThatCannotBeStoredIsReportedAndChangesNothing)
{
    const State before = S();
    // A damaged file is the other side's: said so, never announced as loaded.
    Feed(W("LF}\x01\x01\x0D\x46\x0B"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    EXPECT_TRUE(boxes[0].text.startsWith("The game sent by Bob is damaged")) << boxes[0].text.toStdString();
    EXPECT_EQ(NewLines(), (QStringList{"", "   ** The game sent by Bob is damaged; it was not loaded.", ""}));

    // A good file whose temporary file cannot be written: a folder holds its name.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("temp_NetPlay.trs"));
    Feed(W("LF}\x01\x01\x0D\x0A\x0B\x12\x15"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].text.contains("temp_NetPlay.trs")) << boxes[1].text.toStdString();
    EXPECT_EQ(std::memcmp(S().Board, before.Board, sizeof before.Board), 0);
    EXPECT_EQ(std::tuple(S().GameId, S().CurrentPlayer, S().GameState, S().MovesLeft),
              std::tuple(before.GameId, before.CurrentPlayer, before.GameState, before.MovesLeft));
}
