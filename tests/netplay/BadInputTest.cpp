// What the other side may send that this program never would: messages cut
// anywhere, floods, a message that never ends, a game file that cannot be
// stored, and game messages when no game runs.
#include "NetTestSupport.h"

#include <QDir>
#include <QFile>

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmChat;

namespace {

class NetBadInput : public FedHost {
protected:
    void CheckBoardInRange()
    {
        for (int c = 0; c < Cols; ++c)
            for (int r = 0; r < Rows; ++r) {
                EXPECT_TRUE(S().Board[c][r] >= Empty && S().Board[c][r] <= CannonFired) << c << r;
                EXPECT_TRUE(S().Owner[c][r] >= 0 && S().Owner[c][r] <= Red) << c << r;
            }
    }
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

TEST_F(NetBadInput, MessagesCutAnywhereActAsIfSentWhole)
{
    // Whole.
    int opening = ChatLines().size();
    Feed(kSession);
    const QString whole = Cells();
    const QStringList chat = LinesSince(opening);
    const std::vector<int> state = {S().CurrentPlayer, S().TurnNumber, S().MovesLeft};
    ASSERT_EQ(S().Board[8][3], Builder);
    ASSERT_EQ(S().Board[6][3], Fire);

    // One byte at a time, in a fresh window: the same board, turn and lines.
    NetPlay::DestroyChatWindowForTests();
    S().RemoteName.clear();
    Host("Ann");
    opening = ChatLines().size();
    for (char byte : kSession) {
        Feed(QByteArray(1, byte));
        ASSERT_FALSE(Chat()->RecvBuffer.contains(QChar(NetPlay::TerminatorChar)));
    }
    EXPECT_EQ(Cells(), whole);
    EXPECT_EQ((std::vector<int>{S().CurrentPlayer, S().TurnNumber, S().MovesLeft}), state);
    EXPECT_EQ(LinesSince(opening), chat);
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
}

TEST_F(NetBadInput, FloodsAreHandledInOrderAndUnendedDataIsNeverActedOn)
{
    // Thousands of messages in one chunk: every one, in order.
    QByteArray flood;
    for (int i = 0; i < 3000; ++i)
        flood += W(QByteArray("CH}line " + QByteArray::number(i)).constData());
    const int before = ChatLines().size();
    Feed(flood);
    const QStringList lines = LinesSince(before);
    ASSERT_EQ(lines.size(), 3000);
    EXPECT_EQ(lines.first(), "line 0");
    EXPECT_EQ(lines.last(), "line 2999");
    EXPECT_TRUE(boxes.empty());

    // A message whose end never comes waits and does nothing ...
    ClearBoard();
    Put(0, 1, Blue, King);
    Feed("MP}00010002");
    EXPECT_EQ(S().Board[0][1], King);
    EXPECT_EQ(Chat()->RecvBuffer, "MP}00010002");

    // ... and is forgotten when the window opens again, so that the next
    // connection's first byte 255 does not complete it.
    Chat()->cmdDone->click();
    Host("Ann");
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
    Feed(W("CH}x"));
    EXPECT_EQ(S().Board[0][1], King);
    EXPECT_EQ(S().Board[0][2], Empty);

    // Endless data without the terminator, in many small chunks: dropped
    // once it passes the limit, reported once, and the next message works.
    boxes.clear();
    for (int i = 0; i < 70; ++i)
        Feed(QByteArray(1000, 'z'));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    EXPECT_LE(Chat()->RecvBuffer.size(), NetPlay::MaxPendingChars);
    Feed("\xFF" "CH}after\xFF");
    EXPECT_EQ(ChatLines().last(), "after");
}

TEST_F(NetBadInput, AGameFileThatCannotBeStoredIsReportedAndChangesNothing)
{
    // A folder holds the temporary file's name: it can be neither removed
    // nor written.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("temp_NetPlay.trs"));
    Feed(W("PD}Bob"));
    ClearBoard();
    Put(0, 1, Blue, King);
    S().CurrentPlayer = Blue;
    S().GameState = S().ResumeState = PhaseMove;
    const QString board = Cells();
    boxes.clear();
    Feed("LF}\x01\x01\x0D\x0A\x0B\x12\x15\xFF");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    EXPECT_TRUE(boxes[0].text.contains("temp_NetPlay.trs"));
    EXPECT_EQ(Cells(), board);
    EXPECT_EQ(S().GameState, PhaseMove);
    EXPECT_TRUE(S().GameFileName.isEmpty());
    EXPECT_TRUE(QFileInfo(Path("temp_NetPlay.trs")).isDir());

    // A damaged file from the other side: refused by the loader, the
    // temporary file removed.
    ASSERT_TRUE(QDir(dir_.path()).rmdir("temp_NetPlay.trs"));
    boxes.clear();
    Feed("LF}\x01\x01\x0D\x46\x0B\xFF");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Load Turrion Game");
    EXPECT_EQ(Cells(), board);
    EXPECT_FALSE(QFile::exists(Path("temp_NetPlay.trs")));
    EXPECT_TRUE(S().GameFileName.isEmpty());
}

TEST_F(NetBadInput, GameMessagesWithoutAGameKeepTheBoardValid)
{
    // As after start-up: the title picture and no game behind it.
    ClearBoard();
    S().CurrentPlayer = NoPlayer;
    S().GameState = PhaseOverlay;
    S().ResumeState = PhaseNone;
    Feed(W("PD}Bob") + W("AP}2108040") + W("MP}08040704") + W("RP}0000") + W("FC}00002") +
         W("FC}07042"));
    CheckBoardInRange();
    EXPECT_EQ(S().Board[0][0], Fire);
    EXPECT_EQ(S().Board[8][4], Empty);
    // A shot on a King the other side placed ends the "game" it claims.
    EXPECT_EQ(S().Board[7][4], King);
    EXPECT_EQ(S().GameState, PhaseGameOver);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(7, 4));

    // An end of turn when this side is not waiting for the other one (no
    // NetPlay game, a finished game) starts nothing.
    Feed(W("ET}2"));
    EXPECT_EQ(S().CurrentPlayer, NoPlayer);
    EXPECT_EQ(S().GameState, PhaseGameOver);
    S().NetGame = true;
    S().NetGameColor = Blue;
    S().CurrentPlayer = Red;
    Feed(W("ET}2"));
    EXPECT_EQ(S().CurrentPlayer, Red);
    EXPECT_EQ(S().GameState, PhaseGameOver);
    CheckBoardInRange();

    // A move onto its own cell leaves the piece where it is.
    Feed(W("MP}07040704"));
    EXPECT_EQ(S().Board[7][4], King);
}

TEST_F(NetBadInput, ControlCharactersInNamesAndChatStayOnOneLine)
{
    // A name and a line that try to write lines of their own, as if this
    // program had written them.
    const int before = ChatLines().size();
    Feed(Raw("PD}Ev\r\n     Host's name: Mallory\xFF"));
    Feed(Raw("CH}a\x00" "b\nConnected ...\x1B[31m\x7F\x85\x81z\xFF"));
    const QStringList lines = LinesSince(before);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "     Connected player's name: Ev       Host's name: Mallory");
    EXPECT_EQ(lines[3], QString::fromUtf8("a b Connected ... [31m \u2026 z"));
    EXPECT_EQ(Chat()->lblRedPlayer->text(), "Ev       Host's name: Mallory (connected)");
    EXPECT_EQ(Chat()->lblRedPlayer->textFormat(), Qt::PlainText);
}
