// ClassFactory<T>: the factory of one creatable class. One static instance
// per class lives as long as the library; its references and LockServer
// calls keep the library loaded (DllCanUnloadNow).
//
// Thread rule: any thread.
#pragma once

#include <atomic>

#include "component/module.h"
#include "q5client/com.h"

namespace q5::component {

template <class T>
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // A held factory counts as a lock on the library.
    ULONG STDMETHODCALLTYPE AddRef() override {
        Module::Lock();
        return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        Module::Unlock();
        return refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        return T::Create(outer, iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            Module::Lock();
        else
            Module::Unlock();
        return S_OK;
    }

private:
    std::atomic<ULONG> refs_{0};
};

}  // namespace q5::component
