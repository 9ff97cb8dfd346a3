#include "channel/reply_readers.h"

#include <algorithm>
#include <limits>

#include "channel/in_buffer.h"

namespace q5::channel {

std::optional<std::int32_t> FileSizeOf(std::string_view line) noexcept {
    std::size_t start = line.find(' ');
    if (start == std::string_view::npos) return std::nullopt;
    start = line.find_first_not_of(' ', start);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = line.find_first_of(" \r\n", start);
    const std::string_view word = line.substr(start, end == std::string_view::npos ? end : end - start);
    if (word.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

ReadState MultiLineValue::Feed(std::string_view line) {
    if (!line.empty() && line.front() == '.') return ReadState::done;
    const std::size_t room = kMaxValue - value_.size();
    value_.append(line.substr(0, room));
    return ReadState::need_more;
}

FaxJobList::FaxJobList(int* jobs, int capacity) noexcept
    : jobs_(jobs), capacity_(jobs != nullptr ? std::max(capacity, 0) : 0) {}

ReadState FaxJobList::Feed(std::string_view line) noexcept {
    if (count_ < capacity_) jobs_[count_++] = static_cast<std::int32_t>(ParseDecimal(line));
    if (IsRefusal(line) || IsAcceptance(line)) {
        refused_ = IsRefusal(line);
        return ReadState::done;
    }
    return ReadState::need_more;
}

}  // namespace q5::channel
