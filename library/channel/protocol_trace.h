// ProtocolTrace: a support log of one session's command lines and status
// lines. When Q5CLIENT_TRACE names a file as a session connects, every line
// the session sends or reads as a line is appended to that file as
//
//   2026-12-08T23:40:01.123Z 7 > USER 101
//   2026-12-08T23:40:01.125Z 7 < +OK
//
// (UTC time with milliseconds, the process-wide number of the connection,
// the direction, the line without its line end; control bytes as \xNN).
// Record bytes, file bytes and event stream records never pass through it,
// and the argument of PASS (the password of USER and SU logins alike) is
// written as ***. A file that cannot be opened leaves tracing off without a
// word. Each entry is one write(2) on a file opened for appending, so the
// connections of several threads and processes may share one file.
//
// Thread rule: one thread uses a ProtocolTrace (the session's).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace q5::channel {

class ProtocolTrace {
public:
    // The trace named by Q5CLIENT_TRACE, opened for appending; null when the
    // variable is unset or empty or the file cannot be opened.
    static std::unique_ptr<ProtocolTrace> FromEnvironment();
    // The trace written to `path`; null when it cannot be opened.
    static std::unique_ptr<ProtocolTrace> Open(const char* path);

    ProtocolTrace(const ProtocolTrace&) = delete;
    ProtocolTrace& operator=(const ProtocolTrace&) = delete;
    ~ProtocolTrace();

    // A line sent; a PASS line's argument is written as ***. An entry that
    // cannot be made (no memory, a full disk) is dropped.
    void Sent(std::string_view line) noexcept;
    // A line read.
    void Received(std::string_view line) noexcept;
    // A remark of the session's own (connection made or lost).
    void Note(std::string_view text) noexcept;

    // The text an entry holds for `line`: line end dropped, PASS argument
    // masked, control bytes escaped. Exposed for tests.
    static std::string Shown(std::string_view line, bool sent);

private:
    ProtocolTrace(int fd, unsigned long number) : fd_(fd), number_(number) {}
    void Write(char direction, std::string_view text) noexcept;
    void WriteShown(char direction, std::string_view line, bool sent) noexcept;

    int fd_;
    unsigned long number_;
};

}  // namespace q5::channel
