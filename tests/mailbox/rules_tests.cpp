// The encodings of the mailbox windows and their progress sink, without a
// server.
#include <gtest/gtest.h>

#include "mailbox/mailbox_rules.h"
#include "mailbox/progress_sink.h"

namespace q5::mailbox {
namespace {

TEST(MailboxRules, OneZeroBoxIsCheckedOnlyByNumbersOfAtLeastOne) {
    EXPECT_FALSE(OneZeroChecked(QStringLiteral("0")));
    EXPECT_FALSE(OneZeroChecked(QStringLiteral("x")));
    EXPECT_FALSE(OneZeroChecked(QString()));
    EXPECT_FALSE(OneZeroChecked(QStringLiteral("-3")));
    EXPECT_TRUE(OneZeroChecked(QStringLiteral("1")));
    EXPECT_TRUE(OneZeroChecked(QStringLiteral("2")));
    EXPECT_TRUE(OneZeroChecked(QStringLiteral(" 1 ")));
}

TEST(MailboxRules, YesNoBoxIsCheckedOnlyByExactY) {
    EXPECT_TRUE(YesNoChecked(QStringLiteral("Y"), false));
    EXPECT_FALSE(YesNoChecked(QStringLiteral("y"), true));
    EXPECT_FALSE(YesNoChecked(QStringLiteral("Y "), false));
    EXPECT_TRUE(YesNoChecked(QStringLiteral(" Y "), true));
    EXPECT_FALSE(YesNoChecked(QStringLiteral("YES"), true));
}

TEST(MailboxRules, ConversionNamesAndCodesAreExactAndCaseSensitive) {
    EXPECT_EQ(ConversionName(QStringLiteral("/G")), QStringLiteral("Greeting"));
    EXPECT_EQ(ConversionName(QStringLiteral("9999999")), QStringLiteral("Main Menu"));
    EXPECT_EQ(ConversionName(QStringLiteral("/g")), QStringLiteral("/g"));
    EXPECT_EQ(ConversionName(QStringLiteral("2345")), QStringLiteral("2345"));
    EXPECT_EQ(ConversionCode(QStringLiteral("Pager")), QStringLiteral("/B"));
    EXPECT_EQ(ConversionCode(QStringLiteral("Cell")), QStringLiteral("/T"));
    EXPECT_EQ(ConversionCode(QStringLiteral("greeting")), QStringLiteral("greeting"));
    EXPECT_EQ(ConversionCode(QStringLiteral("2001")), QStringLiteral("2001"));
}

TEST(MailboxRules, KeyOneIsConTbl0AndKeyZeroIsConTbl9) {
    EXPECT_EQ(ConversionField(1), QStringLiteral("CON_TBL_0"));
    EXPECT_EQ(ConversionField(9), QStringLiteral("CON_TBL_8"));
    EXPECT_EQ(ConversionField(0), QStringLiteral("CON_TBL_9"));
}

TEST(MailboxRules, OptionCodesMatchExactlyAndUnknownMatchesNone) {
    EXPECT_EQ(OptionIndex(kScreenCodes, QStringLiteral("V")), 1);
    EXPECT_EQ(OptionIndex(kScreenCodes, QStringLiteral("C")), 3);
    EXPECT_EQ(OptionIndex(kScreenCodes, QStringLiteral("Q")), -1);
    EXPECT_EQ(OptionIndex(kScreenCodes, QStringLiteral("v")), -1);
    EXPECT_EQ(OptionIndex(kMwiCodes, QStringLiteral("W")), 2);
    EXPECT_EQ(OptionIndex(kDelTypeCodes, QStringLiteral("S")), 1);
    EXPECT_EQ(OptionCode(kTransferCodes, 2), QStringLiteral("D"));
    EXPECT_TRUE(OptionCode(kTransferCodes, -1).isEmpty());
}

TEST(MailboxRules, ScheduleTimesFallBackToNoonForBothWhenFromIsNotFourCharacters) {
    SchedulePair pair = ScheduleTimes(QStringLiteral("0830"), QStringLiteral("1715"));
    EXPECT_EQ(pair.from.hour, 8);
    EXPECT_EQ(pair.from.minute, 30);
    EXPECT_EQ(pair.until.hour, 17);
    EXPECT_EQ(pair.until.minute, 15);
    pair = ScheduleTimes(QString(), QStringLiteral("1715"));
    EXPECT_EQ(pair.from.hour, 12);
    EXPECT_EQ(pair.until.hour, 12);
    EXPECT_EQ(pair.until.minute, 0);
    pair = ScheduleTimes(QStringLiteral(" 0900  "), QStringLiteral("10"));
    EXPECT_EQ(pair.from.hour, 9);
    EXPECT_EQ(pair.until.hour, 10);
    EXPECT_FALSE(pair.until.minute.has_value());  // the picker keeps its minute
    EXPECT_EQ(Hhmm(7, 5), QStringLiteral("0705"));
}

TEST(MailboxRules, TimePartThatIsNotANumberIsLeftOut) {
    const TimeParts parts = SplitHhmm(QStringLiteral("x930"));
    EXPECT_FALSE(parts.hour.has_value());
    EXPECT_EQ(parts.minute, 30);
    EXPECT_FALSE(SplitHhmm(QStringLiteral("2561")).hour.has_value());
}

TEST(MailboxRules, ProgressRoundsHalfToEvenWithinOneToHundred) {
    EXPECT_EQ(ProgressPercent(0, 1000), 1);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(25, 1000), 2);    // 2.5
    EXPECT_EQ(ProgressPercent(35, 1000), 4);    // 3.5
    EXPECT_EQ(ProgressPercent(145, 1000), 14);  // 14.5
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(5000, 1000), 100);
    EXPECT_EQ(ProgressPercent(500, 0), 0);
}

