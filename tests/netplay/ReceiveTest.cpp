// The receive procedure fed directly, without a peer: splitting, checking,
// and the other side's game actions on the board.
#include "NetTestSupport.h"

#include "core/Drawing.h"
#include "engine/PavixGDI.h"
#include "engine/PavixGames.h"
#include "engine/PavixSfxAPI.h"

#include <QFile>
#include <QTimer>

using namespace NetTest;
using namespace Turrion;
using NetPlay::frmChat;

namespace {

class ReceiveTest : public FedHost {
protected:
    void SetUp() override
    {
        FedHost::SetUp();
        for (const char* wave : {"cb_hit.wav", "win.wav"})
            QFile(Path(wave)).open(QIODevice::WriteOnly);
        PavixSfxAPI::SetPlayHook([this](const QString& path) { sounds << path.section('/', -1); });
        ClearBoard();
        start = ChatLines().size();
    }
    void TearDown() override
    {
        PavixSfxAPI::SetPlayHook(nullptr);
        FedHost::TearDown();
    }
    QStringList NewLines() { return LinesSince(start); }

    int start = 0;
    QStringList sounds;
};

} // namespace

TEST_F(ReceiveTest, MessagesAreCutFromChunksAndOnlyWellFormedOnesAreActedOn)
{
    Put(2, 3, Blue, CannonFired);

    // A move split across two chunks acts once, after the second.
    Feed("MP}0203");
    EXPECT_EQ(S().Board[2][3], CannonFired);
    EXPECT_EQ(Chat()->RecvBuffer, "MP}0203");
    Feed("0202\xFF");
    EXPECT_EQ(S().Board[2][3] + S().Owner[2][3], 0);
    EXPECT_EQ(S().Board[2][2], CannonFired); // a fired Cannon stays fired
    EXPECT_EQ(S().Owner[2][2], Blue);
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
    EXPECT_TRUE(NewLines().isEmpty());

    // Two messages in one chunk, in order, and the start of a third.
    Feed("AP}1400031\xFF" "CH} >Bob\xBB yo\xFF" "SG");
    EXPECT_EQ(S().Board[0][3], Wall);
    EXPECT_EQ(S().Owner[0][3], Blue);
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has ADDED a WALL to the board.",
                                       QString::fromUtf8(" >Bob\u00BB yo")}));
    Feed("}Cy\xFF");
    EXPECT_EQ(NewLines().last(), "   ** Cy has SAVED the GAME to a file.");

    // Unknown codes, malformed payloads and coordinates off the board: the
    // board and the transcript stay as they are.
    const QString board = Cells();
    const int lines = ChatLines().size();
    Feed(QByteArray("ZZ}1\xFF" "\xFF" "A\xFF" "AP\xFF" "AP-1400031\xFF" "AP}1400071\xFF"
                    "AP}1409031\xFF" "AP}3400031\xFF" "AP}1800031\xFF" "AP}140003\xFF"
                    "RP}0907\xFF" "RP}99\xFF" "MP}02020209\xFF" "MP}0202020\xFF"
                    "FC}09031\xFF" "FC}02033\xFF" "FC}0203\xFF" "SC}3\xFF" "ET}\xFF") +
         "AP}" + QByteArray(7, '\0') + char(0xFF));
    EXPECT_EQ(Cells(), board);
    EXPECT_EQ(ChatLines().size(), lines);
    EXPECT_EQ(S().NetColor, Blue);
    EXPECT_EQ(S().CurrentPlayer, 0);
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
    EXPECT_TRUE(boxes.empty());

    // Byte 0 and "}" in a name are plain text.
    Feed(QByteArray("SG}a}\x00z\xFF", 8));
    EXPECT_EQ(NewLines().last(), QString("   ** a} z has SAVED the GAME to a file."));

    // Too much without a terminator is dropped and reported; the next
    // message is read normally.
    Feed(QByteArray(60000, 'a'));
    EXPECT_TRUE(boxes.empty());
    Feed(QByteArray(10000, 'a'));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "NetPlay Error");
    EXPECT_TRUE(boxes[0].text.startsWith("NetPlay Communication Error:\r\n-1 - "));
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
    Feed("RP}0003\xFF");
    EXPECT_EQ(S().Board[0][3], Empty);
    EXPECT_EQ(NewLines().last(), "   ** Bob has REMOVED a WALL from the board.");

    // The receive log holds each chunk as it came.
    QFile log(Path("Host_Get.log"));
    log.open(QIODevice::ReadOnly);
    const QStringList got = QString::fromUtf8(log.readAll()).split("\r\n");
    ASSERT_GT(got.size(), 6);
    EXPECT_TRUE(got[4].endsWith(" ... 00001 - MP}0203")) << got[4].toStdString();
    EXPECT_TRUE(got[5].endsWith(QString::fromUtf8(" ... 00002 - 0202\u00FF")));
}

