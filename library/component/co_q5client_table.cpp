#include <string>
#include <string_view>

#include "component/co_q5client.h"
#include "component/errors.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;
using channel::ServerSession;
using records::TransferResult;
using records::TransferStatus;

namespace {
constexpr std::u16string_view kOpenFailed = u"Could not open table.";
constexpr std::u16string_view kCloseFailed = u"CloseTable failed";
constexpr std::u16string_view kNoSuchRecord = u"No such record";
constexpr std::u16string_view kDeleteFailed = u"Delete failed";
constexpr std::u16string_view kInvalidUse = u"Invalid use of property";
}  // namespace

// ---- Helpers --------------------------------------------------------------------

HRESULT CoQ5Client::RecordTransferResult(const TransferResult& result) {
    switch (result.status) {
        case TransferStatus::ok:
            return S_OK;
        case TransferStatus::refused:
        case TransferStatus::lost:
            // The server's reply as read (or what the buffer last held).
            return RaiseWire(CodeRule(session_), kSourceCoQ5Client, session_.line_buffer());
        case TransferStatus::bad_argument:
            return FailCommand(session_, Outcome::bad_argument, kSourceCoQ5Client, {});
        case TransferStatus::too_long:
            return RaiseWire(E_INVALIDARG, kSourceCoQ5Client, result.problem);
        case TransferStatus::no_record:
        case TransferStatus::broken:
            return RaiseWire(CodeRule(session_), kSourceCoQ5Client, result.problem);
    }
    return E_UNEXPECTED;
}

HRESULT CoQ5Client::RefuseNul(std::string_view text, std::string_view what) {
    // Commands take C strings, so a NUL would cut the argument short; the
    // channel refuses CR and LF itself. A session that is not connected sends
    // nothing anyway and reports that instead.
    if (!session_.connected() || text.find('\0') == std::string_view::npos) return S_OK;
    return RaiseWire(E_INVALIDARG, kSourceCoQ5Client,
                     "Invalid argument: the " + std::string(what) + " contains a NUL byte");
}

HRESULT CoQ5Client::TableCommand(Outcome (ServerSession::*command)(const char*),
                                 std::u16string_view failure) {
    const std::string& table = session_.table_name();
    if (HRESULT hr = RefuseNul(table, "table name"); FAILED(hr)) return hr;
    const Outcome outcome = (session_.*command)(table.c_str());
    if (outcome == Outcome::ok) return S_OK;
    return FailCommand(session_, outcome, kSourceCoQ5Client, failure);
}

// ---- IQ5Table -------------------------------------------------------------------

HRESULT CoQ5Client::GetRecord() {
    return Waiting([&] {
        if (HRESULT hr = RefuseNul(session_.table_name(), "table name"); FAILED(hr)) return hr;
        return RecordTransferResult(records::FetchRecord(session_, records_));
    });
}

HRESULT CoQ5Client::PutRecord() {
    return Waiting([&] {
        if (HRESULT hr = RefuseNul(session_.table_name(), "table name"); FAILED(hr)) return hr;
        return RecordTransferResult(records::SendRecord(session_, records_, records::SendCommand::put));
    });
}

HRESULT CoQ5Client::AddRecord() {
    return Waiting([&] {
        if (HRESULT hr = RefuseNul(session_.table_name(), "table name"); FAILED(hr)) return hr;
        return RecordTransferResult(records::SendRecord(session_, records_, records::SendCommand::add));
    });
}

HRESULT CoQ5Client::OpenTable(BSTR key) {
    return Waiting([&] {
        WireArg k(key);
        const std::string& table = session_.table_name();
        if (HRESULT hr = RefuseNul(table, "table name"); FAILED(hr)) return hr;
        if (HRESULT hr = RefuseNul(k.str(), "key"); FAILED(hr)) return hr;
        const Outcome outcome = session_.Open(table.c_str(), k.c_str());
        if (outcome == Outcome::ok) return S_OK;
        return FailCommand(session_, outcome, kSourceCoQ5Client, kOpenFailed);
    });
}

HRESULT CoQ5Client::CloseTable() {
    return Waiting([&] { return TableCommand(&ServerSession::CloseTable, kCloseFailed); });
}

HRESULT CoQ5Client::FirstRecord() {
    return Waiting([&] { return TableCommand(&ServerSession::First, kNoSuchRecord); });
}

HRESULT CoQ5Client::LastRecord() {
    return Waiting([&] { return TableCommand(&ServerSession::Last, kNoSuchRecord); });
}

HRESULT CoQ5Client::DeleteRecord() {
    return Waiting([&] { return TableCommand(&ServerSession::Delete, kDeleteFailed); });
}

// A step off either end is not an error: it sets the flag the caller reads
// with IsEof or IsBof. Only a table name that cannot be sent is refused.
HRESULT CoQ5Client::NextRecord() {
    return Waiting([&] {
        eof_ = 0;
        const std::string& table = session_.table_name();
        if (HRESULT hr = RefuseNul(table, "table name"); FAILED(hr)) {
            eof_ = 1;
            return hr;
        }
        const Outcome outcome = session_.Next(table.c_str());
        if (outcome == Outcome::ok) return S_OK;
        eof_ = 1;
        return outcome == Outcome::bad_argument ? FailCommand(session_, outcome, kSourceCoQ5Client, {})
                                                : S_OK;
    });
}

HRESULT CoQ5Client::PrevRecord() {
    return Waiting([&] {
        bof_ = 0;
        const std::string& table = session_.table_name();
        if (HRESULT hr = RefuseNul(table, "table name"); FAILED(hr)) {
            bof_ = 1;
            return hr;
        }
        const Outcome outcome = session_.Prev(table.c_str());
        if (outcome == Outcome::ok) return S_OK;
        bof_ = 1;
        return outcome == Outcome::bad_argument ? FailCommand(session_, outcome, kSourceCoQ5Client, {})
                                                : S_OK;
    });
}

HRESULT CoQ5Client::SetField(BSTR Field, BSTR value) {
    return Guarded([&] {
        WireArg name(Field), text(value);
        records::TableRecord* record = records_.Find(session_.table_name());
        if (!record)
            return RaiseWire(CodeRule(session_), kSourceCoQ5Client, "Field: " + name.str() + " not found");
        // A name the record does not know changes nothing and is no error.
        record->SetField(name.str(), text.str());
        return S_OK;
    });
}

HRESULT CoQ5Client::get_GetField(BSTR Field, BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return Guarded([&] {
        WireArg name(Field);
        const records::TableRecord* record = records_.Find(session_.table_name());
        if (!record)
            return RaiseWire(CodeRule(session_), kSourceCoQ5Client, "Field: " + name.str() + " not found");
        // A name the record does not know reads as empty text.
        std::string value;
        record->GetField(name.str(), value);
        if (!pVal) return S_OK;
        BSTR out = ToBstr(std::string_view(value));
        if (!out) return E_OUTOFMEMORY;
        *pVal = out;
        return S_OK;
    });
}

HRESULT CoQ5Client::put_GetField(BSTR, BSTR) {
    // GetField is a read-only property; writing it never reaches a record.
    return Raise(CodeRule(session_), kSourceCoQ5Client, kInvalidUse);
}

HRESULT CoQ5Client::get_IsEof(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = eof_;
    return S_OK;
}

HRESULT CoQ5Client::get_IsBof(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = bof_;
    return S_OK;
}

HRESULT CoQ5Client::SetTable(BSTR table) {
    return Guarded([&] {
        WireArg name(table);
        session_.set_table_name(name.str());
        return S_OK;
    });
}

}  // namespace q5::component
