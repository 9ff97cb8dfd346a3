// The test component: one class with one interface, the four library entry
// points, and a counter of live references for the tests.
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "test_component.h"

#define Q5TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace q5test;

std::atomic<LONG> gLive{0};

class Adder final : public IAdder {
public:
    Adder() { ++gLive; }
    Adder(const Adder&) = delete;
    Adder& operator=(const Adder&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IAdder) {
            *ppv = static_cast<IAdder*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
        if (!sum) return E_POINTER;
        *sum = a + b;
        return S_OK;
    }

private:
    ~Adder() { --gLive; }
    std::atomic<ULONG> refs_{1};
};

// A static factory whose references count towards the library's liveness.
class AdderFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++gLive); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--gLive); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* adder = new (std::nothrow) Adder();
        if (!adder) return E_OUTOFMEMORY;
        const HRESULT hr = adder->QueryInterface(riid, ppv);
        adder->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++gLive : --gLive;
        return S_OK;
    }
};

AdderFactory gFactory;

std::string OwnPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&OwnPath), &info) == 0 || !info.dli_fname) return {};
    return info.dli_fname;
}

HRESULT FirstFailure(std::initializer_list<HRESULT> results) {
    for (const HRESULT hr : results) {
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

void RaiseError(const char16_t* description) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) return;
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

}  // namespace

Q5TEST_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_Adder) return CLASS_E_CLASSNOTAVAILABLE;
    return gFactory.QueryInterface(riid, ppv);
}

Q5TEST_EXPORT HRESULT DllCanUnloadNow() {
    return gLive.load() == 0 ? S_OK : S_FALSE;
}

Q5TEST_EXPORT HRESULT DllRegisterServer() {
    if (std::getenv(kFailRegistrationVariable)) {
        RaiseError(u"registration refused on request");
        return E_NOTIMPL;
    }
    const std::string path = OwnPath();
    if (path.empty()) return E_FAIL;
    const std::string clsidKey = std::string("CLSID\\") + kAdderClsidText;
    const std::string versioned = kAdderVersionedProgId;
    const std::string independent = kAdderProgId;
    return FirstFailure({
        Q5RegSetValue(clsidKey.c_str(), "", kAdderDescription),
        Q5RegSetValue((clsidKey + "\\InprocServer32").c_str(), "", path.c_str()),
        Q5RegSetValue((clsidKey + "\\InprocServer32").c_str(), "ThreadingModel", "Apartment"),
        Q5RegSetValue((clsidKey + "\\ProgID").c_str(), "", versioned.c_str()),
        Q5RegSetValue((versioned + "\\CLSID").c_str(), "", kAdderClsidText),
        Q5RegSetValue(independent.c_str(), "", kAdderDescription),
        Q5RegSetValue((independent + "\\CLSID").c_str(), "", kAdderClsidText),
        Q5RegSetValue((independent + "\\CurVer").c_str(), "", versioned.c_str()),
    });
}

Q5TEST_EXPORT HRESULT DllUnregisterServer() {
    const std::string clsidKey = std::string("CLSID\\") + kAdderClsidText;
    return FirstFailure({
        Q5RegDeleteTree(clsidKey.c_str()),
        Q5RegDeleteTree(kAdderVersionedProgId),
        Q5RegDeleteTree(kAdderProgId),
    });
}

Q5TEST_EXPORT LONG TestComponentLiveReferences() {
    return gLive.load();
}
