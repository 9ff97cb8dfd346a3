// Fuzzes the emulator's reading of the wire: command lines assembled from
// bytes arriving in pieces, split into words, and the record that follows
// SEND_Q5_EVENT; plus the file-name rules applied to every word.
//
// Checked: the lines do not depend on how the bytes were split and match a
// plain re-derivation (LF ends a line, CR LF is dropped, a line over the
// limit is dropped whole); a parsed command joins back into its line; a
// record the client formats is read back into its two values.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "protocol.h"

namespace {

using namespace q5sim;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

bool IsTrimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    return text.empty() || (kSpace.find(text.front()) == std::string_view::npos &&
                            kSpace.find(text.back()) == std::string_view::npos);
}

void CheckCommand(std::string_view line) {
    const auto command = ParseCommandLine(line);
    const bool clean =
        !line.empty() && line.front() != ' ' &&
        std::none_of(line.begin(), line.end(), [](char c) { return IsControl(c) && c != '\t'; });
    Check(command.has_value() == clean);
    if (!command) return;
    Check(command->text == line);
    Check(!command->keyword.empty() && command->keyword.find(' ') == std::string::npos);
    std::string joined = command->keyword;
    for (const std::string& arg : command->args) {
        Check(arg.find(' ') == std::string::npos);
        joined += ' ' + arg;
    }
    Check(joined == line);
    if (!command->args.empty()) Check(command->keyword + ' ' + command->Tail(0) == line);
    Check(command->Tail(command->args.size()).empty());

    for (const std::string& word : command->args) {
        Check(Trim(word) == Trim(Trim(word)) && IsTrimmed(Trim(word)));
        if (IsMailboxNumber(word))
            Check(word.size() <= 16 && word.find_first_not_of("0123456789") == std::string::npos);
        if (!IsSafeFileName(word)) continue;
        Check(word.size() <= 255 && word.find_first_of("/\\") == std::string::npos &&
              word.find("..") == std::string::npos);
        const std::string wav = V2wTarget(word);
        Check(wav.size() >= 4 && wav.substr(wav.size() - 4) == ".wav" && wav.find('/') == std::string::npos);
        const std::string vox = W2vTarget(word);
        Check(vox.size() >= 4 && vox.substr(vox.size() - 4) == ".vox" && vox.find('/') == std::string::npos);
        Check(V2wSources(word).front() == word && W2vSources(word).front() == word);
    }
    const auto record = ParseVRecord(line);
    if (record) Check(IsTrimmed(record->v) && IsTrimmed(record->x));
}

// The lines of `stream` as a reader that knows nothing of pieces sees them;
// "\n" (which no line holds) marks an over-long line, and the unfinished rest is not a line.
std::vector<std::string> ModelLines(std::string_view stream, std::size_t max) {
    std::vector<std::string> lines;
    std::size_t lf;
    while ((lf = stream.find('\n')) != std::string_view::npos) {
        std::string line(stream.substr(0, lf + 1));
        stream.remove_prefix(lf + 1);
        if (line.size() > max) {
            lines.emplace_back("\n");
            continue;
        }
        line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// The event record that the client sends after SEND_Q5_EVENT: "20;v1;v2 "
// with every '.' made a blank, and the closing '.'.
std::string ClientVRecord(std::string_view v1, std::string_view v2) {
    std::string record = "20;" + std::string(v1) + ";" + std::string(v2) + " ";
    std::replace(record.begin(), record.end(), '.', ' ');
    return record + ".";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t max =
        input.ConsumeBool() ? kMaxLineBytes : input.ConsumeIntegralInRange<std::size_t>(0, 40);
    const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();

    // The client's event record, read back.
    const std::string v1 = input.ConsumeRandomLengthString(40);
    const std::string v2 = input.ConsumeRandomLengthString(40);
    const auto values = ParseVRecord(ClientVRecord(v1, v2));
    if (v1.find(';') == std::string::npos) {
        Check(values.has_value());
        std::string v = v1, x = v2;
        std::replace(v.begin(), v.end(), '.', ' ');
        std::replace(x.begin(), x.end(), '.', ' ');
        Check(values->v == Trim(v) && values->x == Trim(x));
    }

    const std::string stream = input.ConsumeRemainingBytesAsString();
    // Received in pieces of pseudo-random sizes.
    std::vector<std::string> lines;
    LineAssembler assembler(max);
    std::uint32_t state = seed | 1;
    std::string_view rest = stream;
    while (!rest.empty()) {
        state = state * 1103515245u + 12345u;
        std::string_view piece = rest.substr(0, 1 + (state >> 16) % 64);
        rest.remove_prefix(piece.size());
        while (!piece.empty()) {
            const std::size_t used = assembler.Feed(piece);
            Check(used <= piece.size());
            piece.remove_prefix(used);
            if (!assembler.complete()) {
                Check(piece.empty());
                break;
            }
            lines.push_back(assembler.too_long() ? std::string("\n") : assembler.Take());
            assembler = LineAssembler(max);
        }
    }
    Check(lines == ModelLines(stream, max));
    for (const std::string& line : lines) {
        if (line == "\n") continue;
        Check(line.size() <= max);
        CheckCommand(line);
    }
    // Whatever is left unread as a record, too.
    CheckCommand(stream.substr(0, 300));
    return 0;
}
