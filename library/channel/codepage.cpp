#include "channel/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace q5::channel {

namespace {

constexpr const char* kDefaultCodePage = "CP1252";
// Used only when the system's iconv knows no CP1252 (built into every iconv).
constexpr const char* kLastResortCodePage = "ISO-8859-1";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool CanConvert(const char* name) {
    const iconv_t to = iconv_open(name, kUtf16);
    if (to == kNoConverter) return false;
    iconv_close(to);
    const iconv_t from = iconv_open(kUtf16, name);
    if (from == kNoConverter) return false;
    iconv_close(from);
    return true;
}

// The code page, chosen once per process, and the single bytes it leaves
// undefined (those map to the code point of the same value both ways, so
// text read from the wire goes back unchanged).
struct CodePage {
    std::string name;
    std::array<bool, 256> undefined{};

    CodePage() {
        const char* wanted = std::getenv("Q5CLIENT_CODEPAGE");
        if (wanted != nullptr && *wanted != '\0' && CanConvert(wanted)) {
            name = wanted;
        } else if (CanConvert(kDefaultCodePage)) {
            name = kDefaultCodePage;
        } else {
            name = kLastResortCodePage;
        }
        const iconv_t from = iconv_open(kUtf16, name.c_str());
        if (from == kNoConverter) return;
        for (int byte = 0; byte < 256; ++byte) {
            char in = static_cast<char>(byte);
            char16_t out[4];
            char* in_ptr = &in;
            std::size_t in_left = 1;
            char* out_ptr = reinterpret_cast<char*>(out);
            std::size_t out_left = sizeof out;
            iconv(from, nullptr, nullptr, nullptr, nullptr);
            if (iconv(from, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) &&
                errno == EILSEQ) {
                undefined[static_cast<std::size_t>(byte)] = true;
            }
        }
        iconv_close(from);
    }
};

const CodePage& TheCodePage() {
    static const CodePage code_page;
    return code_page;
}

// One pair of converters per thread: an iconv_t keeps conversion state and
// must not be shared between threads.
struct Converters {
    iconv_t to_wire = kNoConverter;
    iconv_t from_wire = kNoConverter;

    Converters() {
        const std::string& name = TheCodePage().name;
        to_wire = iconv_open(name.c_str(), kUtf16);
        from_wire = iconv_open(kUtf16, name.c_str());
    }
    ~Converters() {
        if (to_wire != kNoConverter) iconv_close(to_wire);
        if (from_wire != kNoConverter) iconv_close(from_wire);
    }
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
};

Converters& ThreadConverters() {
    thread_local Converters converters;
    return converters;
}

// Lone surrogates cannot be converted; they become '?' before conversion.
std::u16string PairedOnly(std::u16string_view text) {
    std::u16string clean(text);
    for (std::size_t i = 0; i < clean.size(); ++i) {
        if (IsHighSurrogate(clean[i]) && i + 1 < clean.size() && IsLowSurrogate(clean[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(clean[i]) || IsLowSurrogate(clean[i])) {
            clean[i] = u'?';
        }
    }
    return clean;
}

std::string ConvertToWire(std::u16string_view text) {
    const CodePage& code_page = TheCodePage();
    const iconv_t cd = ThreadConverters().to_wire;
    std::string out;
    if (cd == kNoConverter) {
        for (char16_t c : text) out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
        return out;
    }
    std::u16string clean = PairedOnly(text);
    char* in_ptr = reinterpret_cast<char*>(clean.data());
    std::size_t in_left = clean.size() * sizeof(char16_t);
    char chunk[1024];
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (in_left > 0) {
        char* out_ptr = chunk;
        std::size_t out_left = sizeof chunk;
        const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        const int error = errno;
        out.append(chunk, static_cast<std::size_t>(out_ptr - chunk));
        if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        // A character the code page cannot hold (or a truncated pair): skip
        // it and put '?', unless it names a byte the code page leaves
        // undefined, which goes out as that byte.
        char16_t unit;
        std::memcpy(&unit, in_ptr, sizeof unit);
        const std::size_t width = IsHighSurrogate(unit) && in_left >= 4 ? 4 : 2;
        if (unit < 0x100 && code_page.undefined[unit]) {
            out.push_back(static_cast<char>(unit));
        } else {
            out.push_back('?');
        }
        in_ptr += std::min(width, in_left);
        in_left -= std::min(width, in_left);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::u16string ConvertFromWire(std::string_view bytes) {
    const iconv_t cd = ThreadConverters().from_wire;
    std::u16string out;
    if (cd == kNoConverter) {
        for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    std::string copy(bytes);
    char* in_ptr = copy.data();
    std::size_t in_left = copy.size();
    char16_t chunk[512];
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (in_left > 0) {
        char* out_ptr = reinterpret_cast<char*>(chunk);
        std::size_t out_left = sizeof chunk;
        const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        const int error = errno;
        out.append(chunk,
                   static_cast<std::size_t>(out_ptr - reinterpret_cast<char*>(chunk)) / sizeof(char16_t));
        if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
        // A byte the code page does not define (or an incomplete sequence at
        // the end): it stands for the code point of the same value.
        out.push_back(static_cast<unsigned char>(*in_ptr));
        ++in_ptr;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::string ToWire(std::u16string_view text) {
    try {
        return ConvertToWire(text);
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

std::u16string FromWire(std::string_view bytes) {
    try {
        return ConvertFromWire(bytes);
    } catch (const std::bad_alloc&) {
        return std::u16string();
    }
}

const std::string& WireCodePage() {
    return TheCodePage().name;
}

}  // namespace q5::channel
