// The record stream: the byte form of one table row on the connection, a
// bare run of length-prefixed 8-bit strings with no header, count, separator
// or terminator.
//
// One string is its length n in bytes, then its n bytes of text:
//   n below 255         one byte n
//   n 255 to 65533      0xFF, n as 16-bit little-endian
//   n 65534 or more     0xFF, 0xFFFF, n as 32-bit little-endian
// The reader also takes 0xFF 0xFFFE followed by a second prefix of those
// forms that counts 16-bit characters, then the UTF-16LE text; that text is
// converted to the wire code page. The writer never produces it.
//
// A string longer than kMaxStringBytes (bytes, or UTF-16 bytes) is refused
// both ways: a length beyond it is taken as malformed rather than waited for.
//
// Thread rule: a reader or writer and its source belong to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace q5::records {

inline constexpr std::size_t kMaxStringBytes = std::size_t{1} << 20;

// Where a reader takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to `size` bytes into `out`, waiting for them as the source
    // does; returns how many were copied. Fewer than `size` means the source
    // has ended or failed and will give nothing more.
    virtual std::size_t Read(char* out, std::size_t size) = 0;
};

// Bytes held in memory (tests, fuzzing).
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) noexcept : bytes_(bytes) {}
    std::size_t Read(char* out, std::size_t size) override;
    std::size_t remaining() const noexcept { return bytes_.size() - position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

enum class StreamError {
    none,
    ended,     // the source ended (closed, stalled, failed) inside a string
    malformed  // a length that no string of this stream can have
};

class RecordReader {
public:
    explicit RecordReader(ByteSource& source) noexcept : source_(source) {}

    // Reads the next string into `text`. False on the first error, which
    // error() then names; `text` is unspecified after a failure and every
    // later call fails with the same error.
    bool ReadString(std::string& text);
    StreamError error() const noexcept { return error_; }

private:
    bool ReadExact(char* out, std::size_t size);
    bool ReadUnsigned(std::size_t width, std::uint32_t& value);
    // One length prefix of the three plain forms; `wide` tells whether the
    // UTF-16 mark came first (and is then set when it is met).
    bool ReadLength(std::size_t& length, bool& wide);
    bool ReadBytes(std::size_t size, std::string& out);
    bool Fail(StreamError error) noexcept;

    ByteSource& source_;
    StreamError error_ = StreamError::none;
};

// Collects a record's strings in memory; the caller sends bytes() whole.
class RecordWriter {
public:
    // Appends one string with the shortest prefix for its length. False
    // (nothing appended) when it is longer than kMaxStringBytes.
    bool WriteString(std::string_view text);
    const std::string& bytes() const noexcept { return bytes_; }

private:
    void AppendLittleEndian(std::uint32_t value, std::size_t width);
    std::string bytes_;
};

}  // namespace q5::records
