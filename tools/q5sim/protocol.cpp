#include "protocol.h"

#include <algorithm>

namespace q5sim {

namespace {

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

// Replaces the characters of `bad` (and line breaks) by blanks; an empty
// result becomes one blank.
std::string Clean(std::string_view text, std::string_view bad) {
    std::string out(text);
    for (char& c : out) {
        if (bad.find(c) != std::string_view::npos || c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    if (out.empty()) out = " ";
    return out;
}

std::string Close(std::string record) {
    if (record.size() > kMaxEventRecord - 1) record.resize(kMaxEventRecord - 1);
    record += '.';
    return record;
}

}  // namespace

std::string CommandLine::Tail(std::size_t index) const {
    std::string out;
    for (std::size_t i = index; i < args.size(); ++i) {
        if (i > index) out += ' ';
        out += args[i];
    }
    return out;
}

std::size_t LineAssembler::Feed(std::string_view data) {
    if (complete_) return 0;
    const std::size_t lf = data.find('\n');
    const std::size_t end = lf == std::string_view::npos ? data.size() : lf + 1;
    if (!overlong_) line_.append(data.substr(0, end));
    if (line_.size() > max_) {
        overlong_ = true;
        line_.clear();
    }
    complete_ = lf != std::string_view::npos;
    return end;
}

std::string LineAssembler::Take() {
    std::string line = std::move(line_);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<CommandLine> ParseCommandLine(std::string_view line) {
    if (line.empty()) return std::nullopt;
    for (char c : line) {
        if (IsControl(c) && c != '\t') return std::nullopt;
    }
    CommandLine command;
    command.text = std::string(line);
    std::size_t start = 0;
    std::vector<std::string> words;
    while (true) {
        const std::size_t blank = line.find(' ', start);
        words.emplace_back(line.substr(start, blank == std::string_view::npos ? blank : blank - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    command.keyword = words.front();
    if (command.keyword.empty()) return std::nullopt;
    command.args.assign(words.begin() + 1, words.end());
    return command;
}

std::string Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kSpace);
    return std::string(text.substr(first, last - first + 1));
}

bool IsSafeFileName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    if (name.find("..") != std::string_view::npos) return false;
    if (name.substr(0, kPartialUploadPrefix.size()) == kPartialUploadPrefix) return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '/' || c == '\\' || IsControl(c); });
}

bool IsMailboxNumber(std::string_view text) {
    return !text.empty() && text.size() <= 16 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> V2wSources(std::string_view name) {
    return {std::string(name), std::string(name) + ".vox"};
}

std::string V2wTarget(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    // A leading dot starts a name, not an extension.
    if (dot == std::string_view::npos || dot == 0) return std::string(name) + ".wav";
    return std::string(name.substr(0, dot)) + ".wav";
}

std::vector<std::string> W2vSources(std::string_view name) {
    std::vector<std::string> sources{std::string(name)};
    if (EndsWithNoCase(name, ".wav") && name.size() > 4)
        sources.emplace_back(name.substr(0, name.size() - 4));
    return sources;
}

std::string W2vTarget(std::string_view name) {
    if (EndsWithNoCase(name, ".wav") && name.size() > 4) name.remove_suffix(4);
    return std::string(name) + ".vox";
}

std::string FormatQ5Event(int id, std::string_view data1, std::string_view data2, std::string_view data3) {
    return Close(std::to_string(id) + ";" + Clean(data1, ";.") + ";" + Clean(data2, ";.") + ";" +
                 Clean(data3, "."));
}

std::string FormatStatusRecord(int channel, std::string_view mode, std::string_view box,
                               std::string_view status) {
    auto field = [](std::string_view text) {
        std::string out = Clean(text, ";.");
        // Blank fields would still count as fields, but a tidy stream has none.
        if (Trim(out).empty()) out = "-";
        return out;
    };
    return Close(std::to_string(channel) + ";" + field(mode) + ";" + field(box) + ";" + field(status));
}

std::optional<VRecord> ParseVRecord(std::string_view record) {
    if (!record.empty() && record.back() == '.') record.remove_suffix(1);
    const std::size_t first = record.find(';');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = record.find(';', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    if (Trim(record.substr(0, first)) != "20") return std::nullopt;
    return VRecord{Trim(record.substr(first + 1, second - first - 1)), Trim(record.substr(second + 1))};
}

}  // namespace q5sim
