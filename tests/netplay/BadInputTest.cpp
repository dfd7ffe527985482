// The receive procedure fed directly, without a peer.
#include "NetTestSupport.h"

#include "core/Drawing.h"
#include "engine/PavixSfxAPI.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>

using namespace NetTest;
using namespace Turrion;

namespace {

class NetBadInput : public FedSide {
protected:
    void SetUp() override
    {
        FedSide::SetUp();
        for (const char* wave : {"cb_hit.wav", "win.wav"})
            QFile(Path(wave)).open(QIODevice::WriteOnly);
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << path.section('/', -1); });
        ClearBoard();
        start = ChatLines().size();
    }
    void TearDown() override
    {
        PavixSfxAPI::SetPlayHook(nullptr);
        FedSide::TearDown();
    }
    QStringList NewLines() { return LinesSince(start); }
    void CheckBoardInRange()
    {
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r)
                EXPECT_TRUE(S().Board[c][r] >= Empty && S().Board[c][r] <= CannonFired &&
                            S().Owner[c][r] >= 0 && S().Owner[c][r] <= Red) << c << r;
    }

    int start = 0;
    QStringList sounds;
};

// A literal with every byte, zeros included.
template <std::size_t N>
QByteArray Raw(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

// A game session: names, a new game, moves, a shot, chat, end of turn.
const QByteArray kSession = W("PD}Bob") + W("CH} >Bob\xBB hi") + W("NG}Bob") +
                            W("MP}08010802") + W("AP}2308030") + W("RP}0701") +
                            W("FC}06031") + W("CH} >Bob\xBB gg") + W("ET}2") + W("SG}Bob");

} // namespace

TEST_F(NetBadInput, MessagesAreCutFromChunksAndOnlyWellFormedOnesAreActedOn)
{
    Put(2, 3, Blue, CannonFired);
    // A move split across two chunks acts once, after the second.
    Feed("MP}0203");
    EXPECT_EQ(S().Board[2][3], CannonFired);
    Feed("0202\xFF");
    EXPECT_EQ(S().Board[2][3] + S().Owner[2][3], 0);
    EXPECT_EQ(S().Board[2][2], CannonFired); // a fired Cannon stays fired
    // Two messages in one chunk, in order, and the start of a third.
    Feed("AP}1400031\xFF" "CH} >Bob\xBB yo\xFF" "SG");
    EXPECT_EQ(S().Owner[0][3], Blue);
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has ADDED a WALL to the board.",
                                       QString::fromUtf8(" >Bob\u00BB yo")}));
    Feed("}Cy\xFF");
    EXPECT_EQ(NewLines().last(), "   ** Cy has SAVED the GAME to a file.");

    // Unknown codes, malformed payloads and numbers off the board: the board
    // and the transcript stay as they are.
    const QString board = Cells();
    const int lines = ChatLines().size();
    Feed(QByteArray("ZZ}1\xFF" "\xFF" "A\xFF" "AP-1400031\xFF" "AP}1400071\xFF" "AP}3400031\xFF"
                    "AP}1800031\xFF" "RP}0907\xFF" "MP}02020209\xFF" "FC}02033\xFF" "SC}3\xFF"
                    "ET}\xFF") + "AP}" + QByteArray(7, '\0') + char(0xFF));
    EXPECT_EQ(Cells(), board);
    EXPECT_EQ(ChatLines().size(), lines);
    EXPECT_TRUE(boxes.empty());
    // Byte 0 and "}" in a name are plain text.
    Feed(QByteArray("SG}a}\x00z\xFF", 8));
    EXPECT_EQ(NewLines().last(), QString("   ** a} z has SAVED the GAME to a file."));
}

TEST_F(NetBadInput, PiecesArePlacedRemovedMovedAndShotAsTheOtherSideDid)
{
    Feed("AP}2608030\xFF" "AP}1200030\xFF" "AP}2308031\xFF" "AP}1100021\xFF" "AP}2501061\xFF");
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has added a CANNON to the board.",
                                       "   ** Bob has added a WIZARD to the board.",
                                       "   ** Bob has added a BUILDER to the board."}));
    EXPECT_EQ(S().Board[8][3], Builder); // the Cannon was replaced
    EXPECT_EQ(S().Board[0][2], King);    // kinds 1 and 5 change the cell silently
    // Removing what is not a Wall clears it silently; a move from an empty
    // cell empties the target.
    start = ChatLines().size();
    Feed("RP}0106\xFF" "MP}05050002\xFF");
    EXPECT_EQ(S().Board[1][6] + S().Board[0][2], 0);
    EXPECT_TRUE(NewLines().isEmpty());

    // Shots: the river changes nothing, a piece burns, no sound while off.
    form->mnuGameSfx->setChecked(true);
    Put(6, 3, Blue, Builder);
    Put(0, 1, Blue, King);
    form->mnuTurnEndTurn->setEnabled(true);
    Feed("FC}04031\xFF" "FC}06032\xFF");
    EXPECT_EQ(NewLines(), QStringList(2, "   ** Bob has FIRED a CANNON!"));
    EXPECT_EQ(std::pair(S().Board[6][3], S().Owner[6][3]), std::pair(int(Fire), int(Red)));
    form->mnuGameSfx->setChecked(false);
    Feed("FC}02022\xFF");
    EXPECT_EQ(sounds, QStringList(2, "cb_hit.wav"));
    form->mnuGameSfx->setChecked(true);

    // On a King: the game is over, the King stays and the Fire is drawn over it.
    start = ChatLines().size();
    S().GameState = S().ResumeState = PhaseMove;
    Feed("FC}00012\xFF");
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has FIRED a CANNON!", "",
                                       "  ** Bob has WON the GAME!", ""}));
    EXPECT_EQ(S().Board[0][1], King);
    EXPECT_EQ(S().ResumeState, PhaseGameOver);
    EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_EQ(sounds.last(), "win.wav");
    const QImage shown = Cell(Screen(), 0, 1);
    DrawBoard();
    DrawPieceSprite(Fire, Red, 0, 1);
    EXPECT_EQ(shown, Cell(BackBuffer(), 0, 1));
}

