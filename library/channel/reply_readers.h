// Readers of the replies that span several lines, and the small rules that
// read a value out of one reply line. They parse apart from the socket: the
// session takes each reply line from its InBuffer and feeds it here, so the
// same code can be driven with bytes from memory.
//
// A reader is fed each line as the session's line buffer holds it: the text
// up to the first NUL, line end included. It says whether it wants another
// line or has read its closing line.
//
// Thread rule: no lock; one thread uses a reader at a time. The free
// functions are stateless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q5::channel {

enum class ReadState {
    need_more,  // feed the next line
    done        // the closing line was read; feed nothing more
};

// The status rule: a reply that starts with '-' is a refusal.
constexpr bool IsRefusal(std::string_view line) noexcept {
    return !line.empty() && line.front() == '-';
}
// The upload's closing rule: only a reply that starts with '+' accepts.
constexpr bool IsAcceptance(std::string_view line) noexcept {
    return !line.empty() && line.front() == '+';
}

// The file size of a GETFILE reply: its second blank-separated word, which
// ends at a blank or the line end. Only plain digits within 32 bits count;
// nullopt otherwise.
std::optional<std::int32_t> FileSizeOf(std::string_view line) noexcept;

// The lines after the reply to SERIAL or VERSION: every line up to one that
// starts with '.', each with its line end. At most kMaxValue characters are
// kept, but every line up to the '.' line is read.
class MultiLineValue {
public:
    static constexpr std::size_t kMaxValue = 2047;

    ReadState Feed(std::string_view line);
    // The value read so far (all of it once Feed returned done).
    const std::string& value() const noexcept { return value_; }
    std::string Take() noexcept { return std::move(value_); }

private:
    std::string value_;
};

// The reply to ENUMFAXJOBS and the lines after it: one job number at the
// start of each line, up to and including the status line that closes the
// list (the first line that starts with '+' or '-'; the reply itself may be
// it). The number of every line, the closing one included, is stored while
// the caller's array has room; the rest are read and dropped.
class FaxJobList {
public:
    // `jobs` may be null (nothing is stored); a negative capacity is none.
    FaxJobList(int* jobs, int capacity) noexcept;

    ReadState Feed(std::string_view line) noexcept;
    // Numbers stored so far.
    int count() const noexcept { return count_; }
    // The closing line was a refusal.
    bool refused() const noexcept { return refused_; }

private:
    int* jobs_;
    int capacity_;
    int count_ = 0;
    bool refused_ = false;
};

}  // namespace q5::channel
