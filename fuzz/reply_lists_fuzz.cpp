// Fuzzes the readers of multi-line replies: the value of SERIAL/VERSION and
// the fax job list of ENUMFAXJOBS, fed with reply lines taken from an
// InBuffer as the session takes them.
//
// First byte: the size of each receive; second byte: the reader and the
// capacity of the job array (allocated exactly, so a store past it is seen);
// the rest: the connection's bytes. The result must not depend on how the
// bytes were split into receives, and must match the lines fed: the value is
// the lines before the '.' line cut to its limit; the jobs are the numbers at
// the start of the lines up to the first '+' or '-' line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/in_buffer.h"
#include "channel/reply_readers.h"

namespace {

using q5::channel::FaxJobList;
using q5::channel::InBuffer;
using q5::channel::MultiLineValue;
using q5::channel::ParseDecimal;
using q5::channel::ReadState;

constexpr std::size_t kMaxReplyLine = 1022;

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Outcome {
    bool done = false;
    std::string value;
    std::vector<int> jobs;
    bool refused = false;
    std::string left;  // bytes behind the closing line
    std::vector<std::string> fed;
    bool operator==(const Outcome&) const = default;
};

// Takes reply lines from the stream arriving `chunk` bytes at a time and
// feeds them to `feed` until it says done or the stream ends.
template <class Feed>
Outcome Drive(std::string_view stream, std::size_t chunk, Feed feed) {
    InBuffer in;
    std::size_t received = 0;
    Outcome outcome;
    for (;;) {
        std::optional<std::string> line = in.TakeLine(kMaxReplyLine);
        if (!line) {
            if (received == stream.size()) break;
            const std::string_view piece = stream.substr(received, chunk);
            in.Append(piece);
            received += piece.size();
            continue;
        }
        Check(line->size() <= kMaxReplyLine);
        // As the session's line buffer holds it: up to a NUL.
        const std::string text(line->c_str());
        outcome.fed.push_back(text);
        if (feed(text) == ReadState::done) {
            outcome.done = true;
            break;
        }
    }
    outcome.left = std::string(in.view()) + std::string(stream.substr(received));
    return outcome;
}

Outcome ReadValue(std::string_view stream, std::size_t chunk) {
    MultiLineValue reader;
    Outcome outcome = Drive(stream, chunk, [&](const std::string& line) { return reader.Feed(line); });
    outcome.value = reader.value();
    return outcome;
}

Outcome ReadJobs(std::string_view stream, std::size_t chunk, int capacity) {
    // Exactly `capacity` slots: AddressSanitizer reports a store past them.
    std::unique_ptr<int[]> slots(capacity > 0 ? new int[static_cast<std::size_t>(capacity)] : nullptr);
    FaxJobList list(slots.get(), capacity);
    Outcome outcome = Drive(stream, chunk, [&](const std::string& line) { return list.Feed(line); });
    outcome.jobs.assign(slots.get(), slots.get() + list.count());
    outcome.refused = list.refused();
    return outcome;
}

void CheckValue(const Outcome& outcome) {
    std::string expected;
    bool closed = false;
    for (const std::string& line : outcome.fed) {
        Check(!closed);  // nothing is fed after the closing line
        if (!line.empty() && line[0] == '.') {
            closed = true;
            continue;
        }
        expected += line;
    }
    Check(closed == outcome.done);
    Check(outcome.value == expected.substr(0, MultiLineValue::kMaxValue));
}

void CheckJobs(const Outcome& outcome, int capacity) {
    Check(outcome.jobs.size() == std::min<std::size_t>(outcome.fed.size(), capacity > 0 ? capacity : 0));
    for (std::size_t i = 0; i < outcome.jobs.size(); ++i) {
        Check(outcome.jobs[i] == static_cast<int>(ParseDecimal(outcome.fed[i])));
    }
    for (std::size_t i = 0; i < outcome.fed.size(); ++i) {
        const std::string& line = outcome.fed[i];
        const bool closing = !line.empty() && (line[0] == '+' || line[0] == '-');
        Check(closing == (outcome.done && i + 1 == outcome.fed.size()));
    }
    Check(outcome.refused == (outcome.done && outcome.fed.back()[0] == '-'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t chunk = 1 + data[0] % 128;
    const bool jobs = data[1] & 1;
    const int capacity = static_cast<int>(data[1] >> 1) % 20 - 2;  // -2 .. 17
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    if (jobs) {
        const Outcome split = ReadJobs(stream, chunk, capacity);
        CheckJobs(split, capacity);
        Check(split == ReadJobs(stream, stream.size() + 1, capacity));
    } else {
        const Outcome split = ReadValue(stream, chunk);
        CheckValue(split);
        Check(split == ReadValue(stream, stream.size() + 1));
    }
    return 0;
}
