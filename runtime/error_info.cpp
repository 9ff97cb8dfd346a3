// Error records and the calling thread's current record.
#include <q5client/com.h>

#include <atomic>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace {

// One error record, written through ICreateErrorInfo and read through
// IErrorInfo. Several threads may hold references, so the count is atomic
// and the fields are guarded.
class ErrorRecord final : public IErrorInfo, public ICreateErrorInfo {
public:
    ErrorRecord() = default;
    ErrorRecord(const ErrorRecord&) = delete;
    ErrorRecord& operator=(const ErrorRecord&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        // IUnknown always resolves through IErrorInfo so that both views
        // report the same identity.
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *ppv = static_cast<IErrorInfo*>(this);
        } else if (riid == IID_ICreateErrorInfo) {
            *ppv = static_cast<ICreateErrorInfo*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
        if (!guid) return E_POINTER;
        std::lock_guard lock(mutex_);
        *guid = guid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override { return Get(source_, source); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
        return Get(description_, description);
    }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) override { return Get(helpFile_, helpFile); }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) override {
        if (!helpContext) return E_POINTER;
        std::lock_guard lock(mutex_);
        *helpContext = helpContext_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) override {
        std::lock_guard lock(mutex_);
        guid_ = guid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) override { return Set(source_, source); }
    HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) override {
        return Set(description_, description);
    }
    HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) override { return Set(helpFile_, helpFile); }
    HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) override {
        std::lock_guard lock(mutex_);
        helpContext_ = helpContext;
        return S_OK;
    }

private:
    ~ErrorRecord() = default;

    using Text = std::optional<std::u16string>;

    // Hands out a new copy; a field that was never set reads as a null BSTR.
    HRESULT Get(const Text& field, BSTR* out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        std::lock_guard lock(mutex_);
        if (!field) return S_OK;
        BSTR copy = SysAllocStringLen(field->data(), static_cast<UINT>(field->size()));
        if (!copy) return E_OUTOFMEMORY;
        *out = copy;
        return S_OK;
    }

    // A null text clears the field.
    HRESULT Set(Text& field, LPCOLESTR text) {
        try {
            Text value;
            if (text) value.emplace(text);
            std::lock_guard lock(mutex_);
            field.swap(value);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    std::atomic<ULONG> refs_{1};
    std::mutex mutex_;
    GUID guid_ = GUID_NULL;
    Text source_;
    Text description_;
    Text helpFile_;
    DWORD helpContext_ = 0;
};

// The calling thread's current record. The destructor runs when the thread
// ends, so a record nobody collected is released rather than leaked.
struct ThreadRecord {
    IErrorInfo* info = nullptr;

    ThreadRecord() = default;
    ThreadRecord(const ThreadRecord&) = delete;
    ThreadRecord& operator=(const ThreadRecord&) = delete;
    ~ThreadRecord() {
        if (IErrorInfo* left = std::exchange(info, nullptr)) left->Release();
    }
};

thread_local ThreadRecord tCurrent;

}  // namespace

extern "C" {

HRESULT CreateErrorInfo(ICreateErrorInfo** created) {
    if (!created) return E_POINTER;
    auto* record = new (std::nothrow) ErrorRecord();
    *created = record;
    return record ? S_OK : E_OUTOFMEMORY;
}

HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info) {
    if (reserved != 0) return E_INVALIDARG;
    if (info) info->AddRef();
    // Release after the swap: the old record's release may run arbitrary
    // code, which must see the new record already in place.
    if (IErrorInfo* previous = std::exchange(tCurrent.info, info)) previous->Release();
    return S_OK;
}

HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (reserved != 0) return E_INVALIDARG;
    *info = std::exchange(tCurrent.info, nullptr);
    return *info ? S_OK : S_FALSE;
}

}  // extern "C"
