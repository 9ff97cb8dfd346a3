// Text helpers of q5ctl: UTF-8 and UTF-16, JSON, the command line's small
// grammars (HOST[:PORT], FIELD=VALUE) and the offline knowledge of the
// tables and their fields.
//
// Thread rule: pure functions and immutable data; any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace q5ctl {

// Exit statuses of the tool.
enum Exit : int {
    kOk = 0,
    kRefused = 1,     // the server (or the library on its behalf) said no
    kUsage = 2,       // the command line was wrong
    kConnection = 3,  // no connection, or it was lost
    kLocalFile = 4,   // a local file could not be read or written
};

// UTF-8 to UTF-16; nullopt when `text` is not valid UTF-8.
std::optional<std::u16string> FromUtf8(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// {"name":"value",...} in the order given.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members);

struct HostPort {
    std::string host;
    int port = 0;
};
// "HOST" or "HOST:PORT" (PORT 1..65535); nullopt when malformed. A TLS host
// ("tls://HOST[:PORT][#sha256=HEX]") is kept whole, with the default port:
// the library reads it.
std::optional<HostPort> ParseHost(std::string_view text, int default_port);

// "FIELD=VALUE" split at the first '='; nullopt without '=' or with an empty
// field name.
std::optional<std::pair<std::string, std::string>> ParseAssignment(std::string_view text);

// A whole decimal number that fits 32 bits; nullopt otherwise.
std::optional<int> ParseInt(std::string_view text);

// The value with trailing CR, LF and blanks removed.
std::string TrimEnd(std::string text);

// The twenty table names, in the library's order.
std::vector<std::string> TableNames();
// The fields of `table` reachable by name, in transfer order, as the
// privileged form (superuser) or the mailbox form carries them; nullopt for
// an unknown table.
std::optional<std::vector<std::string>> TableFields(std::string_view table, bool privileged);
// Whether `field` names a field of the table (any case, as the library
// matches names).
bool IsField(std::string_view table, std::string_view field);

}  // namespace q5ctl
