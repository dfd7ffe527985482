// Saving and loading on the host of a NetPlay game: what reaches the other
// program, byte for byte, and what must never leave.
#include "tests/game/netplay/NetTestSupport.h"

using namespace Turrion;
using namespace NetTest;
using TestSupport::ReadAll;
using TestSupport::WriteAll;

TEST_F(NetPlayTest, HostSavesAndLoadsGamesOverTheConnection)
{
    auto bob = HostWithPlayer("Ann", "Bob");
    ASSERT_TRUE(bob);
    QString answer;
    PavixGames::SetDialogHook([&](const PavixGames::DialogRequest&) { return answer; });
    form->mnuGameNewTwo_Click();
    ASSERT_EQ(bob->Expect(W("NG}Ann")), W("NG}Ann"));

    // Saving tells the other side, once the file is complete.
    answer = Path("net.trs");
    form->mnuGameSave_Click();
    EXPECT_SENT(*bob, W("SG}Ann"));
    EXPECT_EQ(ReadAll(Path("net.trs")).size(), 19);

    // A file with the byte 255 (turn 255) would arrive cut, and a file that
    // is not a save is refused: neither is sent nor loaded. A good file goes
    // out whole, before anything else, and is then played.
    for (const auto& [name, bytes] : {std::pair("turn255.trs", QByteArray("\x01\xFF\x0D\x0A\x0B\x12\x15", 7)),
                                      std::pair("broken.trs", QByteArray("\x01\x01\x0D\x5A\x0B", 5)),
                                      std::pair("good.trs", QByteArray("\x02\x03\x0A\x0A\x0B\x0B\x0E\x12\x15\x3A\x16", 11))}) {
        ASSERT_TRUE(WriteAll(Path(name), bytes));
        answer = Path(name);
        form->mnuGameLoad_Click();
        EXPECT_EQ(S().GameFileName, Path(QString(name) == "good.trs" ? name : "net.trs")) << name;
    }
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_SENT(*bob, "LF}" + ReadAll(Path("good.trs")) + char(0xFF));
    EXPECT_TRUE(bob->received.isEmpty());
}
