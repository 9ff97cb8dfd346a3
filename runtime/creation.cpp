// In-process class creation from the registry of classes.
//
// A class is registered by the default value of CLSID\{clsid}\InprocServer32,
// the path of a shared library that exports DllGetClassObject. Libraries are
// loaded on first use and stay loaded for the life of the process: objects
// and class factories handed out from them may live anywhere, so unloading
// could never be proven safe.
#include <q5client/com.h>

#include <dlfcn.h>

#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

#include "internal.h"

using q5com::Guarded;

namespace {

struct LoadedLibrary {
    void* handle = nullptr;
    PFN_DllGetClassObject getClassObject = nullptr;  // null when the library lacks the entry point
};

class LibraryCache {
public:
    // Returns the entry point of the library at path, loading it on first
    // use. E_FAIL when the library cannot be loaded or does not export
    // DllGetClassObject.
    HRESULT GetClassObjectEntry(const std::string& path, PFN_DllGetClassObject& entry) {
        {
            std::lock_guard lock(mutex_);
            if (const auto it = loaded_.find(path); it != loaded_.end()) {
                entry = it->second.getClassObject;
                return entry ? S_OK : E_FAIL;
            }
        }
        // Load outside the lock: the library's initialisers may themselves
        // create objects. Two threads loading the same path at once get the
        // same handle from the loader, so the race is harmless.
        LoadedLibrary library;
        library.handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library.handle) return E_FAIL;
        library.getClassObject =
            reinterpret_cast<PFN_DllGetClassObject>(::dlsym(library.handle, "DllGetClassObject"));

        std::lock_guard lock(mutex_);
        entry = loaded_.try_emplace(path, library).first->second.getClassObject;
        return entry ? S_OK : E_FAIL;
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::string, LoadedLibrary> loaded_;
};

// Never destroyed, so threads still creating objects while the process
// exits do not touch a destroyed map.
LibraryCache& Libraries() {
    static LibraryCache* const cache = new LibraryCache;
    return *cache;
}

HRESULT GetClassObject(REFCLSID clsid, DWORD clsctx, REFIID riid, void** ppv) {
    if ((clsctx & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;

    std::string path;
    const HRESULT hr =
        q5com::ReadRegistryValue("CLSID\\" + q5com::GuidToString(clsid) + "\\InprocServer32", "", path);
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE || path.empty()) return REGDB_E_CLASSNOTREG;

    PFN_DllGetClassObject entry = nullptr;
    if (const HRESULT loaded = Libraries().GetClassObjectEntry(path, entry); FAILED(loaded)) return loaded;
    const HRESULT got = entry(clsid, riid, ppv);
    if (FAILED(got)) *ppv = nullptr;
    return got;
}

}  // namespace

extern "C" {

HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsctx, void* /*reserved*/, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return Guarded([&] { return GetClassObject(clsid, clsctx, riid, ppv); });
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return Guarded([&] {
        IClassFactory* factory = nullptr;
        HRESULT hr = GetClassObject(clsid, clsctx, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr)) return hr;
        if (!factory) return E_UNEXPECTED;
        hr = factory->CreateInstance(outer, riid, ppv);
        factory->Release();
        if (FAILED(hr)) *ppv = nullptr;
        return hr;
    });
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = GUID_NULL;
    if (!progId) return E_INVALIDARG;
    return Guarded([&] {
        // A programmatic identifier is a single key name: no separator, no
        // control characters, valid UTF-16.
        std::string name;
        if (!q5com::Utf16ToUtf8(progId, name) || name.empty()) return q5com::CO_E_CLASSSTRING;
        for (const char c : name) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F || c == '\\') return q5com::CO_E_CLASSSTRING;
        }

        std::string text;
        const HRESULT hr = q5com::ReadRegistryValue(name + "\\CLSID", "", text);
        if (FAILED(hr)) return hr;
        if (hr == S_FALSE || !q5com::ParseGuid(text, *clsid)) return q5com::CO_E_CLASSSTRING;
        return S_OK;
    });
}

}  // extern "C"
