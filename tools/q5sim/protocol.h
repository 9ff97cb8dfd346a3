// The text side of the line protocol as q5sim speaks it: splitting command
// lines, checking names that come from the wire, the naming rules of the
// voice conversions, and the event records of the two event streams.
//
// Thread rule: stateless functions; any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q5sim {

// A command line holds at most this many bytes, its line end included.
inline constexpr std::size_t kMaxLineBytes = 1024;
// An event record holds at most this many characters, its '.' included.
inline constexpr std::size_t kMaxEventRecord = 128;

struct CommandLine {
    std::string keyword;            // first word, as sent
    std::vector<std::string> args;  // the words after it; single blanks separate, so words may be empty
    std::string text;               // the whole line without its line end

    // The words from `index` on, joined again with single blanks (free text
    // such as a caller's name).
    std::string Tail(std::size_t index) const;
};

// Collects one command line from the bytes of a connection as they arrive:
// fed whatever is buffered, it takes the bytes up to and including the first
// LF and leaves the rest. A line longer than `max` bytes (line end included)
// is still read to its end, but dropped.
class LineAssembler {
public:
    explicit LineAssembler(std::size_t max) noexcept : max_(max) {}
    // Takes bytes from the front of `data`; returns how many it took.
    std::size_t Feed(std::string_view data);
    // The LF arrived.
    bool complete() const noexcept { return complete_; }
    bool too_long() const noexcept { return overlong_; }
    // The line without its CR LF (empty for an over-long line).
    std::string Take();

private:
    std::size_t max_;
    std::string line_;
    bool overlong_ = false;
    bool complete_ = false;
};

// Splits one line (without its line end). Nullopt for an empty line or one
// holding a NUL or another control character except tab.
std::optional<CommandLine> ParseCommandLine(std::string_view line);

// Removes blanks, tabs, CR and LF at both ends.
std::string Trim(std::string_view text);

// An upload is written under this prefix and renamed when it is complete.
inline constexpr std::string_view kPartialUploadPrefix = ".part-";

// A file name inside a mailbox folder: non-empty, at most 255 bytes, without
// '/', '\', "..", NUL or other control characters, and not the name of an
// upload in progress (kPartialUploadPrefix).
bool IsSafeFileName(std::string_view name);

// A mailbox number: 1 to 16 decimal digits.
bool IsMailboxNumber(std::string_view text);

// ---- Voice conversions -------------------------------------------------------
// V2W of X reads X, or X + ".vox" when X does not exist, and writes X with its
// last extension replaced by ".wav" (a name without extension gets ".wav").
// W2V of X reads X, or X without a final ".wav" when X does not exist, and
// writes X without a final ".wav", plus ".vox".
std::vector<std::string> V2wSources(std::string_view name);
std::string V2wTarget(std::string_view name);
std::vector<std::string> W2vSources(std::string_view name);
std::string W2vTarget(std::string_view name);

// ---- Event records ---------------------------------------------------------------
// "id;data1;data2;data3." with every field made safe for the stream: no '.',
// no line breaks, no ';' in the first two data fields, and no empty field
// (an empty one is sent as a blank, since the reader collapses empty fields).
// Cut to kMaxEventRecord characters.
std::string FormatQ5Event(int id, std::string_view data1, std::string_view data2, std::string_view data3);
// "channel;mode;box;status." with the same care.
std::string FormatStatusRecord(int channel, std::string_view mode, std::string_view box,
                               std::string_view status);

// The record that follows SEND_Q5_EVENT: "20;value;value ." -- its fields
// split at ';' and trimmed, the closing '.' removed. Nullopt when it holds
// fewer than three fields or does not start with 20.
struct VRecord {
    std::string v;
    std::string x;
};
std::optional<VRecord> ParseVRecord(std::string_view record);

}  // namespace q5sim
