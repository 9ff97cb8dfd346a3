// In-memory form of the registry file.
//
// The file holds one line per entry:
//   key<TAB>name<TAB>value   a value of the key (an empty name is the default value)
//   key                      a key that holds no values
// Key paths use '\' between levels and compare without regard to ASCII case;
// value names compare the same way. A key keeps the spelling it was first
// created with. Lines that do not parse are kept verbatim and written back
// after the entries, so a hand-edited file never loses text.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace q5com::reg {

// True for text free of control characters (below 0x20, and 0x7F).
bool IsValidText(std::string_view text) noexcept;

// True for a non-empty key path of valid text without empty levels (no
// leading, trailing or doubled '\').
bool IsValidKey(std::string_view key) noexcept;

class Store {
public:
    struct Value {
        std::string name;  // as first written
        std::string data;
    };
    struct Key {
        std::string path;                     // as first created
        std::map<std::string, Value> values;  // by lower-cased name
    };

    // Reads the file's text; never fails.
    static Store Parse(std::string_view text);

    // The entries, sorted by key and name, one line each.
    std::string SerializeEntries() const;
    // The entries followed by the lines that did not parse.
    std::string Serialize() const;

    // Each mutator takes validated arguments and reports whether the store
    // changed. Creating a key creates its missing parents too.
    bool CreateKey(std::string_view key);
    bool SetValue(std::string_view key, std::string_view name, std::string_view data);
    // Removes the key and every key below it.
    bool DeleteTree(std::string_view key);

    const Key* FindKey(std::string_view key) const;
    const std::string* FindValue(std::string_view key, std::string_view name) const;

    const std::vector<std::string>& UnparsedLines() const noexcept { return unparsed_; }

private:
    // Keys by folded path, which orders every key directly before its subkeys.
    std::map<std::string, Key> keys_;
    std::vector<std::string> unparsed_;
};

}  // namespace q5com::reg