TEST(MailboxRules, RemoteNamesTheServerCannotStoreAreRefused) {
    EXPECT_TRUE(RemoteNameProblem(QStringLiteral("greeting.txt")).isEmpty());
    EXPECT_TRUE(RemoteNameProblem(QStringLiteral("abcdefghijk.txt")).isEmpty());    // 15
    EXPECT_FALSE(RemoteNameProblem(QStringLiteral("abcdefghijkl.txt")).isEmpty());  // 16
    EXPECT_FALSE(RemoteNameProblem(QStringLiteral("my file.txt")).isEmpty());
    EXPECT_FALSE(RemoteNameProblem(QStringLiteral("a/b.txt")).isEmpty());
    EXPECT_FALSE(RemoteNameProblem(QStringLiteral("a\r\nb")).isEmpty());
    EXPECT_FALSE(RemoteNameProblem(QString()).isEmpty());
}

TEST(MailboxRules, ErrorOutcomes) {
    EXPECT_EQ(OutcomeOf(E_FAIL), ErrorOutcome::skip);
    EXPECT_EQ(OutcomeOf(E_CONNECTION_LOST), ErrorOutcome::reconnect);
    EXPECT_EQ(OutcomeOf(E_FILE_OPEN), ErrorOutcome::show_error);
}

TEST(ProgressSinkTest, CountsReferencesAndForwardsProgressUntilDetached) {
    int calls = 0;
    LONG last = -1;
    ProgressSink* self = nullptr;
    ComPtr<ISupportEvents> sink = ProgressSink::Create(
        [&](LONG bytes, LONG) {
            ++calls;
            last = bytes;
        },
        &self);
    ASSERT_NE(self, nullptr);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(sink->QueryInterface(IID_IUnknown, unknown.AsOut()), S_OK);
    EXPECT_EQ(sink->AddRef(), 3u);
    EXPECT_EQ(sink->Release(), 2u);
    ComPtr<IQ5Table> wrong;
    EXPECT_EQ(sink->QueryInterface(IID_IQ5Table, wrong.AsOut()), E_NOINTERFACE);
    EXPECT_EQ(sink->GetProgress(2048, 4096), S_OK);
    EXPECT_EQ(sink->GetStatus(1, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(sink->GetQ5Event(1, nullptr, nullptr, nullptr), S_OK);
    self->Detach();
    EXPECT_EQ(sink->GetProgress(4096, 4096), S_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(last, 2048);
}

}  // namespace
}  // namespace q5::mailbox
