/// @file
/// @brief Component runtime for Linux (libq5com): the types, result codes,
/// base interfaces and functions that in-process component servers and their
/// callers share.
///
/// Thread rule: BSTR functions and CoCreateInstance may be called from any
/// thread. The error record set by SetErrorInfo belongs to the calling thread;
/// GetErrorInfo hands it over to the caller and clears it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

/// @cond Q5COM_INTERNAL
#if defined(Q5COM_BUILDING)
#define Q5COM_API __attribute__((visibility("default")))
#else
#define Q5COM_API
#endif

#define STDMETHODCALLTYPE
#define STDAPI extern "C" Q5COM_API HRESULT
/// @endcond

/// @name Types of the platform
///@{
using HRESULT = std::int32_t;      ///< Result code: negative is failure (see FAILED).
using LONG = std::int32_t;         ///< 32-bit signed number.
using ULONG = std::uint32_t;       ///< 32-bit unsigned number.
using DWORD = std::uint32_t;       ///< 32-bit unsigned number.
using UINT = unsigned int;         ///< Unsigned number.
using BOOL = std::int32_t;         ///< Truth value: 0 false, else true.
using OLECHAR = char16_t;          ///< One UTF-16 code unit.
using LPOLESTR = OLECHAR*;         ///< Zero-terminated UTF-16 text.
using LPCOLESTR = const OLECHAR*;  ///< Zero-terminated UTF-16 text, read only.
/// UTF-16 text from SysAllocString, preceded by its byte count; null is
/// valid empty text. Whoever allocates it, or receives it through a BSTR*
/// result, frees it with SysFreeString.
using BSTR = OLECHAR*;
///@}

/// A 128-bit identity of a class or an interface.
struct GUID {
    std::uint32_t Data1;    ///< First 8 hex digits.
    std::uint16_t Data2;    ///< Next 4 hex digits.
    std::uint16_t Data3;    ///< Next 4 hex digits.
    std::uint8_t Data4[8];  ///< Last 16 hex digits, in bytes.
};
/// @name Identity types
///@{
using IID = GUID;               ///< Identity of an interface.
using CLSID = GUID;             ///< Identity of a class.
using REFGUID = const GUID&;    ///< An identity passed by reference.
using REFIID = const IID&;      ///< An interface identity passed by reference.
using REFCLSID = const CLSID&;  ///< A class identity passed by reference.
///@}

/// @name Comparing identities (byte for byte)
///@{
/// Whether two identities are the same.
/// @param a One identity.
/// @param b The other.
/// @return True when they are.
inline bool operator==(const GUID& a, const GUID& b) noexcept {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
/// Whether two identities differ.
/// @param a One identity.
/// @param b The other.
/// @return True when they differ.
inline bool operator!=(const GUID& a, const GUID& b) noexcept {
    return !(a == b);
}
/// Whether two identities are the same.
/// @param a One identity.
/// @param b The other.
/// @return True when they are.
inline bool IsEqualGUID(REFGUID a, REFGUID b) noexcept {
    return a == b;
}
/// Whether two interface identities are the same.
/// @param a One identity.
/// @param b The other.
/// @return True when they are.
inline bool IsEqualIID(REFIID a, REFIID b) noexcept {
    return a == b;
}
/// Whether two class identities are the same.
/// @param a One identity.
/// @param b The other.
/// @return True when they are.
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) noexcept {
    return a == b;
}
///@}

/// The null identity (all zero).
inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

/// @name Result codes, with the platform's values
///@{
inline constexpr HRESULT S_OK = 0;     ///< Success.
inline constexpr HRESULT S_FALSE = 1;  ///< Success, with nothing done or nothing found.
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);  ///< Not implemented.
inline constexpr HRESULT E_NOINTERFACE =
    static_cast<HRESULT>(0x80004002u);                                   ///< The object lacks the interface.
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);  ///< A required pointer is null.
inline constexpr HRESULT E_FAIL =
    static_cast<HRESULT>(0x80004005u);  ///< The operation failed (the server refused).
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);   ///< An internal fault.
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);  ///< Out of memory.
inline constexpr HRESULT E_INVALIDARG =
    static_cast<HRESULT>(0x80070057u);  ///< An argument is not acceptable.
