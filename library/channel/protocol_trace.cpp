#include "channel/protocol_trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace q5::channel {

namespace {

std::atomic<unsigned long> next_number{1};

// "2026-12-08T23:40:01.123Z"
std::string Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(ms % 1000));
    return text;
}

}  // namespace

std::unique_ptr<ProtocolTrace> ProtocolTrace::FromEnvironment() {
    const char* path = std::getenv("Q5CLIENT_TRACE");
    if (path == nullptr || *path == '\0') return nullptr;
    return Open(path);
}

std::unique_ptr<ProtocolTrace> ProtocolTrace::Open(const char* path) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    return std::unique_ptr<ProtocolTrace>(new ProtocolTrace(fd, next_number.fetch_add(1)));
}

ProtocolTrace::~ProtocolTrace() {
    ::close(fd_);
}

std::string ProtocolTrace::Shown(std::string_view line, bool sent) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    constexpr std::string_view kPass = "PASS";
    if (sent && line.size() >= kPass.size() && line.substr(0, kPass.size()) == kPass &&
        (line.size() == kPass.size() || line[kPass.size()] == ' ')) {
        return "PASS ***";
    }
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out.append(escaped);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void ProtocolTrace::Sent(std::string_view line) noexcept {
    WriteShown('>', line, true);
}

void ProtocolTrace::Received(std::string_view line) noexcept {
    WriteShown('<', line, false);
}

void ProtocolTrace::Note(std::string_view text) noexcept {
    Write('-', text);
}

void ProtocolTrace::WriteShown(char direction, std::string_view line, bool sent) noexcept {
    try {
        Write(direction, Shown(line, sent));
    } catch (...) {
        // No memory for the entry: it is dropped.
    }
}

void ProtocolTrace::Write(char direction, std::string_view text) noexcept try {
    std::string entry = Timestamp();
    entry.append(" ").append(std::to_string(number_)).append(" ");
    entry.push_back(direction);
    entry.append(" ").append(text).append("\n");
    // One write per entry keeps entries of concurrent writers whole; a
    // failed write is dropped (the trace must never disturb the session).
    std::size_t done = 0;
    while (done < entry.size()) {
        const ssize_t n = ::write(fd_, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
} catch (...) {
    // No memory for the entry: it is dropped.
}

}  // namespace q5::channel
