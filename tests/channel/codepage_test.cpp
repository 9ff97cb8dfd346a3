#include "channel/codepage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

namespace q5::channel {
namespace {

TEST(Codepage, AccentsAndEuroRoundTrip) {
    if (std::getenv("Q5CLIENT_CODEPAGE") == nullptr) {
        EXPECT_EQ(WireCodePage(), "CP1252");
    }
    EXPECT_EQ(ToWire(u"caf\u00E9 \u20AC5"),
              "caf\xE9 \x80"
              "5");
    EXPECT_EQ(FromWire("caf\xE9 \x80"
                       "5"),
              u"caf\u00E9 \u20AC5");
    EXPECT_EQ(ToWire(u""), "");
    EXPECT_EQ(FromWire(""), u"");
}

TEST(Codepage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(ToWire(u"a\u4E2Db\u0100c"), "a?b?c");
    EXPECT_EQ(ToWire(u"x\U0001F600y"), "x?y");  // one '?' for the whole pair
}

TEST(Codepage, UnpairedSurrogatesBecomeQuestionMarks) {
    const char16_t lone_high[] = {u'a', 0xD800, u'b', 0};
    const char16_t lone_low[] = {0xDC00, u'b', 0};
    const char16_t trailing_high[] = {u'a', 0xDBFF, 0};
    EXPECT_EQ(ToWire(lone_high), "a?b");
    EXPECT_EQ(ToWire(lone_low), "?b");
    EXPECT_EQ(ToWire(trailing_high), "a?");
}

TEST(Codepage, UndefinedBytesKeepTheirValueBothWays) {
    const std::string bytes = "\x81\x8D\x8F\x90\x9D";
    const std::u16string text = FromWire(bytes);
    EXPECT_EQ(text, u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(ToWire(text), bytes);
}

TEST(Codepage, ConcurrentConversionsDoNotInterfere) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&failures, t] {
            for (int i = 0; i < 2000; ++i) {
                if (ToWire(u"\u00E9\u20AC\u4E2D") != "\xE9\x80?" ||
                    FromWire("\xE9\x80\x81") != u"\u00E9\u20AC\u0081") {
                    ++failures[t];
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

// The code page is chosen once per process, so these run in a child process
// that sets the variable before the first conversion.
void ExitWithCodePage(const char* name, const std::string& euro, const char* expected) {
    ::setenv("Q5CLIENT_CODEPAGE", name, 1);
    const bool ok = WireCodePage() == expected && ToWire(u"\u20AC") == euro;
    std::exit(ok ? 0 : 1);
}

TEST(CodepageDeathTest, EnvironmentChoosesCodePage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitWithCodePage("ISO-8859-15", "\xA4", "ISO-8859-15"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitWithCodePage("NO-SUCH-CODEPAGE", "\x80", "CP1252"), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace q5::channel