TEST_F(ReceiveTest, PiecesArePlacedRemovedAndMovedAsTheOtherSideDid)
{
    Feed("AP}2608030\xFF" "AP}1200030\xFF" "AP}2308031\xFF" "AP}1100021\xFF" "AP}2501061\xFF");
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has added a CANNON to the board.",
                                       "   ** Bob has added a WIZARD to the board.",
                                       "   ** Bob has added a BUILDER to the board."}));
    EXPECT_EQ(S().Board[8][3], Builder); // the Cannon was replaced
    EXPECT_EQ(S().Owner[8][3], Red);
    EXPECT_EQ(S().Board[0][3], Wizard);
    EXPECT_EQ(S().Board[0][2], King); // kinds 1 and 5 change the cell silently
    EXPECT_EQ(S().Board[1][6], Fire);
    EXPECT_EQ(S().Owner[1][6], Red);

    // The cell is drawn: the back buffer and the screen show the Builder.
    const QImage builderCell = Cell(Screen(), 8, 3);
    DrawBoard();
    EXPECT_EQ(Cell(BackBuffer(), 8, 3), builderCell);
    ClearCell(8, 3);
    EXPECT_NE(Cell(BackBuffer(), 8, 3), builderCell);

    // Removing something that is not a Wall clears it without a line.
    start = ChatLines().size();
    Feed("RP}0106\xFF");
    EXPECT_EQ(S().Board[1][6] + S().Owner[1][6], 0);
    EXPECT_TRUE(NewLines().isEmpty());
    // A move from an empty cell empties the target.
    Feed("MP}05050002\xFF");
    EXPECT_EQ(S().Board[0][2] + S().Owner[0][2], 0);
}

TEST_F(ReceiveTest, TheOtherSidesShotsBurnCellsAndCanWin)
{
    form->mnuGameSfx->setChecked(true);
    Put(6, 3, Blue, Builder);
    Put(0, 1, Blue, King);
    Put(8, 1, Red, King);
    form->mnuTurnEndTurn->setEnabled(true);

    // Into the river: only the sound.
    const QString board = Cells();
    Feed("FC}04031\xFF");
    EXPECT_EQ(Cells(), board);
    EXPECT_EQ(sounds, QStringList{"cb_hit.wav"});
    EXPECT_EQ(NewLines(), QStringList{"   ** Bob has FIRED a CANNON!"});

    // On a piece: a Fire of the shooter's colour takes its place.
    Feed("FC}06032\xFF");
    EXPECT_EQ(S().Board[6][3], Fire);
    EXPECT_EQ(S().Owner[6][3], Red);
    EXPECT_EQ(sounds.size(), 2);

    // No sound while sound is off.
    form->mnuGameSfx->setChecked(false);
    Feed("FC}02022\xFF");
    EXPECT_EQ(S().Board[2][2], Fire);
    EXPECT_EQ(sounds.size(), 2);
    form->mnuGameSfx->setChecked(true);

    // On a King: the game is over, the King stays in the board and the Fire
    // is drawn over it.
    start = ChatLines().size();
    S().GameState = S().ResumeState = PhaseMove;
    Feed("FC}00012\xFF");
    EXPECT_EQ(NewLines(), (QStringList{"   ** Bob has FIRED a CANNON!", "",
                                       "  ** Bob has WON the GAME!", ""}));
    EXPECT_EQ(S().Board[0][1], King);
    EXPECT_EQ(S().Owner[0][1], Blue);
    EXPECT_EQ(S().GameState, PhaseGameOver);
    EXPECT_EQ(S().ResumeState, PhaseGameOver);
    EXPECT_EQ(std::pair(S().CursorCol, S().CursorRow), std::pair(0, 1));
    EXPECT_FALSE(form->mnuTurnEndTurn->isEnabled());
    EXPECT_EQ(sounds.last(), "win.wav");
    const QImage shown = Cell(Screen(), 0, 1);
    DrawBoard();
    const QImage king = Cell(BackBuffer(), 0, 1);
    DrawPieceSprite(Fire, Red, 0, 1);
    EXPECT_EQ(shown, Cell(BackBuffer(), 0, 1));
    EXPECT_NE(shown, king);
}

TEST_F(ReceiveTest, TheOtherSidesEndOfTurnHandsTheTurnOver)
{
    S().NetGame = true;
    S().NetGameColor = Blue;
    S().NetState = NetHostWithPlayer;
    S().CurrentPlayer = Red;
    S().TurnNumber = 4;
    S().GameState = S().ResumeState = PhaseMove;
    Put(0, 1, Blue, King);
    Put(8, 1, Red, King);
    Put(0, 5, Blue, Wizard);
    Put(1, 5, Blue, Wizard);
    Put(2, 2, Red, Fire);  // Red's fire burns through Blue's turn
    Put(6, 2, Blue, Fire); // Blue's own fire goes out
    Put(8, 3, Blue, Fire); // portal fires go out whoever owns them
    Put(0, 3, Red, Fire);
    Put(3, 0, Blue, CannonFired);
    Put(5, 0, Red, CannonFired);
    EXPECT_TRUE(WaitingForRemote(S()));

    Feed("ET}2\xFF");
    EXPECT_EQ(NewLines(), QStringList{"   ** Bob's TURN has ENDED."});
    EXPECT_EQ(S().CurrentPlayer, Blue);
    EXPECT_EQ(S().TurnNumber, 5);
    EXPECT_EQ(S().GameState, PhaseTurnStart);
    EXPECT_EQ(S().MovesLeft, 9);
    EXPECT_EQ(S().Board[2][2], Fire);
    EXPECT_EQ(S().Board[6][2], Empty);
    EXPECT_EQ(S().Board[8][3], Empty);
    EXPECT_EQ(S().Board[0][3], Empty);
    EXPECT_EQ(S().Board[3][0], CannonReady);
    EXPECT_EQ(S().Board[5][0], CannonReady);
    EXPECT_FALSE(WaitingForRemote(S()));

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
    EXPECT_EQ(S().CurrentPlayer, Blue);
    EXPECT_TRUE(Chat()->RecvBuffer.isEmpty());
}
