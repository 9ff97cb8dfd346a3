#include "registry_store.h"

#include <algorithm>

namespace q5com::reg {
namespace {

constexpr char kSeparator = '\\';
// Stands for the separator in folded paths. It sorts below every character
// a key may hold, so "a\b" and "a\b\c" come before "a-b" and "ab".
constexpr char kFoldedSeparator = '\x01';

char AsciiLower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), AsciiLower);
    return folded;
}

std::string FoldKey(std::string_view key) {
    std::string folded(key);
    for (char& c : folded) c = c == kSeparator ? kFoldedSeparator : AsciiLower(c);
    return folded;
}

bool IsUnder(std::string_view folded, std::string_view root) noexcept {
    return folded.size() > root.size() && folded.substr(0, root.size()) == root &&
           folded[root.size()] == kFoldedSeparator;
}

}  // namespace

bool IsValidText(std::string_view text) noexcept {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

bool IsValidKey(std::string_view key) noexcept {
    if (key.empty() || !IsValidText(key)) return false;
    if (key.front() == kSeparator || key.back() == kSeparator) return false;
    return key.find("\\\\") == std::string_view::npos;
}

Store Store::Parse(std::string_view text) {
    Store store;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) continue;

        const std::size_t tab1 = line.find('\t');
        if (tab1 == std::string_view::npos) {
            if (IsValidKey(line)) {
                store.CreateKey(line);
                continue;
            }
        } else {
            const std::size_t tab2 = line.find('\t', tab1 + 1);
            if (tab2 != std::string_view::npos) {
                const std::string_view key = line.substr(0, tab1);
                const std::string_view name = line.substr(tab1 + 1, tab2 - tab1 - 1);
                const std::string_view data = line.substr(tab2 + 1);
                // A third tab lands in data and makes it invalid.
                if (IsValidKey(key) && IsValidText(name) && IsValidText(data)) {
                    store.SetValue(key, name, data);
                    continue;
                }
            }
        }
        store.unparsed_.emplace_back(line);
    }
    return store;
}

std::string Store::SerializeEntries() const {
    std::string out;
    for (const auto& [folded, key] : keys_) {
        if (key.values.empty()) {
            out += key.path;
            out += '\n';
            continue;
        }
        for (const auto& [foldedName, value] : key.values) {
            out += key.path;
            out += '\t';
            out += value.name;
            out += '\t';
            out += value.data;
            out += '\n';
        }
    }
    return out;
}

std::string Store::Serialize() const {
    std::string out = SerializeEntries();
    for (const std::string& line : unparsed_) {
        out += line;
        out += '\n';
    }
    return out;
}

bool Store::CreateKey(std::string_view key) {
    bool changed = false;
    std::string parentPath;
    std::size_t start = 0;
    // Walk the levels from the top, creating each one that is missing under
    // the spelling its parent already has.
    while (start <= key.size()) {
        std::size_t end = key.find(kSeparator, start);
        if (end == std::string_view::npos) end = key.size();
        const std::string_view level = key.substr(start, end - start);
        const std::string folded = FoldKey(key.substr(0, end));

        auto it = keys_.find(folded);
        if (it == keys_.end()) {
            Key created;
            created.path =
                parentPath.empty() ? std::string(level) : parentPath + kSeparator + std::string(level);
            it = keys_.emplace(folded, std::move(created)).first;
            changed = true;
        }
        parentPath = it->second.path;
        start = end + 1;
    }
    return changed;
}

bool Store::SetValue(std::string_view key, std::string_view name, std::string_view data) {
    bool changed = CreateKey(key);
    Key& target = keys_.at(FoldKey(key));
    auto [it, inserted] = target.values.try_emplace(FoldName(name));
    if (inserted) {
        it->second.name = std::string(name);
    } else if (it->second.data == data) {
        return changed;
    }
    it->second.data = std::string(data);
    return true;
}

bool Store::DeleteTree(std::string_view key) {
    const std::string root = FoldKey(key);
    auto first = keys_.lower_bound(root);
    auto last = first;
    while (last != keys_.end() && (last->first == root || IsUnder(last->first, root))) ++last;
    if (first == last) return false;
    keys_.erase(first, last);
    return true;
}

const Store::Key* Store::FindKey(std::string_view key) const {
    const auto it = keys_.find(FoldKey(key));
    return it == keys_.end() ? nullptr : &it->second;
}

const std::string* Store::FindValue(std::string_view key, std::string_view name) const {
    const Key* found = FindKey(key);
    if (!found) return nullptr;
    const auto it = found->values.find(FoldName(name));
    return it == found->values.end() ? nullptr : &it->second.data;
}

}  // namespace q5com::reg
