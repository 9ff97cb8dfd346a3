// The emulator's reading of command lines and names from the wire, and the
// naming rules that the greeting manager's and call control's sequences
// depend on.
#include "protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q5sim {
namespace {

// The lines a LineAssembler makes of `stream` received in two parts split at
// `split`; an over-long line shows as "<too long>", a missing end as "<open>".
std::vector<std::string> AssembleLines(const std::string& stream, std::size_t split, std::size_t max) {
    const std::string_view parts[2] = {std::string_view(stream).substr(0, split),
                                       std::string_view(stream).substr(split)};
    std::vector<std::string> lines;
    LineAssembler assembler(max);
    for (std::string_view part : parts) {
        while (!part.empty()) {
            part.remove_prefix(assembler.Feed(part));
            if (!assembler.complete()) break;
            lines.push_back(assembler.too_long() ? "<too long>" : assembler.Take());
            assembler = LineAssembler(max);
        }
    }
    if (assembler.Take() != "" || assembler.too_long()) lines.push_back("<open>");
    return lines;
}

TEST(LineAssemblerTest, LinesAreTheSameWhereverTheBytesAreSplitAndOverLongOnesAreSkippedWhole) {
    const std::string stream = "NOOP\r\nGET BOX\n" + std::string(30, 'x') + "\r\n\r\nUSER 101\r\nQU";
    const std::vector<std::string> expected = {"NOOP", "GET BOX", "<too long>", "", "USER 101", "<open>"};
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        ASSERT_EQ(AssembleLines(stream, split, 20), expected) << "split at " << split;
    }
    // The limit counts the line end: 18 characters and CR LF fit in 20.
    EXPECT_EQ(AssembleLines(std::string(18, 'a') + "\r\n", 5, 20),
              std::vector<std::string>{std::string(18, 'a')});
    EXPECT_EQ(AssembleLines(std::string(19, 'a') + "\r\n", 5, 20), std::vector<std::string>{"<too long>"});
}

TEST(CommandLineTest, EmptyArgumentsKeepTheirPlaceInsteadOfShiftingTheRest) {
    // The client sends a missing string as empty text: "RENFILE 101  b".
    const auto command = ParseCommandLine("RENFILE 101  b");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->keyword, "RENFILE");
    EXPECT_EQ(command->args, (std::vector<std::string>{"101", "", "b"}));
    EXPECT_EQ(ParseCommandLine("GETFILE 101 ")->args, (std::vector<std::string>{"101", ""}));
}

TEST(CommandLineTest, FreeTextIsJoinedBackTogether) {
    const auto command = ParseCommandLine("SIM_CALL 101 5550100 MARY ANN  SMITH");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->Tail(2), "MARY ANN  SMITH");
    EXPECT_EQ(command->Tail(9), "");
}

TEST(CommandLineTest, LinesWithControlCharactersOrNoKeywordAreRefused) {
    EXPECT_FALSE(ParseCommandLine(std::string("GET BOX\0X", 9)));
    EXPECT_FALSE(ParseCommandLine("GET\x1b BOX"));
    EXPECT_FALSE(ParseCommandLine(""));
    EXPECT_FALSE(ParseCommandLine(" GET BOX"));
}

TEST(FileNameTest, NamesThatLeaveTheMailboxFolderAreRefused) {
    for (const char* bad : {"../q5sim.db", "..", "a/b", "/etc/passwd", "a\\b", "x..y", "", "bad\nname"}) {
        EXPECT_FALSE(IsSafeFileName(bad)) << bad;
    }
    EXPECT_FALSE(IsSafeFileName(std::string("a\0b", 3)));
    EXPECT_FALSE(IsSafeFileName(std::string(256, 'a')));
    for (const char* good : {"greet4.spa", "VS7", "Name.wav", "greetTR.spa.vox", ".hidden"}) {
        EXPECT_TRUE(IsSafeFileName(good)) << good;
    }
}

