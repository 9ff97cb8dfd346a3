#include "component/event_records.h"

#include "channel/in_buffer.h"

namespace q5::component {

namespace {

// Splits off the next field the way a tokenizer does: skips leading
// separators, then takes everything up to the next separator. The rest
// starts after that separator. Nullopt when only separators are left.
std::optional<std::string_view> NextField(std::string_view& rest, std::string_view separators) {
    const std::size_t start = rest.find_first_not_of(separators);
    if (start == std::string_view::npos) {
        rest = {};
        return std::nullopt;
    }
    const std::size_t end = rest.find_first_of(separators, start);
    const std::string_view field = rest.substr(start, end == std::string_view::npos ? end : end - start);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return field;
}

std::int32_t Number(std::string_view text) {
    return static_cast<std::int32_t>(channel::ParseDecimal(text));
}

}  // namespace

std::optional<StatusRecord> ParseStatusRecord(std::string_view record) {
    constexpr std::string_view kSeparators = ";.";
    std::string_view rest = record;
    const auto channel = NextField(rest, kSeparators);
    const auto mode = NextField(rest, kSeparators);
    const auto box = NextField(rest, kSeparators);
    const auto status = NextField(rest, kSeparators);
    if (!channel || !mode || !box || !status) return std::nullopt;
    return StatusRecord{Number(*channel), *mode, *box, *status};
}

std::optional<Q5Record> ParseQ5Record(std::string_view record) {
    std::string_view rest = record;
    const auto id = NextField(rest, ";");
    const auto data1 = NextField(rest, ";");
    const auto data2 = NextField(rest, ";");
    // The last field ends at the '.' and keeps any ';' it holds.
    const auto data3 = NextField(rest, ".");
    if (!id || !data1 || !data2 || !data3) return std::nullopt;
    return Q5Record{Number(*id), *data1, *data2, *data3};
}

}  // namespace q5::component
