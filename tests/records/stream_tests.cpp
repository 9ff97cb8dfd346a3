// The record stream codec on bytes in memory: the length prefixes at their
// boundaries, the UTF-16 form, and streams that end early or lie about a
// length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/record_stream.h"

namespace q5::records {
namespace {

using namespace std::string_literals;

std::string Encoded(const std::string& text) {
    RecordWriter writer;
    EXPECT_TRUE(writer.WriteString(text));
    return writer.bytes();
}

// The prefix alone: what Encoded puts before the text.
std::string PrefixOf(std::size_t length) {
    const std::string bytes = Encoded(std::string(length, 'x'));
    return bytes.substr(0, bytes.size() - length);
}

TEST(RecordWriter, PrefixFormChangesExactlyAtItsBoundaries) {
    EXPECT_EQ(PrefixOf(0), "\x00"s);
    EXPECT_EQ(PrefixOf(3), "\x03"s);
    EXPECT_EQ(PrefixOf(254), "\xFE"s);
    EXPECT_EQ(PrefixOf(255), "\xFF\xFF\x00"s);
    EXPECT_EQ(PrefixOf(300), "\xFF\x2C\x01"s);
    EXPECT_EQ(PrefixOf(65533), "\xFF\xFD\xFF"s);
    // 65534 as a 16-bit length would read back as the UTF-16 mark.
    EXPECT_EQ(PrefixOf(65534), "\xFF\xFF\xFF\xFE\xFF\x00\x00"s);
    EXPECT_EQ(PrefixOf(65535), "\xFF\xFF\xFF\xFF\xFF\x00\x00"s);
    EXPECT_EQ(PrefixOf(70000), "\xFF\xFF\xFF\x70\x11\x01\x00"s);
}

TEST(RecordWriter, TextFollowsItsPrefixUnchanged) {
    EXPECT_EQ(Encoded("abc"), "\003abc"s);
    EXPECT_EQ(Encoded("a\0b\x80"s), "\004a\0b\x80"s);
}

TEST(RecordWriter, StringBeyondTheLimitIsRefusedAndNothingIsWritten) {
    RecordWriter writer;
    ASSERT_TRUE(writer.WriteString("ok"));
    EXPECT_FALSE(writer.WriteString(std::string(kMaxStringBytes + 1, 'x')));
    EXPECT_EQ(writer.bytes(), "\x02ok"s);
    EXPECT_TRUE(writer.WriteString(std::string(kMaxStringBytes, 'x')));
}

class ReaderRoundTrip : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ReaderRoundTrip, ReadsBackWhatTheWriterWroteAndNoMore) {
    std::string text(GetParam(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 + 1);
    const std::string bytes = Encoded(text) + "\x01Z"s;
    MemorySource source(bytes);
    RecordReader reader(source);
    std::string out;
    ASSERT_TRUE(reader.ReadString(out));
    EXPECT_EQ(out, text);
    EXPECT_EQ(source.remaining(), 2u);
    ASSERT_TRUE(reader.ReadString(out));
    EXPECT_EQ(out, "Z");
}

INSTANTIATE_TEST_SUITE_P(PrefixBoundaries, ReaderRoundTrip,
                         ::testing::Values(0, 1, 254, 255, 256, 65533, 65534, 65535, 65536, 200000));

TEST(RecordReader, LongerPrefixThanNeededIsStillRead) {
    // Another writer may use a wider form than the shortest one.
    const std::string bytes = "\xFF\x02\x00hi\xFF\xFF\xFF\x01\x00\x00\x00z"s;
    MemorySource source(bytes);
    RecordReader reader(source);
    std::string out;
    ASSERT_TRUE(reader.ReadString(out));
    EXPECT_EQ(out, "hi");
    ASSERT_TRUE(reader.ReadString(out));
    EXPECT_EQ(out, "z");
}

// ---- UTF-16 form ------------------------------------------------------------------------

std::string ReadOne(const std::string& bytes, StreamError* error = nullptr) {
    MemorySource source(bytes);
    RecordReader reader(source);
    std::string out;
    const bool ok = reader.ReadString(out);
    if (error) *error = reader.error();
    return ok ? out : "<failed>";
}

TEST(RecordReaderWide, TwoCharactersBecomeTwoBytesOfText) {
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\002a\0b\0"s), "ab");
}

TEST(RecordReaderWide, CharacterCountMayUseTheLongPrefix) {
    std::string units;
    for (int i = 0; i < 300; ++i) units += "q\0"s;
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\xFF\x2C\x01"s + units), std::string(300, 'q'));
}

TEST(RecordReaderWide, TextIsConvertedToTheWireCodePage) {
    // U+20AC is 0x80 in the default code page; U+4E2D has no place in it.
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\x03\xAC\040x\0\x2D\x4E"s), "\x80x?");
}

TEST(RecordReaderWide, EmptyWideStringIsEmptyText) {
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\x00"s), "");
}

// ---- Streams that end early or hold a bad length ------------------------------------------

TEST(RecordReaderFailure, EveryCutInsideAStringFailsAsEnded) {
    const std::string whole = Encoded("abc") + Encoded(std::string(300, 'y')) +
                              Encoded(std::string(70000, 'z')) + "\xFF\xFE\xFF\002a\0b\0"s;
    const std::size_t strings = 4;
    for (std::size_t cut = 0; cut < whole.size(); cut += (cut < 400 ? 1 : 997)) {
        MemorySource source(std::string_view(whole).substr(0, cut));
        RecordReader reader(source);
        std::string out;
        std::size_t read = 0;
        while (read < strings && reader.ReadString(out)) ++read;
        ASSERT_LT(read, strings) << "cut at " << cut;
        EXPECT_EQ(reader.error(), StreamError::ended) << "cut at " << cut;
    }
}

TEST(RecordReaderFailure, FailureIsStickySoNoLaterStringStartsMidStream) {
    const std::string bytes = "\005ab"s;
    MemorySource source(bytes);
    RecordReader reader(source);
    std::string out;
    EXPECT_FALSE(reader.ReadString(out));
    EXPECT_FALSE(reader.ReadString(out));
    EXPECT_EQ(reader.error(), StreamError::ended);
}

TEST(RecordReaderFailure, LengthBeyondTheLimitIsMalformedNotAWait) {
    StreamError error = StreamError::none;
    EXPECT_EQ(ReadOne("\xFF\xFF\xFF\x01\x00\x10\x00"s, &error), "<failed>");
    EXPECT_EQ(error, StreamError::malformed);
    EXPECT_EQ(ReadOne("\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s, &error), "<failed>");
    EXPECT_EQ(error, StreamError::malformed);
}

TEST(RecordReaderFailure, WideCountWhoseBytesExceedTheLimitIsMalformed) {
    StreamError error = StreamError::none;
    // (kMaxStringBytes / 2 + 1) characters: 0x00080001.
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\xFF\xFF\xFF\x01\x00\x08\x00"s, &error), "<failed>");
    EXPECT_EQ(error, StreamError::malformed);
}

TEST(RecordReaderFailure, SecondWideMarkIsMalformed) {
    StreamError error = StreamError::none;
    EXPECT_EQ(ReadOne("\xFF\xFE\xFF\xFF\xFE\xFF\001a\0"s, &error), "<failed>");
    EXPECT_EQ(error, StreamError::malformed);
}

TEST(RecordReaderFailure, LengthAtTheLimitIsAcceptedWhenTheBytesArePresent) {
    const std::string text(kMaxStringBytes, 'k');
    EXPECT_EQ(ReadOne(Encoded(text)), text);
}

}  // namespace
}  // namespace q5::records
