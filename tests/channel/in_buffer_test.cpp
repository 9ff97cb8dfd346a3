#include "channel/in_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q5::channel {
namespace {

// What one connection's readers take, in order: a reply line, an event
// record, five raw bytes, another reply line; `rest` is what stays buffered.
struct Reads {
    std::string line1, record, raw, line2, rest;
    bool operator==(const Reads&) const = default;
};

const std::string kStream = std::string("+OK 5\r\n") + "7;ab;c." + "HE.\nO" + "-ERR x\r\n" + "tail";

// Takes the pieces from `chunks`, receiving the next chunk only when a take
// cannot be satisfied from what is buffered -- as the session does.
Reads ReadInPieces(const std::vector<std::string>& chunks) {
    InBuffer in;
    std::size_t next = 0;
    auto receive = [&] {
        if (next == chunks.size()) return false;
        in.Append(chunks[next++]);
        return true;
    };
    auto line = [&] {
        std::optional<std::string> taken;
        while (!(taken = in.TakeLine(1022)) && receive()) {
        }
        return taken.value_or("<missing>");
    };
    Reads reads;
    reads.line1 = line();
    std::optional<std::string> record;
    while (!(record = in.TakeRecord(128)) && receive()) {
    }
    reads.record = record.value_or("<missing>");
    char raw[5];
    std::size_t got = 0;
    while ((got += in.TakeBytes(raw + got, sizeof raw - got)) < sizeof raw && receive()) {
    }
    reads.raw.assign(raw, got);
    reads.line2 = line();
    while (receive()) {
    }
    reads.rest = std::string(in.view());
    return reads;
}

TEST(InBuffer, ReadersTakeTheSameBytesWhereverThePacketsSplit) {
    const Reads whole = ReadInPieces({kStream});
    ASSERT_EQ(whole, (Reads{"+OK 5\r\n", "7;ab;c.", "HE.\nO", "-ERR x\r\n", "tail"}));
    for (std::size_t i = 0; i <= kStream.size(); ++i) {
        for (std::size_t j = i; j <= kStream.size(); ++j) {
            const Reads split =
                ReadInPieces({kStream.substr(0, i), kStream.substr(i, j - i), kStream.substr(j)});
            ASSERT_EQ(split, whole) << "split at " << i << " and " << j;
        }
    }
    std::vector<std::string> bytes;
    for (char c : kStream) bytes.emplace_back(1, c);
    EXPECT_EQ(ReadInPieces(bytes), whole);
}

TEST(InBuffer, LineWithoutLineFeedIsCutAtMaxAndRestStays) {
    InBuffer in;
    in.Append(std::string(1500, 'x') + "\r\n");
    EXPECT_EQ(in.TakeLine(1022), std::string(1022, 'x'));
    EXPECT_EQ(in.TakeLine(1022), std::string(478, 'x') + "\r\n");
    EXPECT_TRUE(in.empty());

    in.Append(std::string(127, 'r') + "..");
    EXPECT_EQ(in.TakeRecord(128), std::string(127, 'r') + ".");
    EXPECT_EQ(in.TakeRecord(128), ".");
    in.Append(std::string(130, 'r') + ".");
    EXPECT_EQ(in.TakeRecord(128), std::string(128, 'r'));
}

TEST(InBuffer, IncompletePieceIsLeftUntouched) {
    InBuffer in;
    in.Append("+OK no line end");
    EXPECT_FALSE(in.TakeLine(1022).has_value());
    EXPECT_FALSE(in.TakeRecord(128).has_value());
    EXPECT_EQ(in.view(), "+OK no line end");
    char out[64];
    EXPECT_EQ(in.TakeBytes(out, sizeof out), 15u);
    EXPECT_EQ(in.TakeBytes(out, sizeof out), 0u);
}

TEST(InBuffer, LongStreamStaysInOrderWhileTakenBytesAreDropped) {
    std::string stream;
    for (int i = 0; i < 5000; ++i) stream += "line " + std::to_string(i) + "\n";
    // Chunks that end inside a line keep a partial line buffered throughout.
    InBuffer in;
    int read = 0;
    for (std::size_t at = 0; at < stream.size(); at += 997) {
        in.Append(stream.substr(at, 997));
        while (auto line = in.TakeLine(1022)) {
            ASSERT_EQ(*line, "line " + std::to_string(read++) + "\n");
        }
    }
    EXPECT_EQ(read, 5000);
    EXPECT_TRUE(in.empty());
}

TEST(ParseDecimal, ReadsLikeTheServerWritesNumbers) {
    EXPECT_EQ(ParseDecimal(" \r\n\t 42."), 42);
    EXPECT_EQ(ParseDecimal("-17;x"), -17);
    EXPECT_EQ(ParseDecimal("+5"), 5);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("OK 12"), 0);
    EXPECT_EQ(ParseDecimal("- 5"), 0);
    EXPECT_EQ(ParseDecimal("-"), 0);
    EXPECT_EQ(ParseDecimal("00012"), 12);
    EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
    EXPECT_EQ(ParseDecimal("99999999999999999999999"), 2147483647);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999"), -2147483647 - 1);
}

TEST(ValueOf, StartsAtTheFifthCharacter) {
    EXPECT_EQ(ValueOf("+OK abc\r\n"), "abc\r\n");
    EXPECT_EQ(ValueOf("+OK x"), "x");
    EXPECT_EQ(ValueOf("+OK "), "");
    EXPECT_EQ(ValueOf("+OK"), "");
    EXPECT_EQ(ValueOf(""), "");
}

}  // namespace
}  // namespace q5::channel
