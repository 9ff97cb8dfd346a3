#include "component/co_q5client.h"

#include "component/errors.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;

// ---- IQ5Admin -----------------------------------------------------------------

HRESULT CoQ5Client::DeleteMailbox(BSTR) { return NotYet(); }
HRESULT CoQ5Client::AddMailbox(BSTR) { return NotYet(); }
HRESULT CoQ5Client::LightMWI(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::ResetMWI() { return NotYet(); }
HRESULT CoQ5Client::SendRingEvent(LONG) { return NotYet(); }
HRESULT CoQ5Client::SendHangupEvent(LONG) { return NotYet(); }
HRESULT CoQ5Client::LoadConf(LONG) { return NotYet(); }

// ---- IQ5Util ------------------------------------------------------------------

HRESULT CoQ5Client::GetFile(BSTR, BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::GetFile2(BSTR, BSTR, BSTR, ISupportEvents*) { return NotYet(); }
HRESULT CoQ5Client::PutFile(BSTR, BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::PutFile2(BSTR, BSTR, BSTR, ISupportEvents*) { return NotYet(); }
HRESULT CoQ5Client::ConvertV2W(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::ConvertW2V(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::DelFile(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::RenFile(BSTR, BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::get_Uptime(BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::get_Serial(BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::get_Version(BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::get_VLoad(BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::get_VerType(BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::KeepAlive() { return NotYet(); }
HRESULT CoQ5Client::SetVValue(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::SetVXValue(BSTR, BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::GetAttr(BSTR, BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::CompileGrammar(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::GetVersion(LONG*, LONG*) { return NotYet(); }
HRESULT CoQ5Client::GenDirAssistBnf(BSTR, BSTR, BSTR, LONG) { return NotYet(); }

// ---- IQ5FaxServer ---------------------------------------------------------------

HRESULT CoQ5Client::SendFax(LONG*) { return E_NOTIMPL; }
HRESULT CoQ5Client::GetFaxStatus(BSTR, LONG, LONG*) { return E_NOTIMPL; }
HRESULT CoQ5Client::CancelFax(BSTR, LONG) { return E_NOTIMPL; }
HRESULT CoQ5Client::EnumFaxJobs(BSTR, int*, int*) { return E_NOTIMPL; }
HRESULT CoQ5Client::RetryFax(BSTR, LONG) { return E_NOTIMPL; }
HRESULT CoQ5Client::GetFaxAttr(BSTR, LONG, BSTR, BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return E_NOTIMPL;
}

}  // namespace q5::component
