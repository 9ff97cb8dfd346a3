// ProgressSink: the ISupportEvents object a window passes to PutFile2. It
// forwards GetProgress to the window's handler; GetStatus and GetQ5Event are
// accepted and ignored. Reference-counted: it lives as long as the window's
// ComPtr or the library holds it; Detach() cuts it from the window so a late
// call after the window went does nothing.
//
// Thread rule: the library calls it on the session thread, from inside
// PutFile2 while the window waits; the handler must hand anything for the
// window to the UI thread. Create and Detach on the UI thread, not during
// such a call.
#pragma once

#include <atomic>
#include <functional>

#include "q5client/q5client.h"

namespace q5::mailbox {

class ProgressSink final : public ISupportEvents {
public:
    using Handler = std::function<void(LONG bytes, LONG total)>;

    // Starts with one reference, owned by the caller.
    static ComPtr<ISupportEvents> Create(Handler handler, ProgressSink** self = nullptr);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) override;
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG msgid, BSTR data1, BSTR data2, BSTR data3) override;
    HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) override;

    void Detach() { handler_ = nullptr; }

private:
    explicit ProgressSink(Handler handler) : handler_(std::move(handler)) {}
    ~ProgressSink() = default;

    std::atomic<ULONG> references_{1};
    Handler handler_;
};

}  // namespace q5::mailbox