/// The class cannot be created inside an outer object.
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
/// The library does not provide the class.
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
/// The class is not in the registry, or its library cannot be loaded.
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
///@}

/// Whether a result code is a success (S_OK, S_FALSE).
/// @param hr The result code.
/// @return True for success.
inline constexpr bool SUCCEEDED(HRESULT hr) noexcept {
    return hr >= 0;
}
/// Whether a result code is a failure (any E_ code).
/// @param hr The result code.
/// @return True for failure.
inline constexpr bool FAILED(HRESULT hr) noexcept {
    return hr < 0;
}

/// Creation context of CoCreateInstance: a library in this process.
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

/// @name Standard identities of the base interfaces
///@{
/// The identity of IUnknown.
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
/// The identity of IClassFactory.
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
/// The identity of IErrorInfo.
inline constexpr IID IID_IErrorInfo{
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
/// The identity of ICreateErrorInfo.
inline constexpr IID IID_ICreateErrorInfo{
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
/// The identity of ISupportErrorInfo.
inline constexpr IID IID_ISupportErrorInfo{
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
///@}

// Interfaces hold pure virtual methods only, so the vtable slots follow the
// declaration order exactly (no virtual destructor, which would add slots).

/// @brief The base of every interface: identity and reference counting.
///
/// Thread rule: reference counting may be used from any thread.
struct IUnknown {
    /// @brief Asks the object for another of its interfaces.
    /// @param riid The identity of the interface wanted.
    /// @param[out] ppv Receives the interface with one reference that the
    ///        caller releases; null on failure.
    /// @retval S_OK The object has the interface.
    /// @retval E_NOINTERFACE It has not.
    /// @retval E_POINTER @p ppv is null.
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
    /// @brief Adds a reference.
    /// @return The new count, for diagnostics only.
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    /// @brief Drops a reference; the object goes with the last one.
    /// @return The new count, for diagnostics only.
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

/// @brief Makes the objects of one class (from CoGetClassObject).
struct IClassFactory : IUnknown {
    /// @brief Creates an object of the class.
    /// @param outer The controlling object when aggregating, else null.
    /// @param riid The interface wanted; IID_IUnknown when aggregating.
    /// @param[out] ppv Receives it, with one reference the caller releases.
    /// @retval S_OK Created.
    /// @retval CLASS_E_NOAGGREGATION @p outer is given and @p riid is not
    ///         IID_IUnknown.
    /// @retval E_NOINTERFACE The object lacks the interface.
    /// @retval E_POINTER @p ppv is null.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    /// @brief Keeps the library loaded (or lets it go) while no object lives.
    /// @param lock Nonzero to lock, zero to unlock.
    /// @retval S_OK Always.
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

/// @brief An error record: what the last failed call of this thread reported
/// (GetErrorInfo).
///
/// Each text getter writes a new BSTR that the caller frees with
/// SysFreeString, or null when the text was never set.
struct IErrorInfo : IUnknown {
    /// @brief The interface that raised the error (GUID_NULL from Q5Client).
    /// @param[out] guid Receives the identity.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p guid is null.
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
    /// @brief The raising class's programmatic identifier.
    /// @param[out] source Receives a new BSTR, freed by the caller.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p source is null.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
    /// @brief The message for people.
    /// @param[out] description Receives a new BSTR, freed by the caller.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p description is null.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
    /// @brief The help file (empty from Q5Client).
    /// @param[out] helpFile Receives a new BSTR, freed by the caller.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p helpFile is null.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
    /// @brief The help context (0 from Q5Client).
    /// @param[out] helpContext Receives the number.
    /// @retval S_OK Written.
    /// @retval E_POINTER @p helpContext is null.
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;
};

/// @brief Fills in a new error record (CreateErrorInfo); the texts are
/// copied, so the arguments stay the caller's.
struct ICreateErrorInfo : IUnknown {
    /// @brief Sets the raising interface.
    /// @param guid Its identity.
    /// @retval S_OK Set.
    virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) = 0;
    /// @brief Sets the raising class's programmatic identifier.
    /// @param source Zero-terminated text, or null for none.
    /// @retval S_OK Set.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) = 0;
    /// @brief Sets the message.
    /// @param description Zero-terminated text, or null for none.
    /// @retval S_OK Set.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) = 0;
    /// @brief Sets the help file.
    /// @param helpFile Zero-terminated text, or null for none.
    /// @retval S_OK Set.
    /// @retval E_OUTOFMEMORY Out of memory.
    virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) = 0;
    /// @brief Sets the help context.
    /// @param helpContext The number.
    /// @retval S_OK Set.
    virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) = 0;
};

/// @brief Tells which of an object's interfaces leave error records.
struct ISupportErrorInfo : IUnknown {
    /// @brief Whether failures of an interface set the error record.
    /// @param riid The interface.
    /// @retval S_OK They do (IQ5Connect, IQ5Table, IQ5Admin, IQ5Util, ICoEvents).
    /// @retval S_FALSE They do not (IQ5FaxServer, any other).
    virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

/// @brief The identity of interface type `I`, for ComPtr::As.
///
/// Specialised for every interface of the runtime and of the Q5Client type
/// library; an interface without a specialisation cannot be asked for by
/// type (it does not compile), only by its identity.
template <class I>
struct InterfaceId;
/// @cond Q5COM_INTERNAL
template <>
struct InterfaceId<IUnknown> {
    static constexpr const IID& value = IID_IUnknown;
};
template <>
struct InterfaceId<IClassFactory> {
    static constexpr const IID& value = IID_IClassFactory;
};
template <>
struct InterfaceId<IErrorInfo> {
    static constexpr const IID& value = IID_IErrorInfo;
};
template <>
struct InterfaceId<ICreateErrorInfo> {
    static constexpr const IID& value = IID_ICreateErrorInfo;
};
template <>
struct InterfaceId<ISupportErrorInfo> {
    static constexpr const IID& value = IID_ISupportErrorInfo;
};
/// @endcond

/// @name Signatures of a component library's entry points
///@{
using PFN_DllGetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);  ///< DllGetClassObject
using PFN_DllCanUnloadNow = HRESULT (*)();                            ///< DllCanUnloadNow
using PFN_DllRegisterServer = HRESULT (*)();                          ///< DllRegisterServer
using PFN_DllUnregisterServer = HRESULT (*)();                        ///< DllUnregisterServer
///@}

// ---- Wide strings -------------------------------------------------------
// A BSTR points at UTF-16 text preceded by a 32-bit byte count and followed
// by a zero character. A null BSTR is a valid empty string.
extern "C" {
/// @brief A new BSTR holding a copy of zero-terminated text.
/// @param text The text; null gives null.
/// @return The BSTR, which the caller frees with SysFreeString; null when
///         @p text is null or memory is short.
Q5COM_API BSTR SysAllocString(const OLECHAR* text);
/// @brief A new BSTR of @p length characters.
/// @param text The characters to copy, or null to leave them zero.
/// @param length The number of UTF-16 code units.
/// @return The BSTR, which the caller frees with SysFreeString; null when
///         memory is short.
Q5COM_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
/// @brief Frees a BSTR from SysAllocString, SysAllocStringLen or a method
/// result.
/// @param text The BSTR; null does nothing.
Q5COM_API void SysFreeString(BSTR text);
/// @brief The length of a BSTR in UTF-16 code units.
/// @param text The BSTR; null counts as empty.
/// @return The length (0 for null).
Q5COM_API UINT SysStringLen(BSTR text);
/// @brief The length of a BSTR in bytes.
/// @param text The BSTR; null counts as empty.
/// @return The byte count (0 for null).
Q5COM_API UINT SysStringByteLen(BSTR text);

// ---- Error records ------------------------------------------------------
/// @brief A new, empty error record to fill in.
/// @param[out] created Receives it, with one reference the caller releases.
/// @retval S_OK Created.
/// @retval E_POINTER @p created is null.
/// @retval E_OUTOFMEMORY Out of memory.
Q5COM_API HRESULT CreateErrorInfo(ICreateErrorInfo** created);
/// @brief Makes @p info the calling thread's error record, replacing any.
/// @param reserved Must be 0.
/// @param info The record (the thread takes a reference), or null to clear.
/// @retval S_OK Set.
/// @retval E_INVALIDARG @p reserved is not 0.
Q5COM_API HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
/// @brief Hands the calling thread's error record to the caller (who
/// releases it) and clears it.
/// @param reserved Must be 0.
/// @param[out] info Receives the record, or null when there is none.
/// @retval S_OK A record was handed over.
/// @retval S_FALSE There is none.
/// @retval E_POINTER @p info is null.
/// @retval E_INVALIDARG @p reserved is not 0.
Q5COM_API HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

// ---- Creation -----------------------------------------------------------
/// @brief Creates an object of a registered class: loads its library (found
/// through the registry of classes) and asks its class factory.
/// @param clsid The class.
/// @param outer The controlling object when aggregating, else null.
/// @param clsctx CLSCTX_INPROC_SERVER.
/// @param riid The interface wanted.
/// @param[out] ppv Receives it, with one reference the caller releases.
/// @retval S_OK Created.
/// @retval REGDB_E_CLASSNOTREG The class is not registered, or @p clsctx
///         lacks CLSCTX_INPROC_SERVER.
/// @retval E_FAIL The registered library cannot be loaded or exports no
///         DllGetClassObject, or the registry cannot be read.
/// @retval CLASS_E_CLASSNOTAVAILABLE The library does not provide the class.
/// @retval CLASS_E_NOAGGREGATION @p outer is given and @p riid is not
///         IID_IUnknown.
/// @retval E_NOINTERFACE The object lacks the interface.
/// @retval E_POINTER @p ppv is null.
Q5COM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsctx, REFIID riid, void** ppv);
/// @brief The class factory (or another class object interface) of a class.
/// @param clsid The class.
/// @param clsctx CLSCTX_INPROC_SERVER.
/// @param reserved Must be null.
/// @param riid The interface wanted, usually IID_IClassFactory.
/// @param[out] ppv Receives it, with one reference the caller releases.
/// @return As CoCreateInstance.
Q5COM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsctx, void* reserved, REFIID riid, void** ppv);
/// @brief The class registered under a programmatic identifier.
/// @param progId For example u"Q5Client.CoQ5Client.1".
/// @param[out] clsid Receives the class identity.
/// @retval S_OK Found.
/// @retval 0x800401F3 (CO_E_CLASSSTRING) Not registered, or not a usable name.
/// @retval E_INVALIDARG @p progId is null.
/// @retval E_POINTER @p clsid is null.
Q5COM_API HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
/// @brief Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" and a zero.
/// @param guid The identity.
/// @param[out] out The buffer.
/// @param max Its size in characters; at least 39.
/// @return The characters written including the zero, or 0 when @p max is
///         below 39.
Q5COM_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int max);
/// @brief Reads an identity written as StringFromGUID2 writes it.
/// @param text The text, braces included.
/// @param[out] clsid Receives the identity.
/// @retval S_OK Read.
/// @retval E_INVALIDARG Not in that form, or @p text is null.
/// @retval E_POINTER @p clsid is null.
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
/// @brief Creates a key (and the keys above it) if absent.
/// @param key The key path.
/// @retval S_OK Present now.
/// @retval E_INVALIDARG A control character in the key.
/// @retval E_FAIL The file cannot be read or written.
Q5COM_API HRESULT Q5RegCreateKey(const char* key);
/// @brief Sets a named value of a key, creating the key if absent.
/// @param key The key path.
/// @param name The value's name; empty for the key's default value.
/// @param value The value.
/// @retval S_OK Set.
/// @retval E_INVALIDARG A control character in an argument.
/// @retval E_FAIL The file cannot be read or written.
Q5COM_API HRESULT Q5RegSetValue(const char* key, const char* name, const char* value);
/// @brief Reads a named value.
/// @param key The key path.
/// @param name The value's name; empty for the default value.
/// @param[out] out The buffer.
/// @param size Its size in bytes.
/// @return S_OK when copied, S_FALSE when absent, E_INVALIDARG when it does
///         not fit, E_POINTER when @p out is null, E_FAIL when the file
///         cannot be read.
// Copies the value into out (size bytes with its zero); S_FALSE when the
// key or value does not exist, E_INVALIDARG when it does not fit.
Q5COM_API HRESULT Q5RegGetValue(const char* key, const char* name, char* out, std::size_t size);
// Removes the key, its values and every key below it. S_FALSE when absent.
/// @brief Removes a key and all below it.
/// @param key The key path.
/// @return S_OK, S_FALSE, E_INVALIDARG, or E_FAIL as for Q5RegSetValue.
Q5COM_API HRESULT Q5RegDeleteTree(const char* key);
// Writes the path of the registry file into out; E_INVALIDARG if too small.
/// @brief The registry file's path.
/// @param[out] out The buffer.
/// @param size Its size in bytes.
/// @return S_OK; E_INVALIDARG when it does not fit; E_POINTER when @p out
///         is null; E_FAIL when no path can be made (no home folder).
Q5COM_API HRESULT Q5RegPath(char* out, std::size_t size);
}

