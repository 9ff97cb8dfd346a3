#include "channel/reply_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/in_buffer.h"

namespace q5::channel {
namespace {

constexpr std::size_t kMaxLine = 1022;

// What a reader made of a stream and what it left in the buffer.
struct Result {
    bool finished = false;
    std::string value;
    std::vector<int> jobs;
    bool refused = false;
    std::string left;
    bool operator==(const Result&) const = default;
};

// Feeds `reader` the lines of `stream`, which arrives as two receives split
// at `split`, taking lines from an InBuffer as the session does.
template <class Reader, class Collect>
Result Drive(Reader& reader, const std::string& stream, std::size_t split, Collect collect) {
    InBuffer in;
    in.Append(stream.substr(0, split));
    bool second_arrived = false;
    Result result;
    for (;;) {
        std::optional<std::string> line = in.TakeLine(kMaxLine);
        if (!line) {
            if (second_arrived) break;
            in.Append(stream.substr(split));
            second_arrived = true;
            continue;
        }
        // The session feeds the line as its line buffer holds it.
        const std::string_view text(line->c_str());
        if (reader.Feed(text) == ReadState::done) {
            result.finished = true;
            break;
        }
    }
    collect(reader, result);
    if (!second_arrived) in.Append(stream.substr(split));
    result.left = std::string(in.view());
    return result;
}

TEST(MultiLineValue, ReadsTheSameValueWhereverTheBytesAreSplit) {
    // A line longer than a reply line (read as two), a NUL that hides the
    // rest of its line, a line starting with '.' that is not the first
    // character, and the next reply behind the closing line.
    const std::string stream = "AB12\r\n" + std::string(1500, 'x') + "\r\n" +
                               std::string("n\0hidden\r\n", 10) + " .not the end\r\n.\r\n+OK next\r\n";
    const auto collect = [](MultiLineValue& reader, Result& result) { result.value = reader.value(); };
    MultiLineValue whole;
    const Result expected = Drive(whole, stream, stream.size(), collect);
    ASSERT_TRUE(expected.finished);
    EXPECT_EQ(expected.value, "AB12\r\n" + std::string(1500, 'x') + "\r\nn .not the end\r\n");
    EXPECT_EQ(expected.left, "+OK next\r\n");
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        MultiLineValue reader;
        ASSERT_EQ(Drive(reader, stream, split, collect), expected) << "split at " << split;
    }
}

TEST(MultiLineValue, KeepsAtMostTheLimitButReadsOnToTheDotLine) {
    MultiLineValue reader;
    const std::string line = std::string(998, 'v') + "\r\n";
    for (int i = 0; i < 3; ++i) ASSERT_EQ(reader.Feed(line), ReadState::need_more);
    EXPECT_EQ(reader.value(), (line + line + line).substr(0, MultiLineValue::kMaxValue));
    EXPECT_EQ(reader.Feed(".\r\n"), ReadState::done);
}

TEST(FaxJobList, ReadsTheSameListWhereverTheBytesAreSplit) {
    const std::string stream = "12\r\n 15 and text\r\nx\r\n -2147483649\r\n+OK 4\r\n-ERR after\r\n";
    const auto collect = [](FaxJobList& list, Result& result) { result.refused = list.refused(); };
    std::vector<int> whole_jobs(8, -7);
    FaxJobList whole(whole_jobs.data(), 8);
    Result expected = Drive(whole, stream, stream.size(), collect);
    ASSERT_TRUE(expected.finished);
    EXPECT_FALSE(expected.refused);
    EXPECT_EQ(whole.count(), 5);
    EXPECT_EQ(whole_jobs, (std::vector<int>{12, 15, 0, -2147483647 - 1, 0, -7, -7, -7}));
    EXPECT_EQ(expected.left, "-ERR after\r\n");
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        std::vector<int> jobs(8, -7);
        FaxJobList list(jobs.data(), 8);
        ASSERT_EQ(Drive(list, stream, split, collect), expected) << "split at " << split;
        ASSERT_EQ(jobs, whole_jobs) << "split at " << split;
    }
}

TEST(FaxJobList, StoresOnlyWhileThereIsRoomAndNeverThroughANullArray) {
    int jobs[2] = {-1, -1};
    FaxJobList one(jobs, 1);
    EXPECT_EQ(one.Feed("5\r\n"), ReadState::need_more);
    EXPECT_EQ(one.Feed("6\r\n"), ReadState::need_more);
    EXPECT_EQ(one.Feed("-ERR\r\n"), ReadState::done);
    EXPECT_EQ(one.count(), 1);
    EXPECT_TRUE(one.refused());
    EXPECT_EQ(jobs[1], -1);

    FaxJobList none(nullptr, 10);
    EXPECT_EQ(none.Feed("+OK\r\n"), ReadState::done);
    EXPECT_EQ(none.count(), 0);
    FaxJobList negative(jobs, -3);
    EXPECT_EQ(negative.Feed("-ERR\r\n"), ReadState::done);
    EXPECT_EQ(negative.count(), 0);
}

TEST(FileSizeOf, TakesOnlyPlainDigitsWithin32Bits) {
    EXPECT_EQ(FileSizeOf("+OK 1234\r\n"), 1234);
    EXPECT_EQ(FileSizeOf("+OK   2147483647 bytes\r\n"), 2147483647);
    EXPECT_EQ(FileSizeOf("+OK 2147483648\r\n"), std::nullopt);
    EXPECT_EQ(FileSizeOf("+OK 99999999999999999999999\r\n"), std::nullopt);
    EXPECT_EQ(FileSizeOf("+OK -5\r\n"), std::nullopt);
    EXPECT_EQ(FileSizeOf("+OK 12x\r\n"), std::nullopt);
    EXPECT_EQ(FileSizeOf("+OK\r\n"), std::nullopt);
    EXPECT_EQ(FileSizeOf("+OK   \r\n"), std::nullopt);
}

}  // namespace
}  // namespace q5::channel
