#include "shell/session_state.h"

namespace q5 {

ComPtr<IUnknown> gSession;
ComPtr<IQ5Connect> gConnect;
ComPtr<IQ5Admin> gAdmin;
ComPtr<IQ5Util> gUtil;
ComPtr<IQ5Table> gTable;
QString gUserName;
QString gPassword;
QString gHost;
bool gLoggedIn = false;
bool gNameScreening = false;
bool gFieldsChanged = false;

HRESULT CreateSession() {
    ComPtr<IUnknown> session;
    HRESULT hr =
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, session.AsOut());
    if (FAILED(hr)) return hr;
    ComPtr<IQ5Connect> connect;
    ComPtr<IQ5Admin> admin;
    ComPtr<IQ5Util> util;
    ComPtr<IQ5Table> table;
    if (FAILED(hr = session.As(IID_IQ5Connect, connect)) || FAILED(hr = session.As(IID_IQ5Admin, admin)) ||
        FAILED(hr = session.As(IID_IQ5Util, util)) || FAILED(hr = session.As(IID_IQ5Table, table))) {
        return hr;
    }
    gSession = std::move(session);
    gConnect = std::move(connect);
    gAdmin = std::move(admin);
    gUtil = std::move(util);
    gTable = std::move(table);
    return S_OK;
}

void ReleaseSession() {
    gTable.Reset();
    gUtil.Reset();
    gAdmin.Reset();
    gConnect.Reset();
    gSession.Reset();
    gUserName.clear();
    gPassword.clear();
    gHost.clear();
    gLoggedIn = false;
    gNameScreening = false;
    gFieldsChanged = false;
}

}  // namespace q5
