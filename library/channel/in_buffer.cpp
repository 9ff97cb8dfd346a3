#include "channel/in_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace q5::channel {

namespace {

// Once this many taken bytes sit at the front, they are dropped on the next
// take (when they are also more than half of the storage), so the buffer does
// not grow with the life of a connection.
constexpr std::size_t kCompactThreshold = 4096;

// Length of the piece that ends at the first `delimiter` within `max` bytes,
// the delimiter included; 0 when neither the delimiter nor `max` bytes are
// available yet.
std::size_t PieceLength(std::string_view pending, char delimiter, std::size_t max) {
    const std::string_view window = pending.substr(0, max);
    const std::size_t at = window.find(delimiter);
    if (at != std::string_view::npos) return at + 1;
    return pending.size() >= max ? max : 0;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

void InBuffer::Append(const char* data, std::size_t size) {
    if (size == 0) return;
    data_.append(data, size);
}

void InBuffer::Clear() noexcept {
    data_.clear();
    start_ = 0;
}

void InBuffer::Consume(std::size_t n) {
    start_ += n;
    if (start_ >= data_.size()) {
        Clear();
    } else if (start_ >= kCompactThreshold && start_ > data_.size() / 2) {
        data_.erase(0, start_);
        start_ = 0;
    }
}

std::optional<std::string> InBuffer::TakeLine(std::size_t max) {
    if (max == 0) return std::string();
    const std::size_t n = PieceLength(view(), '\n', max);
    if (n == 0) return std::nullopt;
    std::string line(view().substr(0, n));
    Consume(n);
    return line;
}

std::optional<std::string> InBuffer::TakeRecord(std::size_t max) {
    if (max == 0) return std::string();
    const std::size_t n = PieceLength(view(), '.', max);
    if (n == 0) return std::nullopt;
    std::string record(view().substr(0, n));
    Consume(n);
    return record;
}

std::size_t InBuffer::TakeBytes(char* out, std::size_t max) {
    const std::size_t n = std::min(max, size());
    if (n == 0) return 0;
    std::memcpy(out, data_.data() + start_, n);
    Consume(n);
    return n;
}

long ParseDecimal(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    return static_cast<long>(value);
}

std::string_view ValueOf(std::string_view line) noexcept {
    return line.size() > 4 ? line.substr(4) : std::string_view();
}

}  // namespace q5::channel
