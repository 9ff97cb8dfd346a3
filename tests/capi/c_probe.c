#include "c_probe.h"

#include <string.h>

#include "q5client/q5client_c.h"

static BSTR Widen(const char* text) {
    size_t n = strlen(text);
    BSTR out = SysAllocStringLen(NULL, (UINT)n);
    for (size_t i = 0; out && i < n; ++i) out[i] = (OLECHAR)(unsigned char)text[i];
    return out;
}

// ASCII-only narrowing; anything else becomes '?'.
static void Narrow(BSTR text, char* out, size_t size) {
    size_t n = SysStringLen(text);
    if (n >= size) n = size - 1;
    for (size_t i = 0; i < n; ++i) out[i] = text[i] < 0x80 ? (char)text[i] : '?';
    out[n] = '\0';
}

// An ISupportEvents written in C: counts the progress reports it hears.
struct ProgressSink {
    ISupportEvents iface;  // first, so the interface pointer is the object's
    ULONG refs;
    int32_t calls, bytes, total;
};

static HRESULT SinkQueryInterface(ISupportEvents* This, const IID* riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualGUID(riid, &IID_IUnknown) || IsEqualGUID(riid, &IID_ISupportEvents)) {
        *ppv = This;
        This->lpVtbl->AddRef(This);
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}
static ULONG SinkAddRef(ISupportEvents* This) {
    return ++((struct ProgressSink*)This)->refs;
}
static ULONG SinkRelease(ISupportEvents* This) {
    return --((struct ProgressSink*)This)->refs;  // lives on the probe's stack
}
static HRESULT SinkGetStatus(ISupportEvents* This, LONG chan, BSTR mode, BSTR status, BSTR box) {
    (void)This, (void)chan, (void)mode, (void)status, (void)box;
    return S_OK;
}
static HRESULT SinkGetQ5Event(ISupportEvents* This, LONG msgid, BSTR data1, BSTR data2, BSTR data3) {
    (void)This, (void)msgid, (void)data1, (void)data2, (void)data3;
    return S_OK;
}
static HRESULT SinkGetProgress(ISupportEvents* This, LONG bytes, LONG total) {
    struct ProgressSink* sink = (struct ProgressSink*)This;
    ++sink->calls;
    sink->bytes = bytes;
    sink->total = total;
    return S_OK;
}
static const ISupportEventsVtbl kSinkVtbl = {SinkQueryInterface, SinkAddRef,     SinkRelease,
                                             SinkGetStatus,      SinkGetQ5Event, SinkGetProgress};

void q5c_run_probe(int port, const char* user, const char* password, const char* field,
                   const char* local_file, struct q5c_probe* out) {
    memset(out, 0, sizeof *out);
    out->event_id = -1;
    out->is_eof = -1;
    IQ5Connect* connect = NULL;
    out->create =
        CoCreateInstance(&CLSID_CoQ5Client, NULL, CLSCTX_INPROC_SERVER, &IID_IQ5Connect, (void**)&connect);
    if (FAILED(out->create)) return;

    BSTR host = Widen("127.0.0.1"), name = Widen(user), pass = Widen(password), wrong = Widen("wrong");
    BSTR box = Widen("BOX"), field_name = Widen(field);
    if (SUCCEEDED(connect->lpVtbl->Connect(connect, host, port, 10))) {
        out->wrong_login = connect->lpVtbl->Login(connect, name, wrong);
        IErrorInfo* info = NULL;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            BSTR text = NULL;
            info->lpVtbl->GetDescription(info, &text);
            Narrow(text, out->wrong_login_text, sizeof out->wrong_login_text);
            SysFreeString(text);
            info->lpVtbl->Release(info);
        }
        out->login = connect->lpVtbl->Login(connect, name, pass);
    }

    IQ5Table* table = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_IQ5Table, (void**)&table))) {
        out->set_table = table->lpVtbl->SetTable(table, box);
        out->get_record = table->lpVtbl->GetRecord(table);
        BSTR value = NULL;
        if (SUCCEEDED(table->lpVtbl->get_GetField(table, field_name, &value))) {
            Narrow(value, out->field, sizeof out->field);
        }
        SysFreeString(value);
        LONG eof = -1;
        if (SUCCEEDED(table->lpVtbl->get_IsEof(table, &eof))) out->is_eof = eof;
        table->lpVtbl->Release(table);
    }
    IQ5Util* util = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_IQ5Util, (void**)&util))) {
        LONG dll = 0, server = 0;
        if (SUCCEEDED(util->lpVtbl->GetVersion(util, &dll, &server))) out->dll_version = dll;
        struct ProgressSink sink = {{&kSinkVtbl}, 1, 0, 0, 0};
        BSTR remote = Widen("probe.bin"), local = Widen(local_file);
        out->put_file = util->lpVtbl->PutFile2(util, name, remote, local, &sink.iface);
        out->progress_calls = sink.calls;
        out->progress_bytes = sink.bytes;
        out->progress_total = sink.total;
        out->sink_refs = (int32_t)sink.refs;
        SysFreeString(local);
        SysFreeString(remote);
        util->lpVtbl->Release(util);
    }
    IQ5Admin* admin = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_IQ5Admin, (void**)&admin))) {
        BSTR empty = Widen("");
        out->light_mwi_empty = admin->lpVtbl->LightMWI(admin, name, empty);
        SysFreeString(empty);
        admin->lpVtbl->Release(admin);
    }
    IQ5FaxServer* fax = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_IQ5FaxServer, (void**)&fax))) {
        out->enum_null = fax->lpVtbl->EnumFaxJobs(fax, box, NULL, NULL);
        fax->lpVtbl->Release(fax);
    }
    IQ5CallCancel* cancel = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_IQ5CallCancel, (void**)&cancel))) {
        out->cancel_idle = cancel->lpVtbl->Cancel(cancel, 0);
        out->test_cancel_idle = cancel->lpVtbl->TestCancel(cancel);
        cancel->lpVtbl->Release(cancel);
    }
    ISupportErrorInfo* support = NULL;
    if (SUCCEEDED(connect->lpVtbl->QueryInterface(connect, &IID_ISupportErrorInfo, (void**)&support))) {
        out->supports_fax = support->lpVtbl->InterfaceSupportsErrorInfo(support, &IID_IQ5FaxServer);
        support->lpVtbl->Release(support);
    }
    connect->lpVtbl->Quit(connect);
    connect->lpVtbl->Release(connect);

    ICoEvents* events = NULL;
    out->events_create =
        CoCreateInstance(&CLSID_CoEvents, NULL, CLSCTX_INPROC_SERVER, &IID_ICoEvents, (void**)&events);
    if (SUCCEEDED(out->events_create)) {
        out->event_null = events->lpVtbl->GetQ5Event(events, NULL, NULL, NULL, NULL);
        LONG id = -1;
        out->event_poll = events->lpVtbl->GetQ5Event(events, &id, NULL, NULL, NULL);
        out->event_id = id;
        events->lpVtbl->Release(events);
    }
    SysFreeString(field_name);
    SysFreeString(box);
    SysFreeString(wrong);
    SysFreeString(pass);
    SysFreeString(name);
    SysFreeString(host);
}
