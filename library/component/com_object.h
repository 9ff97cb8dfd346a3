// ComObject: reference counting, interface lookup and aggregation for the
// library's classes.
//
// A class derives from ComObject<Self, Interfaces...> and provides
//   void* FindInterface(REFIID iid) noexcept;
// returning the matching interface pointer (without a reference) or null.
//
// Every object has a non-delegating unknown (inner_) that owns the reference
// count. When the object is aggregated, the IUnknown methods of all its
// interfaces delegate to the outer object, and only the inner unknown is
// handed to the outer object; otherwise they delegate to the inner unknown.
//
// Thread rule: reference counts are atomic; everything else follows the
// class's own rule.
#pragma once

#include <atomic>
#include <new>

#include "component/module.h"
#include "q5client/com.h"

namespace q5::component {

template <class Self, class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The IUnknown methods of every interface: delegate to the controlling
    // unknown (the outer object when aggregated).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        return controlling_->QueryInterface(iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return controlling_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return controlling_->Release(); }

    // Builds an object (aggregated when outer is given) and queries it for
    // iid. An aggregated object may only be asked for IUnknown.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** ppv) noexcept {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
        Self* object = new (std::nothrow) Self();
        if (!object) return E_OUTOFMEMORY;
        ComObject& base = *object;
        if (outer) base.controlling_ = outer;
        // Hold a reference while querying so a failed query destroys it.
        base.inner_.AddRef();
        HRESULT hr = base.inner_.QueryInterface(iid, ppv);
        base.inner_.Release();
        return hr;
    }

protected:
    ComObject() noexcept : inner_(this), controlling_(&inner_) { Module::ObjectCreated(); }
    ~ComObject() { Module::ObjectDestroyed(); }

private:
    class Inner final : public IUnknown {
    public:
        // Keeps the base: the object is converted to Self only once it is
        // fully built, when a query or the last release arrives.
        explicit Inner(ComObject* owner) noexcept : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
            if (!ppv) return E_POINTER;
            *ppv = nullptr;
            if (IsEqualIID(iid, IID_IUnknown)) {
                *ppv = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            void* found = static_cast<Self*>(owner_)->FindInterface(iid);
            if (!found) return E_NOINTERFACE;
            *ppv = found;
            // Through the interface, so an aggregated object counts on the outer.
            static_cast<IUnknown*>(found)->AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override {
            return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
        }
        ULONG STDMETHODCALLTYPE Release() override {
            ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
            if (left == 0) delete static_cast<Self*>(owner_);
            return left;
        }

    private:
        ComObject* owner_;
        std::atomic<ULONG> refs_{0};
    };

    Inner inner_;
    IUnknown* controlling_;
};

}  // namespace q5::component