TEST_F(NetBadInput, TheOtherSidesEndOfTurnHandsTheTurnOver)
{
    S().NetGame = true, S().NetGameColor = Blue, S().NetState = NetHostWithPlayer;
    S().CurrentPlayer = Red, S().TurnNumber = 4;
    S().GameState = S().ResumeState = PhaseMove;
    Put(0, 1, Blue, King);
    Put(8, 1, Red, King);
    Put(0, 5, Blue, Wizard);
    Put(1, 5, Blue, Wizard);
    Put(2, 2, Red, Fire), Put(6, 2, Blue, Fire), Put(0, 3, Red, Fire);
    Put(6, 6, Red, CannonFired), Put(1, 0, Blue, CannonFired);
    Feed("ET}2\xFF");
    EXPECT_EQ(NewLines(), QStringList{"   ** Bob's TURN has ENDED."});
    EXPECT_EQ(std::pair(S().CurrentPlayer, S().TurnNumber), std::pair(int(Blue), 5));
    EXPECT_EQ(S().MovesLeft, 9);
    // Red's fire burns through Blue's turn, Blue's goes out, the portal is
    // cleared, and every fired Cannon is ready again.
    EXPECT_EQ(std::tuple(S().Board[2][2], S().Board[6][2], S().Board[0][3]),
              std::tuple(int(Fire), int(Empty), int(Empty)));
    EXPECT_EQ(std::pair(S().Board[6][6], S().Board[1][0]), std::pair(int(CannonReady), int(CannonReady)));

    // Data arriving during the end-of-turn pause is received by a nested
    // run, after the rest of the chunk being handled, and nothing twice.
    S().CurrentPlayer = Red;
    start = ChatLines().size();
    int playerDuringPause = 0;
    QTimer::singleShot(0, Chat(), [&] {
        playerDuringPause = S().CurrentPlayer;
        Feed("CH} >Bob\xBB nested\xFF");
    });
    Feed("ET}2\xFF" "SG}Bob\xFF");
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob's TURN has ENDED.",
                                       "   ** Bob has SAVED the GAME to a file.",
                                       QString::fromUtf8(" >Bob\u00BB nested")}));
    EXPECT_EQ(playerDuringPause, Red); // it ran inside the pause
    EXPECT_TRUE(Chat()->Net().RecvBuffer.isEmpty());
}

TEST_F(NetBadInput, MessagesCutAnywhereActAsIfSentWhole)
{
    Feed(kSession);
    const QString whole = Cells();
    const QStringList chat = NewLines();
    const std::vector<int> state = {S().CurrentPlayer, S().TurnNumber, S().MovesLeft};

    // One byte at a time, in a fresh window: the same board, turn and lines.
    NetPlay::DestroyChatWindowForTests();
    Host("Ann");
    AsClient();
    S().RemoteName.clear();
    start = ChatLines().size();
    for (char byte : kSession) {
        Feed(QByteArray(1, byte));
        ASSERT_FALSE(Chat()->Net().RecvBuffer.contains(QChar(NetPlay::TerminatorChar)));
    }
    EXPECT_EQ(Cells(), whole);
    EXPECT_EQ((std::vector<int>{S().CurrentPlayer, S().TurnNumber, S().MovesLeft}), state);
    EXPECT_EQ(NewLines(), chat);
}

