#include "mailbox/progress_sink.h"

namespace q5::mailbox {

ComPtr<ISupportEvents> ProgressSink::Create(Handler handler, ProgressSink** self) {
    auto* sink = new ProgressSink(std::move(handler));
    if (self) *self = sink;
    ComPtr<ISupportEvents> owned;
    *owned.ReleaseAndGetAddressOf() = sink;  // takes the first reference
    return owned;
}

HRESULT ProgressSink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISupportEvents)) {
        *ppv = static_cast<ISupportEvents*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ProgressSink::AddRef() {
    return ++references_;
}

ULONG ProgressSink::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT ProgressSink::GetStatus(LONG, BSTR, BSTR, BSTR) {
    return S_OK;
}

HRESULT ProgressSink::GetQ5Event(LONG, BSTR, BSTR, BSTR) {
    return S_OK;
}

HRESULT ProgressSink::GetProgress(LONG bytes, LONG total) {
    if (handler_) handler_(bytes, total);
    return S_OK;
}

}  // namespace q5::mailbox
