// q5ctl's text helpers: the conversions and grammars a wrong byte in would
// turn into a wrong value on the server or broken JSON.
#include <gtest/gtest.h>

#include "ctl_text.h"

namespace q5ctl {
namespace {

TEST(CtlText, Utf8RoundTripsThroughUtf16AndRefusesMalformedInput) {
    for (const std::string text : {"", "SCREEN", "Caf\xC3\xA9 \xE2\x82\xAC", "\xF0\x9F\x93\x9E call"}) {
        const auto wide = FromUtf8(text);
        ASSERT_TRUE(wide) << text;
        EXPECT_EQ(ToUtf8(*wide), text);
    }
    EXPECT_EQ(FromUtf8("\xE2\x82\xAC")->size(), 1u);
    EXPECT_EQ(FromUtf8("\xF0\x9F\x93\x9E")->size(), 2u) << "a surrogate pair";
    for (const std::string bad : {"\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(FromUtf8(bad)) << testing::PrintToString(bad);
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(CtlText, JsonStringsEscapeQuotesBackslashesAndControls) {
    EXPECT_EQ(JsonString("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonString("l1\r\nl2\t\x01"), R"("l1\r\nl2\t\u0001")");
    EXPECT_EQ(JsonString("\xE2\x82\xAC"), "\"\xE2\x82\xAC\"");
    EXPECT_EQ(JsonObject({{"A", "1"}, {"B", ""}}), R"({"A":"1","B":""})");
}

TEST(CtlText, HostsAndAssignmentsParseOrAreRefused) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"voice", true, "voice", 1008},
        {"10.0.0.5:2000", true, "10.0.0.5", 2000},
        {"voice:0", false, "", 0},
        {"voice:65536", false, "", 0},
        {"voice:x", false, "", 0},
        {":2000", false, "", 0},
        {"a:b:1", false, "", 0},
        {"", false, "", 0},
        // TLS hosts go to the library whole; it reads their port and pin.
        {"tls://voice:1009#sha256=AB", true, "tls://voice:1009#sha256=AB", 1008},
        {"TLS://voice", true, "TLS://voice", 1008},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseHost(c.text, 1008);
        ASSERT_EQ(parsed.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(parsed->host, c.host);
            EXPECT_EQ(parsed->port, c.port);
        }
    }
    EXPECT_EQ(ParseAssignment("LAST_N=a=b"), std::make_pair(std::string("LAST_N"), std::string("a=b")));
    EXPECT_EQ(ParseAssignment("LAST_N="), std::make_pair(std::string("LAST_N"), std::string()));
    EXPECT_FALSE(ParseAssignment("=x"));
    EXPECT_FALSE(ParseAssignment("LAST_N"));
}

TEST(CtlText, FieldsFollowTheFormOfTheLogin) {
    const auto mailbox = TableFields("BOX", false);
    const auto superuser = TableFields("BOX", true);
    ASSERT_TRUE(mailbox && superuser);
    EXPECT_EQ(std::count(mailbox->begin(), mailbox->end(), "NUM"), 0) << "not in the mailbox form";
    EXPECT_EQ(std::count(superuser->begin(), superuser->end(), "NUM"), 1);
    EXPECT_TRUE(IsField("BOX", "screen"));
    EXPECT_FALSE(IsField("BOX", "SCREENX"));
    EXPECT_FALSE(TableFields("box", false));
    EXPECT_EQ(TableNames().size(), 20u);
}

}  // namespace
}  // namespace q5ctl
