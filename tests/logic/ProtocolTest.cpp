// The wire format without sockets (encoding, framing, parsing), and which
// received messages count.
#include "logic/Protocol.h"
#include "logic/Remote.h"

#include <gtest/gtest.h>
#include <functional>

using namespace Turrion::NetPlay;
using namespace Turrion;

TEST(WireEncoding, EveryByteBelow255RoundTripsAndTheCodePageIsWindows1252)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = FromWire(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToWire(text), all);

    EXPECT_EQ(text[0x80], QChar(0x20AC)); // euro sign
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text[undefined], QChar(undefined)) << undefined;
    EXPECT_EQ(text[255], QChar(TerminatorChar));

    // What the code page cannot hold goes out as '?'.
    EXPECT_EQ(ToWire(QString::fromUtf8("a\u0141b\u4e2d")), QByteArray("a?b?"));
    EXPECT_EQ(ToWire(QString(QChar(0x80))), QByteArray("?"));
    EXPECT_EQ(Frame(QString::fromUtf8("CH}\u20AC") + ChatMarker), QByteArray("CH}\x80\xBB \xFF"));

    // A message is cut off at its terminator; an unended one is left alone.
    QString buffer = QString::fromLatin1("ET}1\xFF" "CH}a"), message;
    EXPECT_TRUE(TakeMessage(buffer, message) && message == "ET}1" && buffer == "CH}a");
    EXPECT_TRUE(!TakeMessage(buffer, message) && buffer == "CH}a");
}

TEST(WireParsing, GameMessagesAreCheckedForShapeAndRange)
{
    for (const char* good : {"AP}2608039", "MP}02030202", "FC}07031", "RP}0806", "SC}2", "ET}1", "DQ}", "LF}",
                             "GA}0", "GA}123456789", "BD}0,0,1,00000000", "BD}3,17,2,0a1b2c3d"})
        EXPECT_TRUE(ParseMessage(QString::fromLatin1(good))) << good;
    // The two later messages read back what their writers wrote.
    const Message digest = ParseMessage(BoardDigestMessage(12, 345, Red, 0xfe01a2b3u)).value_or(Message{});
    EXPECT_EQ(std::tuple(digest.code, digest.games, digest.turn, digest.colour, digest.digest),
              std::tuple(Code::BD, 12, 345, int(Red), 0xfe01a2b3u));
    EXPECT_EQ(ParseMessage(GameTakenMessage(7)).value_or(Message{}).games, 7);
    EXPECT_EQ(ParseMessage(QString::fromUtf8("PD}} \u00E9")).value_or(Message{}).payload,
              QString::fromUtf8("} \u00E9"));

    for (const char* bad : {
             "", "A", "PD", "XX}1", "pd}Ann", "PD-Ann", "PD Ann", "AP}140003", "AP}14000310", "AP}1400x31",
             "AP}14000 1", "AP}1400031 ", "AP}0400031", "AP}3400031", "AP}1000031", "AP}1800031",
             "AP}1409031", "AP}1400071", "AP}14000-1", "AP}1400-31", "RP}080", "RP}09000", "RP}0900",
             "RP}0007", "RP}-100", "MP}0203020", "MP}020302020", "MP}02030209", "MP}09030202", "MP}02030902",
             "MP}0+030202", "FC}0703", "FC}07030", "FC}07033", "FC}09031", "FC}07071", "SC}", "SC}0", "SC}3",
             "SC}12", "SC}x", "ET}", "ET}12", "ET}x", "GA}", "GA}-1", "GA}1234567890", "GA}1x", "BD}1,1,1",
             "BD}1,1,3,00000000", "BD}1,1,1,0000000", "BD}1,1,1,0000000g", "BD}1,1,1,0A1B2C3D", "BD},1,1,00000000",
             "BD}1,1,1,00000000,"}) {
        EXPECT_FALSE(ParseMessage(QString::fromLatin1(bad))) << bad;
    }
    // Digits of other scripts are not digits here.
    EXPECT_FALSE(ParseMessage(QString::fromUtf8("RP}\u0661\u0662\u0660\u0660")));
}

TEST(WireParsing, DecimalValueReadsLeadingNumbers)
{
    const std::pair<const char*, int> cases[] = {
        {" 4000 ", 4000}, {"40 00", 4000}, {"12ab", 12}, {"abc", 0}, {"", 0}, {"-7", -7},
        {"2.5", 2}, {"3.5", 4}, {"99999999999999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (auto [text, want] : cases)
        EXPECT_EQ(DecimalValue(text), want) << text;
}

TEST(RemoteMessages, GameMessagesOutOfStepAreIgnored)
{
    // The other side's game actions count only in its turn of this game (also
    // behind the About picture): not before the first game, not in a finished
    // game, not in this side's own turn, not while the turn changes hands.
    // New games, game files and colours come only from the host; names, chat,
    // farewells and saves always count.
    const std::function<void(State&)> outOfStep[] = {
        [](State& s) { s.GameState = PhaseOverlay, s.ResumeState = PhaseNone; }, // the title, no game yet
        [](State& s) { s.GameState = s.ResumeState = PhaseGameOver; },
        [](State& s) { s.CurrentPlayer = Red; }, // this side's own turn
        [](State& s) { s.NetGame = false; },
        [](State& s) { s.TurnChanging = true; },
        [](State& s) { s.NetIsHost = true; }, // the host: its own messages do not come back
        [](State& s) { s.GameState = PhaseOverlay, s.ResumeState = PhaseTurnStart; }, // in step
    };
    // Game actions (0), the host's own messages (1), and the rest (2).
    const std::pair<const char*, int> messages[] = {
        {"AP}2108040", 0}, {"MP}08040704", 0}, {"RP}0000", 0}, {"FC}00002", 0}, {"ET}2", 0}, {"NG}B", 1},
        {"LF}", 1},        {"SC}2", 1},        {"PD}B", 2},    {"CH}x", 2},     {"DQ}B", 2},  {"SG}B", 2}};
    for (std::size_t i = 0; i <= std::size(outOfStep); ++i) {
        State s; // the connecting side, Red, waiting in the host's move phase
        s.NetGame = true, s.NetGameColor = s.NetColor = Red, s.CurrentPlayer = Blue;
        s.GameState = s.ResumeState = PhaseMove;
        if (i < std::size(outOfStep))
            outOfStep[i](s);
        const bool counts[] = {i >= 5, i != 5, true}; // i == 7: nothing out of step
        for (const auto& [text, kind] : messages)
            EXPECT_EQ(AcceptsMessage(s, *ParseMessage(text)), counts[kind]) << i << " " << text;
    }
}
