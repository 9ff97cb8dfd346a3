// ProgressSink: an ISupportEvents object for the tests that records every
// progress report and status report it receives. Reference counted like any
// component object; the test keeps one reference.
//
// Thread rule: any thread; the status log calls it from its worker thread,
// so the records are guarded by a lock.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "q5client/q5client.h"

namespace q5test {

class ProgressSink final : public ISupportEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISupportEvents) {
            *ppv = static_cast<ISupportEvents*>(this);
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
    HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) override {
        std::lock_guard lock(mutex_);
        // As "mode|box|status", the order of the stream's record.
        statuses_.push_back({chan, Narrow(mode) + "|" + Narrow(box) + "|" + Narrow(status)});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) override {
        std::lock_guard lock(mutex_);
        progress_.emplace_back(bytes, total);
        return S_OK;
    }

    std::vector<std::pair<LONG, LONG>> progress() {
        std::lock_guard lock(mutex_);
        return progress_;
    }
    std::vector<std::pair<LONG, std::string>> statuses() {
        std::lock_guard lock(mutex_);
        return statuses_;
    }
    ULONG refs() const { return refs_; }

private:
    static std::string Narrow(BSTR text) {
        std::string out;
        for (UINT i = 0; text && i < SysStringLen(text); ++i) out += static_cast<char>(text[i]);
        return out;
    }

    std::atomic<ULONG> refs_{1};
    std::mutex mutex_;
    std::vector<std::pair<LONG, LONG>> progress_;
    std::vector<std::pair<LONG, std::string>> statuses_;
};

}  // namespace q5test
