// Helpers shared by the runtime's translation units; not exported.
#pragma once

#include <q5client/com.h>

#include <new>
#include <string>
#include <string_view>

namespace q5com {

// The platform's code for a programmatic identifier that names no class.
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidToString(const GUID& guid);

// Parses the braced form, hex digits in either case; false on anything else.
bool ParseGuid(std::u16string_view text, GUID& guid) noexcept;
bool ParseGuid(std::string_view text, GUID& guid) noexcept;

// Converts UTF-16 to UTF-8; false on an unpaired surrogate.
bool Utf16ToUtf8(std::u16string_view text, std::string& out);

// Maps exceptions to result codes; nothing may leave an exported function.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Reads one value of the registry: S_OK with the value, S_FALSE when the key
// or value does not exist, E_FAIL when the file cannot be read.
HRESULT ReadRegistryValue(std::string_view key, std::string_view name, std::string& value);

}  // namespace q5com
