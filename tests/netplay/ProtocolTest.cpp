// The wire format without sockets: encoding and parsing.
#include "netplay/Protocol.h"

#include <gtest/gtest.h>

using namespace NetPlay;

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
    EXPECT_EQ(ToWire(ChatMarker), QByteArray("\xBB "));
}

TEST(WireParsing, GameMessagesAreCheckedForShapeAndRange)
{
    // Their fields are checked through the receive path (BadInputTest).
    for (const char* good : {"AP}2608039", "MP}02030202", "FC}07031", "RP}0806", "SC}2", "ET}1", "DQ}", "LF}"})
        EXPECT_TRUE(ParseMessage(QString::fromLatin1(good))) << good;
    auto pd = ParseMessage(QString::fromUtf8("PD}} \u00E9"));
    ASSERT_TRUE(pd);
    EXPECT_EQ(pd->payload, QString::fromUtf8("} \u00E9"));

    for (const char* bad : {
             "", "A", "PD", "XX}1", "pd}Ann", "PD-Ann", "PD Ann",
             "AP}140003", "AP}14000310", "AP}1400x31", "AP}14000 1", "AP}1400031 ",
             "AP}0400031", "AP}3400031", "AP}1000031", "AP}1800031", "AP}1409031",
             "AP}1400071", "AP}14000-1", "AP}1400-31",
             "RP}080", "RP}09000", "RP}0900", "RP}0007", "RP}-100",
             "MP}0203020", "MP}02030209", "MP}09030202", "MP}02030902", "MP}0+030202",
             "FC}0703", "FC}07030", "FC}07033", "FC}09031", "FC}07071",
             "SC}", "SC}0", "SC}3", "SC}12", "SC}x",
             "ET}", "ET}12", "ET}x"}) {
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
