// CoEvents: the event object, which runs the status log and the Q5 event
// log in the background, each on a connection of its own.
//
// Thread rule: apartment-threaded like CoQ5Client; the log workers (once
// they run) call sinks from their own threads.
#pragma once

#include "channel/server_session.h"
#include "component/com_object.h"
#include "q5client/q5client.h"

namespace q5::component {

class CoEvents final : public ComObject<CoEvents, ICoEvents, ISupportErrorInfo> {
public:
    CoEvents() = default;
    void* FindInterface(REFIID iid) noexcept;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    HRESULT STDMETHODCALLTYPE BeginStatusLog(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                             ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE BeginQ5Log(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                         ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE EndStatusLog() override;
    HRESULT STDMETHODCALLTYPE EndQ5Log() override;
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) override;

private:
    channel::ServerSession status_session_;
    channel::ServerSession q5_session_;
};

}  // namespace q5::component
