#include "component/co_q5client.h"

#include "component/errors.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;

namespace {
constexpr std::u16string_view kConnectFailed = u"Connect Failed";
constexpr std::u16string_view kLoginFailed = u"Unknown username or password";
}  // namespace

void* CoQ5Client::FindInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, IID_IQ5Connect)) return static_cast<IQ5Connect*>(this);
    if (IsEqualIID(iid, IID_IQ5Table)) return static_cast<IQ5Table*>(this);
    if (IsEqualIID(iid, IID_IQ5Admin)) return static_cast<IQ5Admin*>(this);
    if (IsEqualIID(iid, IID_IQ5Util)) return static_cast<IQ5Util*>(this);
    if (IsEqualIID(iid, IID_IQ5FaxServer)) return static_cast<IQ5FaxServer*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
    if (IsEqualIID(iid, IID_IQ5CallCancel)) return static_cast<IQ5CallCancel*>(this);
    return nullptr;
}

HRESULT CoQ5Client::InterfaceSupportsErrorInfo(REFIID riid) {
    // The fax interface reports failures by code only.
    if (IsEqualIID(riid, IID_IQ5Connect) || IsEqualIID(riid, IID_IQ5Table) ||
        IsEqualIID(riid, IID_IQ5Admin) || IsEqualIID(riid, IID_IQ5Util)) {
        return S_OK;
    }
    return S_FALSE;
}

// ---- IQ5Connect -------------------------------------------------------------

HRESULT CoQ5Client::Connect(BSTR host, LONG port, LONG timeout) {
    return Waiting([&] {
        WireArg h(host);
        // A port outside the TCP range would be cut to another port silently.
        bool ok =
            port >= 1 && port <= 65535 && !h.str().empty() &&
            // Open, not Connect: a Cancel that came since the call began
            // must stay in force.
            session_.Open(h.c_str(), static_cast<int>(port), timeout < 0 ? 0 : static_cast<int>(timeout));
        if (ok) return S_OK;
        return Raise(CodeRule(session_), kSourceCoQ5Client, kConnectFailed);
    });
}

HRESULT CoQ5Client::Close() {
    session_.Close();
    return S_OK;
}

HRESULT CoQ5Client::Login(BSTR username, BSTR password) {
    return Waiting([&] {
        WireArg user(username), pass(password);
        Outcome outcome = session_.Login(user.c_str(), pass.c_str());
        if (outcome == Outcome::ok) return S_OK;
        return FailCommand(session_, outcome, kSourceCoQ5Client, kLoginFailed);
    });
}

HRESULT CoQ5Client::SuLogin(BSTR user, BSTR password) {
    return Waiting([&] {
        WireArg u(user), pass(password);
        Outcome outcome = session_.SuLogin(u.c_str(), pass.c_str());
        if (outcome == Outcome::ok) return S_OK;
        return FailCommand(session_, outcome, kSourceCoQ5Client, kLoginFailed);
    });
}

HRESULT CoQ5Client::Quit() {
    // The reply does not matter: the server ends the session either way,
    // and Close drops the connection.
    return Waiting([&] {
        session_.Quit();
        return S_OK;
    });
}

}  // namespace q5::component
