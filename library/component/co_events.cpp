#include "component/co_events.h"

#include "component/errors.h"

namespace q5::component {

void* CoEvents::FindInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, IID_ICoEvents)) return static_cast<ICoEvents*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT CoEvents::InterfaceSupportsErrorInfo(REFIID riid) {
    return IsEqualIID(riid, IID_ICoEvents) ? S_OK : S_FALSE;
}

HRESULT CoEvents::BeginStatusLog(BSTR, LONG, LONG, BSTR, BSTR, ISupportEvents*) {
    return Raise(E_NOTIMPL, kSourceCoEvents, u"Not implemented");
}

HRESULT CoEvents::BeginQ5Log(BSTR, LONG, LONG, BSTR, BSTR, ISupportEvents*) {
    return Raise(E_NOTIMPL, kSourceCoEvents, u"Not implemented");
}

HRESULT CoEvents::EndStatusLog() { return E_NOTIMPL; }
HRESULT CoEvents::EndQ5Log() { return E_NOTIMPL; }

HRESULT CoEvents::GetQ5Event(LONG* id, BSTR*, BSTR*, BSTR*) {
    if (id) *id = 0;
    return E_NOTIMPL;
}

}  // namespace q5::component
