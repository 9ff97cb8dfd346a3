// Component runtime for Linux: the types, result codes, base interfaces and
// functions that in-process component servers and their callers share.
//
// Thread rule: BSTR functions and CoCreateInstance may be called from any
// thread. The error record set by SetErrorInfo belongs to the calling thread;
// GetErrorInfo hands it over to the caller and clears it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(Q5COM_BUILDING)
#define Q5COM_API __attribute__((visibility("default")))
#else
#define Q5COM_API
#endif

#define STDMETHODCALLTYPE
#define STDAPI extern "C" Q5COM_API HRESULT

using HRESULT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = std::int32_t;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) noexcept {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b) noexcept {
    return !(a == b);
}
inline bool IsEqualGUID(REFGUID a, REFGUID b) noexcept {
    return a == b;
}
inline bool IsEqualIID(REFIID a, REFIID b) noexcept {
    return a == b;
}
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) noexcept {
    return a == b;
}

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Result codes, with the platform's values.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

inline constexpr bool SUCCEEDED(HRESULT hr) noexcept {
    return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) noexcept {
    return hr < 0;
}

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// Standard identities of the base interfaces.
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IErrorInfo{
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo{
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ISupportErrorInfo{
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

// Interfaces hold pure virtual methods only, so the vtable slots follow the
// declaration order exactly (no virtual destructor, which would add slots).
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

struct IErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) = 0;
};

struct ISupportErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

// Signatures of a component library's entry points.
using PFN_DllGetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();

// ---- Wide strings -------------------------------------------------------
// A BSTR points at UTF-16 text preceded by a 32-bit byte count and followed
// by a zero character. A null BSTR is a valid empty string.
extern "C" {
Q5COM_API BSTR SysAllocString(const OLECHAR* text);
Q5COM_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
Q5COM_API void SysFreeString(BSTR text);
Q5COM_API UINT SysStringLen(BSTR text);
Q5COM_API UINT SysStringByteLen(BSTR text);

// ---- Error records ------------------------------------------------------
Q5COM_API HRESULT CreateErrorInfo(ICreateErrorInfo** created);
Q5COM_API HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands the calling thread's error record to the caller (who releases it)
// and clears it; S_FALSE and a null record when there is none.
Q5COM_API HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

// ---- Creation -----------------------------------------------------------
Q5COM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv);
Q5COM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsctx, void* reserved, REFIID riid, void** ppv);
Q5COM_API HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" and a zero; returns the
// characters written including the zero, or 0 when max is below 39.
Q5COM_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int max);
Q5COM_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

// ---- Registry of classes ------------------------------------------------
// A per-user text file of keys under the classes root: each key holds named
// string values, the empty name being the key's default value. Keys compare
// without regard to ASCII case; key paths use '\' between levels. Every
// change rewrites the file by atomic replace under a file lock. Keys, names
// and values may not contain control characters (E_INVALIDARG).
// The file is $Q5COM_REGISTRY, else $XDG_CONFIG_HOME/q5com/registry, else
// $HOME/.config/q5com/registry.
// Reads fall back to the system registry, which the administrator fills with
// `q5regsvr --system`: q5com/registry in the first folder of $XDG_CONFIG_DIRS
// (default /etc/xdg) that has one. A value the user's file holds wins over
// the system's; lines of the system file that do not parse are ignored, and
// so is a system file that cannot be read. Writes and Q5RegPath concern the
// user's file only.
Q5COM_API HRESULT Q5RegCreateKey(const char* key);
Q5COM_API HRESULT Q5RegSetValue(const char* key, const char* name, const char* value);
// Copies the value into out (size bytes with its zero); S_FALSE when the
// key or value does not exist, E_INVALIDARG when it does not fit.
Q5COM_API HRESULT Q5RegGetValue(const char* key, const char* name, char* out, std::size_t size);
// Removes the key, its values and every key below it. S_FALSE when absent.
Q5COM_API HRESULT Q5RegDeleteTree(const char* key);
// Writes the path of the registry file into out; E_INVALIDARG if too small.
Q5COM_API HRESULT Q5RegPath(char* out, std::size_t size);
}

// ---- Owning wrappers for callers ----------------------------------------

// Holds one reference to an interface; releases it when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& o) noexcept {
        if (this != &o) {
            ComPtr tmp(o);
            Swap(tmp);
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }
    // Takes over a reference that the caller already owns.
    void Attach(T* p) noexcept {
        Reset();
        p_ = p;
    }
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // Releases what is held and gives the address for an out parameter.
    T** ReleaseAndGetAddressOf() noexcept {
        Reset();
        return &p_;
    }
    void** AsOut() noexcept {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.AsOut());
    }

private:
    T* p_ = nullptr;
};

// Owns one BSTR; frees it when it goes.
class BStr {
public:
    BStr() noexcept = default;
    explicit BStr(const char16_t* text) : s_(SysAllocString(text)) {}
    BStr(const char16_t* text, UINT length) : s_(SysAllocStringLen(text, length)) {}
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;
    BStr(BStr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    BStr& operator=(BStr&& o) noexcept {
        if (this != &o) {
            Reset();
            s_ = std::exchange(o.s_, nullptr);
        }
        return *this;
    }
    ~BStr() { Reset(); }
    void Reset() noexcept { SysFreeString(std::exchange(s_, nullptr)); }
    BSTR Get() const noexcept { return s_; }
    BSTR* ReleaseAndGetAddressOf() noexcept {
        Reset();
        return &s_;
    }
    BSTR Detach() noexcept { return std::exchange(s_, nullptr); }
    UINT Length() const noexcept { return SysStringLen(s_); }
    std::u16string_view View() const noexcept {
        return s_ ? std::u16string_view(s_, Length()) : std::u16string_view();
    }

private:
    BSTR s_ = nullptr;
};
