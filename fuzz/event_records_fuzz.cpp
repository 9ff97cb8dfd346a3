// Fuzzes the two event streams: the records are cut from the bytes by the
// InBuffer as the session's ReadRecord cuts them, and each record goes
// through both record parsers, checked against a plain re-derivation of the
// field rules. The emulator's record formatters are fed fields taken from
// the input too: every record they make that fits the stream must parse
// back into the fields they were given (cleaned as they clean them).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/in_buffer.h"
#include "component/event_records.h"
#include "protocol.h"

namespace {

using q5::channel::InBuffer;
using q5::channel::ParseDecimal;
using q5::component::ParseQ5Record;
using q5::component::ParseStatusRecord;

constexpr std::size_t kMaxEventRecord = 128;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Inside(std::string_view part, std::string_view whole) {
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

// The non-empty runs of characters outside `separators`, with where each
// ends.
struct Token {
    std::string_view text;
    std::size_t end;
};
std::vector<Token> Tokens(std::string_view text, std::string_view separators) {
    std::vector<Token> tokens;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
            if (i > start) tokens.push_back({text.substr(start, i - start), i});
            start = i + 1;
        }
    }
    return tokens;
}

void CheckStatus(std::string_view record) {
    const auto parsed = ParseStatusRecord(record);
    const std::vector<Token> tokens = Tokens(record, ";.");
    Check(parsed.has_value() == (tokens.size() >= 4));
    if (!parsed) return;
    Check(parsed->channel == static_cast<std::int32_t>(ParseDecimal(tokens[0].text)));
    Check(parsed->mode == tokens[1].text && parsed->box == tokens[2].text &&
          parsed->status == tokens[3].text);
    Check(Inside(parsed->mode, record) && Inside(parsed->box, record) && Inside(parsed->status, record));
}

void CheckQ5(std::string_view record) {
    const auto parsed = ParseQ5Record(record);
    const std::vector<Token> head = Tokens(record, ";");
    std::optional<std::string_view> data3;
    if (head.size() >= 3 && head[2].end < record.size()) {
        // data3: after the ';' that ends data2, leading '.'s skipped, up to
        // the next '.'.
        const std::vector<Token> tail = Tokens(record.substr(head[2].end + 1), ".");
        if (!tail.empty()) data3 = tail.front().text;
    }
    Check(parsed.has_value() == data3.has_value());
    if (!parsed) return;
    Check(parsed->id == static_cast<std::int32_t>(ParseDecimal(head[0].text)));
    Check(parsed->data1 == head[1].text && parsed->data2 == head[2].text && parsed->data3 == *data3);
    Check(Inside(parsed->data3, record));
}

// The emulator's cleaning of one field: the `bad` characters and line breaks
// and NULs become blanks, an empty field one blank.
std::string Cleaned(std::string_view text, std::string_view bad) {
    std::string out(text);
    for (char& c : out) {
        if (bad.find(c) != std::string_view::npos || c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return out.empty() ? std::string(" ") : out;
}

void CheckFormatters(FuzzedDataProvider& input) {
    const int id = input.ConsumeIntegral<int>();
    const std::string a = input.ConsumeRandomLengthString(64);
    const std::string b = input.ConsumeRandomLengthString(64);
    const std::string c = input.ConsumeRandomLengthString(64);
    const std::string d = input.ConsumeRandomLengthString(64);

    const std::string q5 = q5sim::FormatQ5Event(id, a, b, c);
    Check(q5.size() <= kMaxEventRecord && q5.back() == '.' && q5.find('.') == q5.size() - 1);
    const std::string whole =
        std::to_string(id) + ";" + Cleaned(a, ";.") + ";" + Cleaned(b, ";.") + ";" + Cleaned(c, ".") + ".";
    CheckQ5(q5);
    if (whole.size() <= kMaxEventRecord) {
        Check(q5 == whole);
        const auto parsed = ParseQ5Record(q5);
        Check(parsed.has_value());
        Check(parsed->id == id && parsed->data1 == Cleaned(a, ";.") && parsed->data2 == Cleaned(b, ";.") &&
              parsed->data3 == Cleaned(c, "."));
    }

    auto field = [](std::string_view text) {
        std::string out = Cleaned(text, ";.");
        return q5sim::Trim(out).empty() ? std::string("-") : out;
    };
    const std::string status = q5sim::FormatStatusRecord(id, a, b, d);
    Check(status.size() <= kMaxEventRecord && status.back() == '.' && status.find('.') == status.size() - 1);
    CheckStatus(status);
    const std::string full = std::to_string(id) + ";" + field(a) + ";" + field(b) + ";" + field(d) + ".";
    if (full.size() <= kMaxEventRecord) {
        Check(status == full);
        const auto parsed = ParseStatusRecord(status);
        Check(parsed.has_value());
        Check(parsed->channel == id && parsed->mode == field(a) && parsed->box == field(b) &&
              parsed->status == field(d));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(1, 200);
    const bool formatters = input.ConsumeBool();
    if (formatters) {
        CheckFormatters(input);
        return 0;
    }
    const std::string stream = input.ConsumeRemainingBytesAsString();

    // The records as the session cuts them from what arrived so far.
    InBuffer in;
    std::size_t received = 0;
    std::string rejoined;
    for (;;) {
        std::optional<std::string> record = in.TakeRecord(kMaxEventRecord);
        if (!record) {
            if (received == stream.size()) break;
            in.Append(std::string_view(stream).substr(received, chunk));
            received = std::min(stream.size(), received + chunk);
            continue;
        }
        Check(!record->empty() && record->size() <= kMaxEventRecord);
        Check(record->back() == '.' || record->size() == kMaxEventRecord);
        Check(record->find('.') == std::string::npos || record->find('.') == record->size() - 1);
        rejoined += *record;
        CheckStatus(*record);
        CheckQ5(*record);
    }
    Check(rejoined + std::string(in.view()) == stream);
    // What never ended with a '.' is parsed too: a stream may close mid-record.
    CheckStatus(in.view());
    CheckQ5(in.view());
    return 0;
}
