// Text form of GUIDs and UTF-16 to UTF-8 conversion.
#include <q5client/com.h>

#include <new>

#include "internal.h"

namespace q5com {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kGuidTextLength = 38;  // braces and dashes included

// Writes the 38 characters of the braced form into out.
template <class Char>
void FormatGuid(const GUID& guid, Char* out) noexcept {
    std::size_t pos = 0;
    auto hex = [&](std::uint64_t value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
            out[pos++] = static_cast<Char>(kHexDigits[(value >> shift) & 0xF]);
        }
    };
    out[pos++] = '{';
    hex(guid.Data1, 8);
    out[pos++] = '-';
    hex(guid.Data2, 4);
    out[pos++] = '-';
    hex(guid.Data3, 4);
    out[pos++] = '-';
    hex(guid.Data4[0], 2);
    hex(guid.Data4[1], 2);
    out[pos++] = '-';
    for (int i = 2; i < 8; ++i) hex(guid.Data4[i], 2);
    out[pos++] = '}';
}

int HexValue(char32_t c) noexcept {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

template <class Char>
bool ParseGuidText(std::basic_string_view<Char> text, GUID& guid) noexcept {
    if (text.size() != kGuidTextLength) return false;
    std::size_t pos = 0;
    auto expect = [&](char c) { return static_cast<char32_t>(text[pos++]) == static_cast<char32_t>(c); };
    auto hex = [&](int digits, std::uint64_t& value) {
        value = 0;
        for (int i = 0; i < digits; ++i) {
            const int v = HexValue(static_cast<char32_t>(text[pos++]));
            if (v < 0) return false;
            value = (value << 4) | static_cast<std::uint64_t>(v);
        }
        return true;
    };

    GUID parsed{};
    std::uint64_t v = 0;
    if (!expect('{') || !hex(8, v)) return false;
    parsed.Data1 = static_cast<std::uint32_t>(v);
    if (!expect('-') || !hex(4, v)) return false;
    parsed.Data2 = static_cast<std::uint16_t>(v);
    if (!expect('-') || !hex(4, v)) return false;
    parsed.Data3 = static_cast<std::uint16_t>(v);
    if (!expect('-')) return false;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !expect('-')) return false;
        if (!hex(2, v)) return false;
        parsed.Data4[i] = static_cast<std::uint8_t>(v);
    }
    if (!expect('}')) return false;
    guid = parsed;
    return true;
}

}  // namespace

std::string GuidToString(const GUID& guid) {
    std::string text(kGuidTextLength, '\0');
    FormatGuid(guid, text.data());
    return text;
}

bool ParseGuid(std::u16string_view text, GUID& guid) noexcept {
    return ParseGuidText(text, guid);
}
bool ParseGuid(std::string_view text, GUID& guid) noexcept {
    return ParseGuidText(text, guid);
}

bool Utf16ToUtf8(std::u16string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

}  // namespace q5com

extern "C" {

int StringFromGUID2(REFGUID guid, LPOLESTR out, int max) {
    constexpr int kNeeded = static_cast<int>(q5com::kGuidTextLength) + 1;
    if (!out || max < kNeeded) return 0;
    q5com::FormatGuid(guid, out);
    out[q5com::kGuidTextLength] = u'\0';
    return kNeeded;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = GUID_NULL;
    if (!text) return E_INVALIDARG;
    // Looking one character past the expected length is enough to refuse
    // longer text without scanning all of it.
    std::size_t length = 0;
    while (length <= q5com::kGuidTextLength && text[length] != u'\0') ++length;
    return q5com::ParseGuid(std::u16string_view(text, length), *clsid) ? S_OK : E_INVALIDARG;
}

}  // extern "C"
