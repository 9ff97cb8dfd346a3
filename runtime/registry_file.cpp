#include "registry_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace q5com::reg {
namespace {

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) noexcept : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }
    int Get() const noexcept { return fd_; }
    bool Valid() const noexcept { return fd_ >= 0; }
    // Closes now and reports whether close succeeded.
    bool Close() noexcept { return fd_ < 0 || ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

std::string Describe(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool MakeParentDirectories(const std::string& path, std::string& error) {
    const std::string parent = ParentOf(path);
    for (std::size_t slash = parent.find('/', 1);; slash = parent.find('/', slash + 1)) {
        const std::string prefix = parent.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            error = Describe("cannot create directory", prefix, errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    return true;
}

bool ReadWhole(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        if (errno == ENOENT) return true;
        error = Describe("cannot open", path, errno);
        return false;
    }
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
        } else if (got == 0) {
            return true;
        } else if (errno != EINTR) {
            error = Describe("cannot read", path, errno);
            return false;
        }
    }
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
        } else if (put < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Writes text to a new file next to path and renames it over path, so that
// readers see either the old or the new contents, never a mixture.
bool ReplaceFile(const std::string& path, const std::string& text, std::string& error) {
    std::string temp = path + ".XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.Valid()) {
        error = Describe("cannot create temporary file for", path, errno);
        return false;
    }
    // Keep the permissions of the file being replaced.
    struct stat existing {};
    bool ok = true;
    if (::stat(path.c_str(), &existing) == 0) ok = ::fchmod(fd.Get(), existing.st_mode & 07777) == 0;
    if (ok) ok = WriteAll(fd.Get(), text);
    if (ok) ok = ::fsync(fd.Get()) == 0;
    if (ok) ok = fd.Close();
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        error = Describe("cannot write", path, errno);
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable. The new contents are already in place,
    // so a failure here is not reported.
    Fd dir(::open(ParentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
    return true;
}

}  // namespace

bool ResolvePath(std::string& path) {
    if (const char* explicitPath = std::getenv("Q5COM_REGISTRY"); explicitPath && *explicitPath) {
        path = explicitPath;
        return true;
    }
    // Relative values of XDG_CONFIG_HOME are invalid and ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        path = std::string(config) + "/q5com/registry";
        return true;
    }
    const std::string home = HomeDirectory();
    if (home.empty()) return false;
    path = home + "/.config/q5com/registry";
    return true;
}

std::vector<std::string> SystemPaths() {
    std::vector<std::string> paths;
    std::string_view dirs;
    if (const char* value = std::getenv("XDG_CONFIG_DIRS")) dirs = value;
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        // Relative entries are invalid and ignored, like relative XDG_CONFIG_HOME.
        if (dir.empty() || dir.front() != '/') continue;
        while (dir.size() > 1 && dir.back() == '/') dir.remove_suffix(1);
        paths.push_back((dir == "/" ? std::string() : std::string(dir)) + "/q5com/registry");
    }
    if (paths.empty()) paths.emplace_back("/etc/xdg/q5com/registry");
    return paths;
}

bool FindSystemPath(std::string& path) {
    for (std::string& candidate : SystemPaths()) {
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            path = std::move(candidate);
            return true;
        }
    }
    return false;
}

bool Load(const std::string& path, Store& store, std::string& error) {
    std::string text;
    if (!ReadWhole(path, text, error)) return false;
    store = Store::Parse(text);
    return true;
}

bool Update(const std::string& path, const std::function<bool(Store&)>& change, std::string& error) {
    if (!MakeParentDirectories(path, error)) return false;

    const std::string lockPath = path + ".lock";
    Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.Valid()) {
        error = Describe("cannot open lock file", lockPath, errno);
        return false;
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = Describe("cannot lock", lockPath, errno);
            return false;
        }
    }

    // The lock is released when the descriptor closes, after the rename.
    Store store;
    if (!Load(path, store, error)) return false;
    if (!change(store)) return true;
    return ReplaceFile(path, store.Serialize(), error);
}

}  // namespace q5com::reg