// ---- Owning wrappers for callers ----------------------------------------

/// @brief Holds one reference to an interface; releases it when it goes.
///
/// Thread rule: one ComPtr is used by one thread at a time; the interface
/// it holds keeps its own rule.
/// @tparam T The interface type.
template <class T>
class ComPtr {
public:
    /// Holds nothing.
    ComPtr() noexcept = default;
    /// Holds nothing.
    ComPtr(std::nullptr_t) noexcept {}
    /// Holds @p p with a reference of its own (AddRef).
    /// @param p The interface, or null.
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    /// Holds what @p o holds, with a reference of its own.
    /// @param o The pointer to copy.
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    /// Takes over the reference of @p o, which then holds nothing.
    /// @param o The pointer to move from.
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    /// Releases what is held.
    ~ComPtr() { Reset(); }
    /// Releases what is held, then holds what @p o holds with a reference of its own.
    /// @param o The pointer to copy.
    /// @return This pointer.
    ComPtr& operator=(const ComPtr& o) noexcept {
        if (this != &o) {
            ComPtr tmp(o);
            Swap(tmp);
        }
        return *this;
    }
    /// Releases what is held, then takes over the reference of @p o.
    /// @param o The pointer to move from.
    /// @return This pointer.
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    /// Releases what is held; then holds nothing.
    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    /// Exchanges what this and @p o hold.
    /// @param o The other pointer.
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }
    /// Takes over a reference that the caller already owns.
    /// @param p The interface, or null.
    void Attach(T* p) noexcept {
        Reset();
        p_ = p;
    }
    /// Gives up the reference without releasing it.
    /// @return The interface, which the caller now releases; may be null.
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    /// The interface held, still owned by this pointer.
    /// @return The interface, or null.
    T* Get() const noexcept { return p_; }
    /// Calls a method of the interface held (which must not be null).
    /// @return The interface.
    T* operator->() const noexcept { return p_; }
    /// True when an interface is held.
    explicit operator bool() const noexcept { return p_ != nullptr; }
    /// Releases what is held and gives the address for an out parameter.
    /// @return The address of the held pointer, now null.
    T** ReleaseAndGetAddressOf() noexcept {
        Reset();
        return &p_;
    }
    /// Releases what is held and gives the address for a void** out
    /// parameter (QueryInterface, CoCreateInstance).
    /// @return The address of the held pointer, now null.
    void** AsOut() noexcept {
        Reset();
        return reinterpret_cast<void**>(&p_);
    }
    /// @brief Asks the object for an interface by identity. The caller vouches
    /// that @p iid is the identity of @p U; prefer the typed form.
    /// @tparam U The interface type of @p out.
    /// @param iid The identity of the interface wanted.
    /// @param[out] out Receives the interface; null on failure.
    /// @retval S_OK The object has the interface.
    /// @retval E_NOINTERFACE It has not.
    /// @retval E_POINTER Nothing is held.
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.AsOut());
    }
    /// @brief Asks the object for interface @p U, by U's own identity
    /// (InterfaceId).
    /// @tparam U The interface wanted.
    /// @param[out] out Receives the interface; null on failure.
    /// @retval S_OK The object has the interface.
    /// @retval E_NOINTERFACE It has not.
    /// @retval E_POINTER Nothing is held.
    template <class U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        return As(InterfaceId<U>::value, out);
    }
    /// @brief Asks the object for interface @p U, by U's own identity.
    /// @tparam U The interface wanted.
    /// @return The interface, or null when the object has not got it or
    ///         nothing is held.
    template <class U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> out;
        As(out);
        return out;
    }