TEST(FileNameTest, MailboxNumbersAreDigitsOnly) {
    EXPECT_TRUE(IsMailboxNumber("101"));
    EXPECT_FALSE(IsMailboxNumber("10a"));
    EXPECT_FALSE(IsMailboxNumber(""));
    EXPECT_FALSE(IsMailboxNumber("12345678901234567"));
}

TEST(ConversionNameTest, GetGreetingSequencesFindTheFileTheyFetch) {
    // English: V2W of greetC.vox, then GETFILE greetC.wav.
    EXPECT_EQ(V2wTarget("greet4.vox"), "greet4.wav");
    EXPECT_EQ(V2wTarget("greet.vox"), "greet.wav");
    // Other languages: V2W of greetC.spa, then GETFILE greetC.wav.
    EXPECT_EQ(V2wTarget("greet4.spa"), "greet4.wav");
    EXPECT_EQ(V2wTarget("greetTR.spa"), "greetTR.wav");
    EXPECT_EQ(V2wTarget("Name.vox"), "Name.wav");
    // Call control: V2W of VS7 (stored without extension), then VS7.wav.
    EXPECT_EQ(V2wTarget("VS7"), "VS7.wav");
    EXPECT_EQ(V2wSources("VS7"), (std::vector<std::string>{"VS7", "VS7.vox"}));
    EXPECT_EQ(V2wTarget(".vox"), ".vox.wav");
}

TEST(ConversionNameTest, TransmitGreetingSequencesLeaveTheFileTheyRename) {
    // English: PUTFILE greetC.wav, W2V greetC.wav gives greetC.vox.
    EXPECT_EQ(W2vTarget("greetT.wav"), "greetT.vox");
    EXPECT_EQ(W2vSources("greetT.wav"), (std::vector<std::string>{"greetT.wav", "greetT"}));
    // Other languages: PUTFILE S, W2V S.wav reads S (S.wav is missing) and
    // writes S.vox, which RENFILE then moves to S.
    EXPECT_EQ(W2vSources("greet4.spa.wav"), (std::vector<std::string>{"greet4.spa.wav", "greet4.spa"}));
    EXPECT_EQ(W2vTarget("greet4.spa.wav"), "greet4.spa.vox");
    EXPECT_EQ(W2vTarget("Name.WAV"), "Name.vox");
    EXPECT_EQ(W2vTarget("plain"), "plain.vox");
    EXPECT_EQ(W2vSources(".wav"), (std::vector<std::string>{".wav"}));
}

TEST(EventRecordTest, EmptyAndUnsafeFieldsDoNotBreakTheRecordApart) {
    EXPECT_EQ(FormatQ5Event(1, "00712345", "5550100", ""), "1;00712345;5550100; .");
    EXPECT_EQ(FormatQ5Event(1, "k", "", "J. R.; Smith"), "1;k; ;J  R ; Smith.");
    EXPECT_EQ(FormatQ5Event(10, "k;x", "1.5", "a\r\nb"), "10;k x;1 5;a  b.");
    const std::string longest = FormatQ5Event(1, "k", "n", std::string(300, 'x'));
    EXPECT_EQ(longest.size(), kMaxEventRecord);
    EXPECT_EQ(longest.back(), '.');
    EXPECT_EQ(FormatStatusRecord(3, "IDLE", "", "ON.HOOK"), "3;IDLE;-;ON HOOK.");
}

TEST(EventRecordTest, VValueRecordsOfBothClientFormsAreRead) {
    const auto vx = ParseVRecord("20;1;101 .");
    ASSERT_TRUE(vx);
    EXPECT_EQ(vx->v, "1");
    EXPECT_EQ(vx->x, "101");
    const auto v = ParseVRecord("20;3;  .");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->v, "3");
    EXPECT_EQ(v->x, "");
    EXPECT_FALSE(ParseVRecord("21;1;2 ."));
    EXPECT_FALSE(ParseVRecord("20;1 ."));
}

}  // namespace
}  // namespace q5sim
