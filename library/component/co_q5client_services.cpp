#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "channel/codepage.h"
#include "component/co_q5client.h"
#include "component/errors.h"
#include "component/file_transfer.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;

namespace {

constexpr LONG kLibraryVersion = 104;
// Longest texts the value properties return.
constexpr std::size_t kShortValue = 255;
constexpr std::size_t kLongValue = 2047;

constexpr std::u16string_view kFailedToOpenFile = u"Failed to open file";
constexpr std::u16string_view kConnectionLost = u"Connection Lost";

HRESULT TransferResult(const channel::ServerSession& session, Transfer result) noexcept {
    switch (result) {
        case Transfer::done:
            return S_OK;
        case Transfer::not_started:
            return Raise(E_FILE_OPEN, kSourceCoQ5Client, kFailedToOpenFile);
        case Transfer::broken:
            return Raise(E_CONNECTION_LOST, kSourceCoQ5Client, kConnectionLost);
        case Transfer::bad_argument:
            break;
    }
    return FailCommand(session, Outcome::bad_argument, kSourceCoQ5Client, u"");
}

// S_OK, or the operation's message by the code rule (E_INVALIDARG with the
// reason for an argument that could not be sent).
HRESULT Checked(const channel::ServerSession& session, Outcome outcome,
                std::u16string_view message) noexcept {
    if (outcome == Outcome::ok) return S_OK;
    return FailCommand(session, outcome, kSourceCoQ5Client, message);
}

// The fax interface reports by code only and leaves the error record alone.
HRESULT FaxResult(const channel::ServerSession& session, Outcome outcome) noexcept {
    switch (outcome) {
        case Outcome::ok:
            return S_OK;
        case Outcome::bad_argument:
            return E_INVALIDARG;
        default:
            return CodeRule(session);
    }
}

// A value property's text: wire text converted, cut to `limit` characters
// (never between the halves of a surrogate pair).
HRESULT ValueOut(std::string_view wire, std::size_t limit, BSTR* out) {
    std::u16string text = channel::FromWire(wire);
    if (text.size() > limit) {
        std::size_t cut = limit;
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
        text.resize(cut);
    }
    *out = ToBstr(std::u16string_view(text));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Runs a value command; the property never fails: a failed command gives
// empty text. The command runs also for a null output, which is not written.
template <class Command>
HRESULT ValueProperty(BSTR* out, std::size_t limit, Command&& command) {
    return Guarded([&] {
        if (out) *out = nullptr;
        std::string value;
        if (command(value) != Outcome::ok) value.clear();
        return out ? ValueOut(value, limit, out) : S_OK;
    });
}

std::u16string Number(LONG value) {
    // snprintf rather than std::to_string, whose helper template would
    // otherwise be exported from the library in unoptimised builds.
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%ld", static_cast<long>(value));
    return std::u16string(digits, digits + std::max(n, 0));
}

// The one character that a choice travels as; refuses an empty choice, which
// has no character to send.
HRESULT FirstCharacter(const WireArg& text, const char* what, char& out) {
    if (text.str().empty()) {
        return RaiseWire(E_INVALIDARG, kSourceCoQ5Client,
                         std::string("Invalid argument: the ") + what + " is empty");
    }
    out = text.str().front();
    return S_OK;
}

}  // namespace

// ---- IQ5Admin -----------------------------------------------------------------

HRESULT CoQ5Client::DeleteMailbox(BSTR mailbox) {
    return Waiting([&] {
        WireArg box(mailbox);
        return Checked(session_, session_.MailboxDel(box.c_str()), u"Failed to delete mailbox");
    });
}

HRESULT CoQ5Client::AddMailbox(BSTR mailbox) {
    return Waiting([&] {
        WireArg box(mailbox);
        return Checked(session_, session_.MailboxAdd(box.c_str()), u"Failed to Add mailbox");
    });
}

HRESULT CoQ5Client::LightMWI(BSTR mailbox, BSTR mode) {
    return Waiting([&] {
        WireArg box(mailbox), m(mode);
        char letter = 0;
        if (HRESULT hr = FirstCharacter(m, "MWI mode", letter); FAILED(hr)) return hr;
        return Checked(session_, session_.LightMwi(box.c_str(), letter), u"light_mwi failed");
    });
}

HRESULT CoQ5Client::ResetMWI() {
    return Waiting([&] { return Checked(session_, session_.ResetMwi(), u"reset_mwi failed"); });
}

HRESULT CoQ5Client::SendRingEvent(LONG chan) {
    return Waiting([&] {
        return Checked(session_, session_.ChannelRing(chan), u"Ring failed on channel " + Number(chan));
    });
}

HRESULT CoQ5Client::SendHangupEvent(LONG chan) {
    return Waiting([&] {
        return Checked(session_, session_.ChannelHangup(chan), u"Failed to hangup channel " + Number(chan));
    });
}

HRESULT CoQ5Client::LoadConf(LONG k) {
    return Waiting([&] {
        // The server's answer is not reported.
        session_.LoadConf(k);
        return S_OK;
    });
}

// ---- IQ5Util: files -------------------------------------------------------------

HRESULT CoQ5Client::GetFile(BSTR mailbox, BSTR remotefile, BSTR localfile) {
    IQ5Util* self = this;
    return self->GetFile2(mailbox, remotefile, localfile, nullptr);
}

HRESULT CoQ5Client::GetFile2(BSTR mailbox, BSTR remotefile, BSTR localfile, ISupportEvents* p) {
    return Waiting([&] {
        WireArg box(mailbox), remote(remotefile);
        return TransferResult(session_,
                              Download(session_, box.c_str(), remote.c_str(), LocalPath(localfile), p));
    });
}

HRESULT CoQ5Client::PutFile(BSTR mailbox, BSTR remotefile, BSTR localfile) {
    IQ5Util* self = this;
    return self->PutFile2(mailbox, remotefile, localfile, nullptr);
}

HRESULT CoQ5Client::PutFile2(BSTR mailbox, BSTR remotefile, BSTR localfile, ISupportEvents* p) {
    return Waiting([&] {
        WireArg box(mailbox), remote(remotefile);
        return TransferResult(session_,
                              Upload(session_, box.c_str(), remote.c_str(), LocalPath(localfile), p));
    });
}

HRESULT CoQ5Client::ConvertV2W(BSTR mailbox, BSTR remotefile) {
    return Waiting([&] {
        WireArg box(mailbox), remote(remotefile);
        return Checked(session_, session_.V2W(box.c_str(), remote.c_str()), u"convert_v2w failed");
    });
}

HRESULT CoQ5Client::ConvertW2V(BSTR mailbox, BSTR remotefile) {
    return Waiting([&] {
        WireArg box(mailbox), remote(remotefile);
        return Checked(session_, session_.W2V(box.c_str(), remote.c_str()), u"convert_w2v failed");
    });
}

HRESULT CoQ5Client::DelFile(BSTR mailbox, BSTR remotefile) {
    return Waiting([&] {
        WireArg box(mailbox), remote(remotefile);
        return Checked(session_, session_.DelFile(box.c_str(), remote.c_str()), u"DelFile failed");
    });
}

HRESULT CoQ5Client::RenFile(BSTR mailbox, BSTR srcfile, BSTR destfile) {
    return Waiting([&] {
        WireArg box(mailbox), source(srcfile), dest(destfile);
        return Checked(session_, session_.RenFile(box.c_str(), source.c_str(), dest.c_str()),
                       u"RenFile failed");
    });
}

// ---- IQ5Util: server facts --------------------------------------------------------

HRESULT CoQ5Client::get_Uptime(BSTR* pVal) {
    return Waiting(
        [&] { return ValueProperty(pVal, kShortValue, [&](std::string& v) { return session_.Uptime(v); }); });
}

HRESULT CoQ5Client::get_Serial(BSTR* pVal) {
    return Waiting(
        [&] { return ValueProperty(pVal, kLongValue, [&](std::string& v) { return session_.Serial(v); }); });
}

HRESULT CoQ5Client::get_Version(BSTR* pVal) {
    return Waiting(
        [&] { return ValueProperty(pVal, kLongValue, [&](std::string& v) { return session_.Version(v); }); });
}

HRESULT CoQ5Client::get_VLoad(BSTR* pVal) {
    return Waiting(
        [&] { return ValueProperty(pVal, kShortValue, [&](std::string& v) { return session_.VLoad(v); }); });
}

HRESULT CoQ5Client::get_VerType(BSTR* pVal) {
    return Waiting([&] {
        return ValueProperty(pVal, kShortValue, [&](std::string& v) { return session_.VerType(v); });
    });
}

HRESULT CoQ5Client::GetAttr(BSTR name, BSTR* pVal) {
    return Waiting([&] {
        WireArg attribute(name);
        return ValueProperty(pVal, kShortValue,
                             [&](std::string& v) { return session_.GetAttr(attribute.c_str(), v); });
    });
}

HRESULT CoQ5Client::GetVersion(LONG* dll, LONG* server) {
    if (!dll || !server) return E_POINTER;
    *dll = kLibraryVersion;
    *server = session_.server_version();
    return S_OK;
}

// ---- IQ5Util: keep-alive, events, grammar ------------------------------------------

HRESULT CoQ5Client::KeepAlive() {
    return Waiting([&] { return Checked(session_, session_.Noop(), u"Keepalive failed"); });
}

HRESULT CoQ5Client::SetVValue(BSTR msgid, BSTR value) {
    return Waiting([&] {
        WireArg id(msgid), v(value);
        return Checked(session_, session_.SendQ5Event(id.c_str(), v.c_str(), " "), u"Failed to set V value");
    });
}

HRESULT CoQ5Client::SetVXValue(BSTR msgid, BSTR v_value, BSTR x_value) {
    return Waiting([&] {
        WireArg id(msgid), v(v_value), x(x_value);
        return Checked(session_, session_.SendQ5Event(id.c_str(), v.c_str(), x.c_str()),
                       u"Failed to set V-X value");
    });
}

HRESULT CoQ5Client::CompileGrammar(BSTR infile, BSTR outfile) {
    return Waiting([&] {
        WireArg in(infile), out(outfile);
        const Outcome outcome = session_.CmpGrammar(in.c_str(), out.c_str());
        if (outcome == Outcome::ok) return S_OK;
        // A refusal carries no message; an argument that could not be sent does.
        if (outcome == Outcome::bad_argument) return FailCommand(session_, outcome, kSourceCoQ5Client, u"");
        return CodeRule(session_);
    });
}

HRESULT CoQ5Client::GenDirAssistBnf(BSTR outfile, BSTR dep, BSTR opmode, LONG style) {
    return Waiting([&] {
        WireArg out(outfile), department(dep), mode(opmode);
        char department_letter = 0, mode_letter = 0;
        if (HRESULT hr = FirstCharacter(department, "department", department_letter); FAILED(hr)) return hr;
        if (HRESULT hr = FirstCharacter(mode, "operating mode", mode_letter); FAILED(hr)) return hr;
        const Outcome outcome = session_.GenDassistBnf(out.c_str(), department_letter, mode_letter, style);
        // The server's answer is not reported; only a line that could not be
        // formed is.
        if (outcome == Outcome::bad_argument) return FailCommand(session_, outcome, kSourceCoQ5Client, u"");
        return S_OK;
    });
}

// ---- IQ5FaxServer ---------------------------------------------------------------

HRESULT CoQ5Client::SendFax(LONG* JobID) {
    if (!JobID) return E_POINTER;
    return Waiting([&] {
        std::int32_t job = 0;
        // Never fails; the job id changes only when the server gave one.
        if (session_.SendFax(job) == Outcome::ok) *JobID = job;
        return S_OK;
    });
}

HRESULT CoQ5Client::GetFaxStatus(BSTR mailbox, LONG JobID, LONG* status) {
    if (!status) return E_POINTER;
    return Waiting([&] {
        WireArg box(mailbox);
        std::int32_t value = 0;
        const Outcome outcome = session_.GetFaxStatus(box.c_str(), JobID, value);
        if (outcome == Outcome::ok) *status = value;
        return FaxResult(session_, outcome);
    });
}

HRESULT CoQ5Client::CancelFax(BSTR mailbox, LONG job) {
    return Waiting([&] {
        WireArg box(mailbox);
        return FaxResult(session_, session_.CancelFax(box.c_str(), job));
    });
}

HRESULT CoQ5Client::EnumFaxJobs(BSTR mailbox, int* jobs, int* size) {
    if (!jobs || !size) return E_POINTER;
    return Waiting([&] {
        WireArg box(mailbox);
        // The count is written whenever the whole list was read, also when
        // its closing line refuses; a failed read leaves it alone.
        return FaxResult(session_, session_.EnumFaxJobs(box.c_str(), jobs, *size));
    });
}

HRESULT CoQ5Client::RetryFax(BSTR mailbox, LONG job) {
    return Waiting([&] {
        WireArg box(mailbox);
        return FaxResult(session_, session_.RetryFax(box.c_str(), job));
    });
}

HRESULT CoQ5Client::GetFaxAttr(BSTR mailbox, LONG job, BSTR attr, BSTR* pVal) {
    return Waiting([&] {
        if (pVal) *pVal = nullptr;
        WireArg box(mailbox), name(attr);
        std::string value;
        const Outcome outcome = session_.GetFaxAttr(box.c_str(), job, name.c_str(), value);
        if (outcome != Outcome::ok) return FaxResult(session_, outcome);
        if (!pVal) return S_OK;
        *pVal = ToBstr(std::string_view(value));
        return *pVal ? S_OK : E_OUTOFMEMORY;
    });
}

}  // namespace q5::component