private:
    T* p_ = nullptr;
};

/// @brief Owns one BSTR; frees it when it goes.
///
/// Thread rule: one BStr is used by one thread at a time.
class BStr {
public:
    /// Holds null (empty text).
    BStr() noexcept = default;
    /// A copy of zero-terminated text.
    /// @param text The text; null gives null.
    explicit BStr(const char16_t* text) : s_(SysAllocString(text)) {}
    /// A copy of @p length characters.
    /// @param text The characters.
    /// @param length Their number.
    BStr(const char16_t* text, UINT length) : s_(SysAllocStringLen(text, length)) {}
    BStr(const BStr&) = delete;             ///< Not copyable.
    BStr& operator=(const BStr&) = delete;  ///< Not copyable.
    /// Takes over the string of @p o, which then holds null.
    /// @param o The string to move from.
    BStr(BStr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    /// Frees what is held, then takes over the string of @p o.
    /// @param o The string to move from.
    /// @return This string.
    BStr& operator=(BStr&& o) noexcept {
        if (this != &o) {
            Reset();
            s_ = std::exchange(o.s_, nullptr);
        }
        return *this;
    }
    /// Frees what is held.
    ~BStr() { Reset(); }
    /// Frees what is held; then holds null.
    void Reset() noexcept { SysFreeString(std::exchange(s_, nullptr)); }
    /// The string, still owned by this object, for an in-argument.
    /// @return The BSTR, possibly null.
    BSTR Get() const noexcept { return s_; }
    /// Frees what is held and gives the address for a BSTR* out parameter;
    /// the string written there is then owned by this object.
    /// @return The address of the held BSTR, now null.
    BSTR* ReleaseAndGetAddressOf() noexcept {
        Reset();
        return &s_;
    }
    /// Gives up the string without freeing it.
    /// @return The BSTR, which the caller now frees with SysFreeString.
    BSTR Detach() noexcept { return std::exchange(s_, nullptr); }
    /// The length in UTF-16 code units.
    /// @return The length (0 for null).
    UINT Length() const noexcept { return SysStringLen(s_); }
    /// The text, valid while this object holds it.
    /// @return A view of the characters (empty for null).
    std::u16string_view View() const noexcept {
        return s_ ? std::u16string_view(s_, Length()) : std::u16string_view();
    }

private:
    BSTR s_ = nullptr;
};
