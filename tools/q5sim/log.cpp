#include "log.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>

namespace q5sim {

namespace {
std::atomic<bool> g_quiet{false};
// One write() of at most this many bytes reaches a pipe or an appended file
// whole, so lines of different threads never mix and no lock is needed.
constexpr std::size_t kMaxLine = 4000;
}  // namespace

void SetQuiet(bool quiet) {
    g_quiet = quiet;
}

void LogLine(std::string_view text) {
    if (g_quiet) return;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::string line = std::string(stamp) + " q5sim: ";
    line.append(text.substr(0, kMaxLine));
    line += '\n';
    const ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
}

}  // namespace q5sim