TEST_F(NetBadInput, FloodsAreHandledInOrderAndUnendedDataIsNeverActedOn)
{
    QByteArray flood;
    for (int i = 0; i < 3000; ++i)
        flood += W(QByteArray("CH}line " + QByteArray::number(i)).constData());
    Feed(flood);
    const QStringList lines = NewLines();
    ASSERT_EQ(lines.size(), 3000);
    EXPECT_EQ(lines.last(), "line 2999");

    // Unended data waits, does nothing, and is forgotten when the window
    // opens again.
    Put(0, 1, Blue, King);
    Feed("MP}00010002");
    EXPECT_EQ(Chat()->Net().RecvBuffer, "MP}00010002");
    Chat()->cmdDone->click();
    Host("Ann");
    EXPECT_TRUE(Chat()->Net().RecvBuffer.isEmpty());
    Feed(W("CH}x"));
    EXPECT_EQ(S().Board[0][1], King);

    // Endless unended data: dropped past the limit, reported once however
    // long it goes on.
    EXPECT_TRUE(boxes.empty());
    for (int i = 0; i < 300; ++i)
        Feed(QByteArray(1000, 'z'));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(SocketError(boxes[0], -1), "");
    EXPECT_LE(Chat()->Net().RecvBuffer.size(), NetPlay::MaxPendingChars);
    Feed("\xFF" "CH}after\xFF");
    EXPECT_EQ(ChatLines().last(), "after");
}

TEST_F(NetBadInput, AGameFileThatCannotBeStoredIsReportedAndChangesNothing)
{
    // A folder holds the temporary file's name.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("temp_NetPlay.trs"));
    Feed(W("PD}Bob"));
    Put(0, 1, Blue, King);
    S().CurrentPlayer = Blue, S().GameState = S().ResumeState = PhaseMove;
    const QString board = Cells();
    Feed("LF}\x01\x01\x0D\x0A\x0B\x12\x15\xFF");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    EXPECT_TRUE(boxes[0].text.contains("temp_NetPlay.trs"));
    EXPECT_EQ(Cells(), board);
    EXPECT_EQ(S().GameState, PhaseMove);

    // A damaged file is the other side's: said so, never written, never
    // announced as loaded.
    ASSERT_TRUE(QDir(dir_.path()).rmdir("temp_NetPlay.trs"));
    start = ChatLines().size();
    Feed("LF}\x01\x01\x0D\x46\x0B\xFF");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "NetPlay Error");
    EXPECT_TRUE(boxes[1].text.startsWith("The game sent by Bob is damaged")) << boxes[1].text.toStdString();
    EXPECT_FALSE(boxes[1].text.contains("temp_NetPlay"));
    EXPECT_EQ(NewLines(), (QStringList{"", "   ** The game sent by Bob is damaged; it was not loaded.", ""}));
    EXPECT_EQ(Cells(), board);
    EXPECT_FALSE(QFile::exists(Path("temp_NetPlay.trs")));
}

TEST_F(NetBadInput, GameMessagesOutOfStepAreIgnored)
{
    // The other side's game messages act only in its turn of this game:
    // not before the first game, not in a finished game, not in this side's
    // own turn, not while the turn changes hands; the host takes no new
    // game, game file or colour from the connecting side.
    const QByteArray moves = W("AP}2108040") + W("MP}08040704") + W("RP}0000") +
                             W("FC}00002") + W("ET}2");
    struct Case { const char* what; std::function<void()> set; } cases[] = {
        {"no game yet", [&] { S().GameState = PhaseOverlay, S().ResumeState = PhaseNone; }},
        {"game over", [&] { S().GameState = S().ResumeState = PhaseGameOver; }},
        {"own turn", [&] { S().CurrentPlayer = Red; }},
        {"no NetPlay game", [&] { S().NetGame = false; }},
        {"turn changing", [&] { S().TurnChanging = true; }},
    };
    Put(0, 0, Blue, King);
    for (const Case& c : cases) {
        AsClient();
        c.set();
        const QString board = Cells();
        const int player = S().CurrentPlayer, lines = ChatLines().size();
        Feed(moves);
        EXPECT_EQ(Cells(), board) << c.what;
        EXPECT_EQ(S().CurrentPlayer, player) << c.what;
        EXPECT_EQ(ChatLines().size(), lines) << c.what;
        S().TurnChanging = false;
    }
    AsClient();
    S().NetIsHost = true, S().NetColor = Blue;
    const int games = S().GameId, lines = ChatLines().size();
    Feed(W("NG}Bob") + W("LF}\x01\x01\x0D") + W("SC}2"));
    EXPECT_EQ(S().GameId, games);
    EXPECT_EQ(S().NetColor, Blue);
    EXPECT_EQ(ChatLines().size(), lines);
}

TEST_F(NetBadInput, ControlCharactersInNamesAndChatStayOnOneLine)
{
    // A name and a line that try to write lines of their own.
    Feed(Raw("PD}Ev\r\n     Host's name: Mallory\xFF"));
    Feed(Raw("CH}a\x00" "b\nConnected ...\x1B[31m\x7F\x85\x81z\xFF"));
    const QStringList lines = NewLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "     Host's name: Ev       Host's name: Mallory");
    EXPECT_EQ(lines[3], QString::fromUtf8("a b Connected ... [31m \u2026 z"));
    EXPECT_EQ(Chat()->lblBluePlayer->text(), "Ev       Host's name: Mallory (host)");
    EXPECT_EQ(Chat()->lblBluePlayer->textFormat(), Qt::PlainText);
}
