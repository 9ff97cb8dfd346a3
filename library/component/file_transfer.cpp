#include "component/file_transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

namespace q5::component {

using channel::Outcome;
using channel::ServerSession;

namespace {

// Local files are read and written in blocks of this size; a download also
// receives into the block, so a large transfer costs few system calls.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Owns a file descriptor; closes it on every exit.
class LocalFile {
public:
    explicit LocalFile(int fd) noexcept : fd_(fd) {}
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    ~LocalFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool is_open() const noexcept { return fd_ >= 0; }
    int fd() const noexcept { return fd_; }

    // Writes all of data; false on an error.
    bool WriteAll(const char* data, std::size_t size) const noexcept {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    // Reads up to size bytes; 0 at the end of the file, -1 on an error.
    ssize_t ReadSome(char* out, std::size_t size) const noexcept {
        for (;;) {
            const ssize_t n = ::read(fd_, out, size);
            if (n >= 0 || errno != EINTR) return n;
        }
    }

private:
    int fd_;
};

// The local file of a download. It is opened for writing before the server
// is asked, so that a name that cannot be written sends nothing, but it is
// neither truncated nor, when it did not exist, kept until the transfer
// starts: a download that never starts leaves the file as it was.
class DownloadTarget {
public:
    explicit DownloadTarget(std::string path) : path_(std::move(path)), file_(Open(path_, created_)) {}

    bool is_open() const noexcept { return file_.is_open(); }
    bool WriteAll(const char* data, std::size_t size) const noexcept { return file_.WriteAll(data, size); }

    // The transfer starts: an existing regular file loses its old content.
    bool Start() const noexcept {
        struct stat info {};
        if (::fstat(file_.fd(), &info) != 0) return false;
        return !S_ISREG(info.st_mode) || ::ftruncate(file_.fd(), 0) == 0;
    }

    // The transfer never started: a file made only for it is removed again.
    void Abandon() noexcept {
        if (created_) ::unlink(path_.c_str());
        created_ = false;
    }

private:
    static int Open(const std::string& path, bool& created) noexcept {
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd >= 0 || errno != ENOENT) return fd;
            const int made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (made >= 0) {
                created = true;
                return made;
            }
            if (errno != EEXIST) return -1;
            // Made by someone else in between: open that one.
        }
        return -1;
    }

    std::string path_;
    bool created_ = false;  // declared before file_, which sets it
    LocalFile file_;
};

// Decides when the sink hears about progress: at every chunk boundary that
// lies strictly inside the transfer, before any byte past it moves.
class Progress {
public:
    Progress(ISupportEvents* sink, std::int32_t total) noexcept : sink_(sink), total_(total) {}

    // How many of `wanted` bytes may move now without passing the next
    // boundary (all of them without a sink).
    std::size_t Allow(std::size_t moved, std::size_t wanted) const noexcept {
        if (!sink_) return wanted;
        return std::min(wanted, next_ - moved);
    }

