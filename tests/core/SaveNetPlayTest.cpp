// Saving and loading on the host of a NetPlay game: what reaches the other
// program, byte for byte, and what must never leave.
#include "core/SaveGame.h"
#include "engine/PavixGames.h"
#include "tests/netplay/NetTestSupport.h"

using namespace Turrion;
using namespace NetTest;

using TestSupport::ReadAll;
using TestSupport::WriteAll;

TEST_F(NetPlayTest, HostSavesAndLoadsGamesOverTheConnection)
{
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    QString answer;
    int asked = 0;
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) {
        ++asked;
        return answer;
    });

    form->mnuGameNewTwo_Click();
    ASSERT_EQ(bob->Expect(W("NG}Ann")), W("NG}Ann"));
    ASSERT_TRUE(S().NetGame);

    // Saving tells the other side, once the file is complete.
    answer = Path("net.trs");
    form->mnuGameSave_Click();
    EXPECT_EQ(bob->Expect(W("SG}Ann")), W("SG}Ann"));
    EXPECT_EQ(ReadAll(Path("net.trs")).size(), 19);

    // A file with the byte 255 (turn 255) would arrive cut: neither sent nor
    // loaded. A file that is not a save is not sent either.
    const QByteArray turn255("\x01\xFF\x0D\x0A\x0B\x12\x15", 7);
    ASSERT_TRUE(WriteAll(Path("turn255.trs"), turn255));
    ASSERT_TRUE(WriteAll(Path("broken.trs"), QByteArray("\x01\x01\x0D\x5A\x0B", 5)));
    for (const char* name : {"turn255.trs", "broken.trs"}) {
        boxes.clear();
        answer = Path(name);
        form->mnuGameLoad_Click();
        ASSERT_EQ(boxes.size(), 1u) << name;
        EXPECT_EQ(boxes[0].caption, "Load Turrion Game");
        EXPECT_EQ(S().GameFileName, Path("net.trs")) << name;
    }

    // A good file goes out whole, before anything else, and is then played.
    const QByteArray file("\x02\x03\x0A\x0A\x0B\x0B\x0E\x12\x15\x3A\x16", 11);
    ASSERT_TRUE(WriteAll(Path("good.trs"), file));
    answer = Path("good.trs");
    form->mnuGameLoad_Click();
    const QByteArray lf = "LF}" + file + char(0xFF);
    EXPECT_EQ(bob->Expect(lf), lf);
    EXPECT_EQ(S().TurnNumber, 3);

    // Save now writes the loaded file without asking and tells the other side.
    const int askedBefore = asked;
    S().TurnNumber = 4;
    form->mnuGameSave_Click();
    EXPECT_EQ(asked, askedBefore);
    EXPECT_EQ(bob->Expect(W("SG}Ann")), W("SG}Ann"));
    EXPECT_EQ(ReadAll(Path("good.trs")).at(1), char(4));
    EXPECT_TRUE(bob->received.isEmpty());
}
