// Fuzzes the reply-line reader and the value rules of one reply line.
//
// The first two bytes drive the reading: the size of each receive and the
// sequence of takes (line, event record, raw bytes, with varying limits);
// the rest is the connection's bytes. Checked against a plain model of the
// unread bytes: every take returns exactly the front of what is unread, a
// line or record ends at its delimiter or fills its limit, nothing is lost
// or duplicated. Each line taken then goes through ValueOf, ParseDecimal,
// the GETFILE size and the decision rules, each compared with a
// straightforward re-derivation.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "channel/in_buffer.h"
#include "channel/reply_readers.h"

namespace {

using q5::channel::FileSizeOf;
using q5::channel::InBuffer;
using q5::channel::IsAcceptance;
using q5::channel::IsRefusal;
using q5::channel::ParseDecimal;
using q5::channel::ValueOf;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// ParseDecimal re-derived with from_chars: the digit run after white space
// and one sign, saturated to 32 bits.
long ModelDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == i) return 0;
    unsigned long long value = 0;
    const auto [ptr, error] = std::from_chars(text.data() + i, text.data() + end, value);
    Check(ptr == text.data() + end);
    constexpr unsigned long long kMax = std::numeric_limits<std::int32_t>::max();
    if (error == std::errc::result_out_of_range || value > kMax + 1) value = kMax + 1;
    if (negative) return -static_cast<long>(value);
    return static_cast<long>(std::min(value, kMax));
}

// The GETFILE size re-derived: the second blank-separated word (ending at a
// blank, CR or LF) read whole as an unsigned number within 32 bits.
std::optional<std::int32_t> ModelSize(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    std::string_view word = line.substr(blank);
    while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
    word = word.substr(0, word.find_first_of(" \r\n"));
    if (word.empty() || word.front() < '0' || word.front() > '9') return std::nullopt;
    std::uint64_t value = 0;
    const auto [ptr, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || ptr != word.data() + word.size()) return std::nullopt;
    if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void CheckLine(const std::string& line) {
    // The session sees a line as its line buffer holds it: up to a NUL.
    const std::string_view text(line.c_str());
    const std::string_view value = ValueOf(text);
    Check(text.size() > 4 ? value == text.substr(4) : value.empty());
    Check(ParseDecimal(text) == ModelDecimal(text));
    Check(ParseDecimal(value) == ModelDecimal(value));
    Check(FileSizeOf(text) == ModelSize(text));
    Check(IsRefusal(text) == (!text.empty() && text[0] == '-'));
    Check(IsAcceptance(text) == (!text.empty() && text[0] == '+'));
    Check(!(IsRefusal(text) && IsAcceptance(text)));
}

// The expected piece for a take that ends at `delimiter` within `max` bytes.
std::optional<std::string> ModelPiece(std::string_view unread, char delimiter, std::size_t max) {
    if (max == 0) return std::string();
    const std::size_t at = unread.substr(0, max).find(delimiter);
    if (at != std::string_view::npos) return std::string(unread.substr(0, at + 1));
    if (unread.size() >= max) return std::string(unread.substr(0, max));
    return std::nullopt;
}

constexpr std::size_t kLimits[] = {1022, 128, 1, 0, 2, 7, 4096, 1022};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t chunk = 1 + data[0] % 64;  // bytes per receive
    std::uint32_t program = data[1] * 2654435761u + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

    InBuffer in;
    std::string unread;  // model: bytes received and not yet taken
    std::size_t received = 0;
    std::string taken;  // every byte any take returned, in order
    auto receive = [&] {
        if (received == stream.size()) return false;
        const std::string_view piece = stream.substr(received, chunk);
        in.Append(piece);
        unread.append(piece);
        received += piece.size();
        return true;
    };

    for (int steps = 0; steps < 100000; ++steps) {
        program = program * 1103515245u + 12345u;
        const unsigned op = (program >> 16) % 8;
        const std::size_t max = kLimits[(program >> 20) % 8];
        Check(in.view() == unread);
        if (op < 5) {
            // Mostly reply lines, as the command channel reads.
            const std::optional<std::string> expected = ModelPiece(unread, '\n', max);
            const std::optional<std::string> line = in.TakeLine(max);
            Check(line == expected);
            if (!line) {
                if (!receive()) break;
                continue;
            }
            CheckLine(*line);
            taken += *line;
            unread.erase(0, line->size());
        } else if (op < 7) {
            const std::optional<std::string> expected = ModelPiece(unread, '.', max);
            const std::optional<std::string> record = in.TakeRecord(max);
            Check(record == expected);
            if (!record) {
                if (!receive()) break;
                continue;
            }
            taken += *record;
            unread.erase(0, record->size());
        } else {
            char out[4096];
            const std::size_t n = in.TakeBytes(out, max);
            Check(n == std::min(max, unread.size()));
            Check(std::string_view(out, n) == std::string_view(unread).substr(0, n));
            taken.append(out, n);
            unread.erase(0, n);
            if (n == 0 && max != 0 && !receive()) break;
        }
    }
    // Nothing lost, nothing duplicated.
    Check(taken + unread == stream.substr(0, received));
    return 0;
}
