#include "records/record_stream.h"

#include <algorithm>
#include <cstring>

#include "channel/codepage.h"

namespace q5::records {

namespace {

constexpr std::uint32_t kLongPrefix = 0xFF;      // a 16-bit length follows
constexpr std::uint32_t kWideMark = 0xFFFE;      // UTF-16 text, its own prefix follows
constexpr std::uint32_t kLongerPrefix = 0xFFFF;  // a 32-bit length follows
// Text is taken in pieces of this size, so a length that promises more than
// the source holds fails when the source ends, without a large allocation.
constexpr std::size_t kReadPiece = 64 * 1024;

}  // namespace

std::size_t MemorySource::Read(char* out, std::size_t size) {
    const std::size_t n = std::min(size, remaining());
    if (n > 0) std::memcpy(out, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

// ---- Reading ----------------------------------------------------------------------

bool RecordReader::Fail(StreamError error) noexcept {
    error_ = error;
    return false;
}

bool RecordReader::ReadExact(char* out, std::size_t size) {
    if (source_.Read(out, size) != size) return Fail(StreamError::ended);
    return true;
}

bool RecordReader::ReadUnsigned(std::size_t width, std::uint32_t& value) {
    unsigned char bytes[4] = {};
    if (!ReadExact(reinterpret_cast<char*>(bytes), width)) return false;
    value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | bytes[i];
    return true;
}

bool RecordReader::ReadLength(std::size_t& length, bool& wide) {
    std::uint32_t value = 0;
    if (!ReadUnsigned(1, value)) return false;
    if (value < kLongPrefix) {
        length = value;
        return true;
    }
    if (!ReadUnsigned(2, value)) return false;
    if (value == kWideMark) {
        // The mark is followed by a plain prefix; a second mark is not one.
        if (wide) return Fail(StreamError::malformed);
        wide = true;
        return ReadLength(length, wide);
    }
    if (value < kLongerPrefix) {
        length = value;
        return true;
    }
    if (!ReadUnsigned(4, value)) return false;
    length = value;
    return true;
}

bool RecordReader::ReadBytes(std::size_t size, std::string& out) {
    out.clear();
    while (out.size() < size) {
        const std::size_t start = out.size();
        const std::size_t piece = std::min(kReadPiece, size - start);
        out.resize(start + piece);
        if (!ReadExact(out.data() + start, piece)) return false;
    }
    return true;
}

bool RecordReader::ReadString(std::string& text) {
    if (error_ != StreamError::none) return false;
    std::size_t length = 0;
    bool wide = false;
    if (!ReadLength(length, wide)) return false;
    // Compared before doubling, so the product cannot overflow.
    if (length > (wide ? kMaxStringBytes / 2 : kMaxStringBytes)) return Fail(StreamError::malformed);
    if (!wide) return ReadBytes(length, text);

    std::string raw;
    if (!ReadBytes(length * 2, raw)) return false;
    std::u16string units(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) {
        const auto low = static_cast<unsigned char>(raw[2 * i]);
        const auto high = static_cast<unsigned char>(raw[2 * i + 1]);
        units[i] = static_cast<char16_t>(low | (high << 8));
    }
    text = channel::ToWire(units);
    return true;
}

// ---- Writing ----------------------------------------------------------------------

void RecordWriter::AppendLittleEndian(std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes_.push_back(static_cast<char>(value & 0xFF));
        value >>= 8;
    }
}

bool RecordWriter::WriteString(std::string_view text) {
    const std::size_t n = text.size();
    if (n > kMaxStringBytes) return false;
    if (n < kLongPrefix) {
        AppendLittleEndian(static_cast<std::uint32_t>(n), 1);
    } else if (n < kWideMark) {
        AppendLittleEndian(kLongPrefix, 1);
        AppendLittleEndian(static_cast<std::uint32_t>(n), 2);
    } else {
        AppendLittleEndian(kLongPrefix, 1);
        AppendLittleEndian(kLongerPrefix, 2);
        AppendLittleEndian(static_cast<std::uint32_t>(n), 4);
    }
    bytes_.append(text);
    return true;
}

}  // namespace q5::records
