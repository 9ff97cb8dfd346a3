// Wide strings with a 32-bit byte-count prefix.
//
// One allocation holds an 8-byte header whose last four bytes are the byte
// count, then the characters, then a zero character. A BSTR points at the
// characters, so the text keeps the 8-byte alignment of the allocation and
// the count sits directly in front of it.
#include <q5client/com.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);

// The byte count must fit its 32-bit prefix.
constexpr UINT kMaxLength = std::numeric_limits<std::uint32_t>::max() / sizeof(OLECHAR);

char* BaseOf(BSTR text) noexcept {
    return reinterpret_cast<char*>(text) - kHeaderBytes;
}

std::uint32_t ByteCount(BSTR text) noexcept {
    std::uint32_t count;
    std::memcpy(&count, reinterpret_cast<const char*>(text) - kCountBytes, kCountBytes);
    return count;
}

}  // namespace

extern "C" {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > kMaxLength) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    char* base = static_cast<char*>(std::malloc(kHeaderBytes + bytes + sizeof(OLECHAR)));
    if (!base) return nullptr;

    const auto count = static_cast<std::uint32_t>(bytes);
    std::memset(base, 0, kHeaderBytes);
    std::memcpy(base + kHeaderBytes - kCountBytes, &count, kCountBytes);
    auto* data = reinterpret_cast<OLECHAR*>(base + kHeaderBytes);
    if (text) {
        std::memcpy(data, text, bytes);
    } else {
        std::memset(data, 0, bytes);
    }
    data[length] = u'\0';
    return data;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    const std::size_t length = std::char_traits<OLECHAR>::length(text);
    if (length > kMaxLength) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(length));
}

void SysFreeString(BSTR text) {
    if (text) std::free(BaseOf(text));
}

UINT SysStringLen(BSTR text) {
    return text ? ByteCount(text) / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR text) {
    return text ? ByteCount(text) : 0;
}

}  // extern "C"
