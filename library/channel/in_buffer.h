// InBuffer: the bytes that arrived on one connection and that no reader has
// taken yet.
//
// Invariant (the one rule every reader of a connection keeps): no reader
// ever takes a byte that belongs to the next one. Each reader -- reply line,
// record stream, raw file bytes, event record -- takes from the front of its
// session's InBuffer exactly the bytes that belong to it and leaves the rest
// in place for the next reader, and a receive that waits for more data
// appends everything it gets to the buffer. The one receive around the
// buffer is a raw read (record or file bytes) that is still owed a large
// rest while the buffer is empty: it receives without waiting straight into
// the caller's memory (SocketIo::ReceiveNow), never more than it is owed, so
// whatever follows stays in the socket for the next reader exactly as if it
// had passed through the buffer. So the server may send a reply, a record
// and raw data in one packet and nothing is lost.
//
// The Take functions are pure parsing: they never block and never touch a
// socket; when the buffer does not yet hold enough they take nothing and say
// so, and the caller receives more bytes and asks again.
//
// Thread rule: no lock; one thread uses a buffer at a time.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace q5::channel {

class InBuffer {
public:
    void Append(const char* data, std::size_t size);
    void Append(std::string_view data) { Append(data.data(), data.size()); }
    std::size_t size() const noexcept { return data_.size() - start_; }
    bool empty() const noexcept { return size() == 0; }
    std::string_view view() const noexcept { return std::string_view(data_).substr(start_); }
    void Clear() noexcept;

    // A line: the bytes up to and including the first line feed, or the
    // first `max` bytes when no line feed comes within them. Nothing is
    // taken while neither is available.
    std::optional<std::string> TakeLine(std::size_t max);

    // An event record: the bytes up to and including the first '.', or the
    // first `max` bytes when no '.' comes within them.
    std::optional<std::string> TakeRecord(std::size_t max);

    // Up to `max` bytes, as many as are buffered; returns how many were copied.
    std::size_t TakeBytes(char* out, std::size_t max);

private:
    void Consume(std::size_t n);
    std::string data_;
    std::size_t start_ = 0;
};

// Reads a decimal integer the way the server's replies carry it: leading
// white space skipped, an optional sign, digits up to the first non-digit;
// 0 when there are none. Values beyond 32 bits are clamped.
long ParseDecimal(std::string_view text) noexcept;

// The value of a status line: its text from the fifth character on (empty
// when the line is shorter).
std::string_view ValueOf(std::string_view line) noexcept;

}  // namespace q5::channel
