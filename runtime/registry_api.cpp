// The exported registry functions over the per-user registry file, with the
// system registry behind it for reading.
#include <q5client/com.h>

#include <cstring>
#include <new>
#include <string>

#include "internal.h"
#include "registry_file.h"

using q5com::Guarded;

namespace {

using q5com::reg::IsValidKey;
using q5com::reg::IsValidText;
using q5com::reg::Store;

// Applies change to the registry file. change returns whether it modified
// the store and sets result to the code the caller should see.
template <class Change>
HRESULT UpdateRegistry(Change&& change) {
    std::string path;
    if (!q5com::reg::ResolvePath(path)) return E_FAIL;
    HRESULT result = S_OK;
    std::string error;
    const bool ok = q5com::reg::Update(
        path, [&](Store& store) { return change(store, result); }, error);
    return ok ? result : E_FAIL;
}

// A null value name stands for the default value.
const char* NameOrDefault(const char* name) noexcept {
    return name ? name : "";
}

}  // namespace

namespace q5com {

HRESULT ReadRegistryValue(std::string_view key, std::string_view name, std::string& value) {
    std::string path;
    if (!reg::ResolvePath(path)) return E_FAIL;
    Store store;
    std::string error;
    if (!reg::Load(path, store, error)) return E_FAIL;
    const std::string* found = store.FindValue(key, name);
    if (!found) {
        // The administrator's entries apply where the user has none. A
        // system file that cannot be read only takes them away: it must not
        // break what the user registered himself.
        std::string systemPath;
        if (!reg::FindSystemPath(systemPath) || systemPath == path || !reg::Load(systemPath, store, error)) {
            return S_FALSE;
        }
        found = store.FindValue(key, name);
        if (!found) return S_FALSE;
    }
    value = *found;
    return S_OK;
}

}  // namespace q5com

extern "C" {

HRESULT Q5RegCreateKey(const char* key) {
    if (!key || !IsValidKey(key)) return E_INVALIDARG;
    return Guarded(
        [&] { return UpdateRegistry([&](Store& store, HRESULT&) { return store.CreateKey(key); }); });
}

HRESULT Q5RegSetValue(const char* key, const char* name, const char* value) {
    name = NameOrDefault(name);
    if (!key || !value || !IsValidKey(key) || !IsValidText(name) || !IsValidText(value)) return E_INVALIDARG;
    return Guarded([&] {
        return UpdateRegistry([&](Store& store, HRESULT&) { return store.SetValue(key, name, value); });
    });
}

HRESULT Q5RegGetValue(const char* key, const char* name, char* out, std::size_t size) {
    name = NameOrDefault(name);
    if (!key || !IsValidKey(key) || !IsValidText(name)) return E_INVALIDARG;
    if (!out) return E_POINTER;
    if (size > 0) out[0] = '\0';
    return Guarded([&] {
        std::string value;
        const HRESULT hr = q5com::ReadRegistryValue(key, name, value);
        if (hr != S_OK) return hr;
        if (value.size() >= size) return E_INVALIDARG;
        std::memcpy(out, value.c_str(), value.size() + 1);
        return S_OK;
    });
}

HRESULT Q5RegDeleteTree(const char* key) {
    if (!key || !IsValidKey(key)) return E_INVALIDARG;
    return Guarded([&] {
        return UpdateRegistry([&](Store& store, HRESULT& result) {
            const bool removed = store.DeleteTree(key);
            result = removed ? S_OK : S_FALSE;
            return removed;
        });
    });
}

HRESULT Q5RegPath(char* out, std::size_t size) {
    if (!out) return E_POINTER;
    if (size > 0) out[0] = '\0';
    return Guarded([&] {
        std::string path;
        if (!q5com::reg::ResolvePath(path)) return E_FAIL;
        if (path.size() >= size) return E_INVALIDARG;
        std::memcpy(out, path.c_str(), path.size() + 1);
        return S_OK;
    });
}

}  // extern "C"
