// CoQ5Client: the session object. All five interfaces work on one
// ServerSession, which the object owns for its whole life; destroying the
// object closes a connection still marked connected, without sending QUIT.
//
// Every method that may wait for the server runs as a "call" that
// IQ5CallCancel::Cancel can end from another thread: the call holds the
// call lock only to mark its start and its end, never while it waits, and
// Cancel holds it only to ask the session's socket to stop (see
// co_q5client_cancel.cpp for what a cancel guarantees).
//
// Thread rule: apartment-threaded. Call an object only from the thread that
// created it, one call at a time; the error record of a failing call is set
// on that thread. Only IQ5CallCancel may be called from any thread.
#pragma once

#include <mutex>
#include <utility>

#include "channel/server_session.h"
#include "component/com_object.h"
#include "component/guard.h"
#include "q5client/q5client.h"
#include "records/record_transfer.h"

namespace q5::component {

class CoQ5Client final : public ComObject<CoQ5Client, IQ5Connect, IQ5Table, IQ5Admin, IQ5Util, IQ5FaxServer,
                                          ISupportErrorInfo, IQ5CallCancel> {
public:
    CoQ5Client() = default;
    void* FindInterface(REFIID iid) noexcept;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    // IQ5Connect
    HRESULT STDMETHODCALLTYPE Connect(BSTR host, LONG port, LONG timeout) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Login(BSTR username, BSTR password) override;
    HRESULT STDMETHODCALLTYPE SuLogin(BSTR user, BSTR password) override;
    HRESULT STDMETHODCALLTYPE Quit() override;

    // IQ5Table (SuLogin above serves both interfaces)
    HRESULT STDMETHODCALLTYPE GetRecord() override;
    HRESULT STDMETHODCALLTYPE PutRecord() override;
    HRESULT STDMETHODCALLTYPE AddRecord() override;
    HRESULT STDMETHODCALLTYPE OpenTable(BSTR key) override;
    HRESULT STDMETHODCALLTYPE CloseTable() override;
    HRESULT STDMETHODCALLTYPE NextRecord() override;
    HRESULT STDMETHODCALLTYPE PrevRecord() override;
    HRESULT STDMETHODCALLTYPE FirstRecord() override;
    HRESULT STDMETHODCALLTYPE LastRecord() override;
    HRESULT STDMETHODCALLTYPE DeleteRecord() override;
    HRESULT STDMETHODCALLTYPE SetField(BSTR Field, BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_GetField(BSTR Field, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_GetField(BSTR Field, BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_IsEof(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_IsBof(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE SetTable(BSTR table) override;

    // IQ5Admin
    HRESULT STDMETHODCALLTYPE DeleteMailbox(BSTR mailbox) override;
    HRESULT STDMETHODCALLTYPE AddMailbox(BSTR mailbox) override;
    HRESULT STDMETHODCALLTYPE LightMWI(BSTR mailbox, BSTR mode) override;
    HRESULT STDMETHODCALLTYPE ResetMWI() override;
    HRESULT STDMETHODCALLTYPE SendRingEvent(LONG chan) override;
    HRESULT STDMETHODCALLTYPE SendHangupEvent(LONG chan) override;
    HRESULT STDMETHODCALLTYPE LoadConf(LONG k) override;

    // IQ5Util
    HRESULT STDMETHODCALLTYPE GetFile(BSTR mailbox, BSTR remotefile, BSTR localfile) override;
    HRESULT STDMETHODCALLTYPE GetFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                       ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE PutFile(BSTR mailbox, BSTR remotefile, BSTR localfile) override;
    HRESULT STDMETHODCALLTYPE PutFile2(BSTR mailbox, BSTR remotefile, BSTR localfile,
                                       ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE ConvertV2W(BSTR mailbox, BSTR remotefile) override;
    HRESULT STDMETHODCALLTYPE ConvertW2V(BSTR mailbox, BSTR remotefile) override;
    HRESULT STDMETHODCALLTYPE DelFile(BSTR mailbox, BSTR remotefile) override;
    HRESULT STDMETHODCALLTYPE RenFile(BSTR mailbox, BSTR srcfile, BSTR destfile) override;
    HRESULT STDMETHODCALLTYPE get_Uptime(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Serial(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_VLoad(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_VerType(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE KeepAlive() override;
    HRESULT STDMETHODCALLTYPE SetVValue(BSTR msgid, BSTR value) override;
    HRESULT STDMETHODCALLTYPE SetVXValue(BSTR msgid, BSTR v_value, BSTR x_value) override;
    HRESULT STDMETHODCALLTYPE GetAttr(BSTR name, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE CompileGrammar(BSTR infile, BSTR outfile) override;
    HRESULT STDMETHODCALLTYPE GetVersion(LONG* dll, LONG* server) override;
    HRESULT STDMETHODCALLTYPE GenDirAssistBnf(BSTR outfile, BSTR dep, BSTR opmode, LONG style) override;

    // IQ5FaxServer
    HRESULT STDMETHODCALLTYPE SendFax(LONG* JobID) override;
    HRESULT STDMETHODCALLTYPE GetFaxStatus(BSTR mailbox, LONG JobID, LONG* status) override;
    HRESULT STDMETHODCALLTYPE CancelFax(BSTR mailbox, LONG job) override;
    HRESULT STDMETHODCALLTYPE EnumFaxJobs(BSTR mailbox, int* jobs, int* size) override;
    HRESULT STDMETHODCALLTYPE RetryFax(BSTR mailbox, LONG job) override;
    HRESULT STDMETHODCALLTYPE GetFaxAttr(BSTR mailbox, LONG job, BSTR attr, BSTR* pVal) override;

    // IQ5CallCancel (any thread)
    HRESULT STDMETHODCALLTYPE Cancel(ULONG ulSeconds) override;
    HRESULT STDMETHODCALLTYPE TestCancel() override;

private:
    channel::ServerSession session_;

    // ---- Calls that Cancel can end ----
    // Runs an interface method's body (through Guarded) as a call.
    template <class Body>
    HRESULT Waiting(Body&& body) noexcept {
        BeginCall();
        const HRESULT hr = Guarded(std::forward<Body>(body));
        EndCall();
        return hr;
    }
    void BeginCall() noexcept;
    // Ends the call; closes the connection when a stop was in force.
    void EndCall() noexcept;

    std::mutex call_lock_;    // guards the two below; never held while waiting
    int call_depth_ = 0;      // > 0 while a call runs (a sink may nest one)
    bool cancelled_ = false;  // Cancel answered S_OK during this call

    // ---- Table access state ----
    // The result of GetRecord, PutRecord or AddRecord.
    HRESULT RecordTransferResult(const records::TransferResult& result);
    // E_INVALIDARG (with its error record) when `text` cannot go on a command
    // line of a connected session because it holds a NUL byte; else S_OK.
    HRESULT RefuseNul(std::string_view text, std::string_view what);
    // A cursor command on the current table (CLOSE, FIRST, LAST, DELETE):
    // S_OK, or `failure` by the code rule.
    HRESULT TableCommand(channel::Outcome (channel::ServerSession::*command)(const char*),
                         std::u16string_view failure);

    records::RecordSet records_;  // one record object per table name
    LONG eof_ = 0;                // 1 after a NextRecord that failed
    LONG bof_ = 0;                // 1 after a PrevRecord that failed
};

}  // namespace q5::component