    // Called before bytes move; reports once `moved` sits on the boundary.
    // The sink's result does not matter.
    void BeforeMove(std::size_t moved) {
        if (!sink_ || moved != next_) return;
        sink_->GetProgress(static_cast<LONG>(moved), total_);
        next_ += kProgressChunk;
    }

private:
    ISupportEvents* sink_;
    std::int32_t total_;
    std::size_t next_ = kProgressChunk;
};

std::unique_ptr<char[]> NewBlock(std::size_t size) {
    return std::make_unique_for_overwrite<char[]>(size);
}

// The result of a transfer whose opening command did not pass: a reply that
// could not be read breaks the transfer off; a refusal means it never started.
Transfer StartFailed(Outcome outcome) {
    switch (outcome) {
        case Outcome::ok:
            return Transfer::done;
        case Outcome::bad_argument:
            return Transfer::bad_argument;
        case Outcome::lost:
            return Transfer::broken;
        case Outcome::refused:
            break;
    }
    return Transfer::not_started;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string LocalPath(BSTR name) {
    std::string path;
    if (!name) return path;
    const std::u16string_view text(name, SysStringLen(name));
    path.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(path, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            AppendUtf8(path, 0xFFFD);
        } else {
            AppendUtf8(path, c);
        }
    }
    return path;
}

Transfer Download(ServerSession& session, const char* mailbox, const char* remote,
                  const std::string& local_path, ISupportEvents* sink) {
    if (!session.connected()) return Transfer::not_started;
    // A line that cannot be sent must not cost the local file its content.
    if (!session.FormatCommand("GETFILE", {mailbox, remote})) return Transfer::bad_argument;

    // A local file that cannot be written costs no exchange with the server;
    // its content goes only once the server has agreed with a usable size.
    DownloadTarget file(local_path);
    if (!file.is_open()) return Transfer::not_started;

    std::optional<std::int32_t> announced;
    const Outcome outcome = session.GetFile(mailbox, remote, announced);
    if (outcome != Outcome::ok) {
        file.Abandon();
        return StartFailed(outcome);
    }
    if (!announced) {
        // The server agreed, so the file's bytes and a closing line may be on
        // their way, but nothing can be read for a missing, negative or
        // non-numeric size: the connection is out of step and is given up.
        session.Close();
        file.Abandon();
        return Transfer::not_started;
    }
    if (!file.Start()) {
        session.Close();
        return Transfer::broken;
    }
    const auto size = static_cast<std::size_t>(*announced);

    ComPtr<ISupportEvents> held(sink);
    Progress progress(sink, *announced);
    std::unique_ptr<char[]> block;
    if (size > 0) block = NewBlock(std::min(size, kBlock));
    const std::size_t block_size = std::min(size, kBlock);

    std::size_t received = 0;
    std::size_t filled = 0;
    while (received < size) {
        progress.BeforeMove(received);
        const std::size_t wanted = progress.Allow(received, std::min(size - received, block_size - filled));
        const std::size_t got = session.ReadRaw(block.get() + filled, wanted);
        filled += got;
        received += got;
        if (got < wanted) {
            // The connection failed (the session is closed already); the
            // local file keeps what arrived.
            file.WriteAll(block.get(), filled);
            return Transfer::broken;
        }
        if (filled == block_size || received == size) {
            if (!file.WriteAll(block.get(), filled)) {
                session.Close();
                return Transfer::broken;
            }
            filled = 0;
        }
    }
    held.Reset();

    switch (session.FinishGetFile()) {
        case Outcome::ok:
            return Transfer::done;
        case Outcome::refused:
            return Transfer::not_started;
        default:
            return Transfer::broken;
    }
}

Transfer Upload(ServerSession& session, const char* mailbox, const char* remote,
                const std::string& local_path, ISupportEvents* sink) {
    if (!session.connected()) return Transfer::not_started;

    LocalFile file(::open(local_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.is_open()) return Transfer::not_started;
    struct stat info {};
    // Only a regular file has a length to announce, and it must fit the
    // command's 32-bit size.
    if (::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        info.st_size > std::numeric_limits<std::int32_t>::max()) {
        return Transfer::not_started;
    }
    const auto total = static_cast<std::int32_t>(info.st_size);
    const auto size = static_cast<std::size_t>(total);

    const Outcome outcome = session.PutFile(mailbox, remote, total);
    if (outcome != Outcome::ok) return StartFailed(outcome);

    ComPtr<ISupportEvents> held(sink);
    Progress progress(sink, total);
    const std::size_t block_size = std::min(size, kBlock);
    std::unique_ptr<char[]> block;
    if (size > 0) block = NewBlock(block_size);

    // Exactly the announced number of bytes goes out: a file that grew since
    // its length was taken contributes its first `size` bytes; one that
    // shrank cannot complete the transfer.
    std::size_t sent = 0;
    std::size_t pending = 0;  // read from the file, not yet sent
    std::size_t offset = 0;
    while (sent < size) {
        progress.BeforeMove(sent);
        if (pending == 0) {
            const ssize_t n = file.ReadSome(block.get(), std::min(block_size, size - sent));
            if (n <= 0) {
                session.Close();
                return Transfer::broken;
            }
            pending = static_cast<std::size_t>(n);
            offset = 0;
        }
        const std::size_t piece = progress.Allow(sent, pending);
        if (!session.WriteRaw(block.get() + offset, piece)) return Transfer::broken;
        sent += piece;
        offset += piece;
        pending -= piece;
    }
    held.Reset();

    switch (session.FinishPutFile()) {
        case Outcome::ok:
            return Transfer::done;
        case Outcome::refused:
            // The server did not confirm the file: the transfer is broken off
            // and the session does not go on.
            session.Close();
            return Transfer::broken;
        default:
            return Transfer::broken;
    }
}

}  // namespace q5::component
