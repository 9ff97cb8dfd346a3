#include "component/co_q5client.h"

#include "component/errors.h"
#include "component/guard.h"
#include "component/strings.h"

namespace q5::component {

using channel::Outcome;

// ---- IQ5Table -----------------------------------------------------------------

HRESULT CoQ5Client::GetRecord() { return NotYet(); }
HRESULT CoQ5Client::PutRecord() { return NotYet(); }
HRESULT CoQ5Client::AddRecord() { return NotYet(); }
HRESULT CoQ5Client::OpenTable(BSTR) { return NotYet(); }
HRESULT CoQ5Client::CloseTable() { return NotYet(); }
HRESULT CoQ5Client::NextRecord() { return NotYet(); }
HRESULT CoQ5Client::PrevRecord() { return NotYet(); }
HRESULT CoQ5Client::FirstRecord() { return NotYet(); }
HRESULT CoQ5Client::LastRecord() { return NotYet(); }
HRESULT CoQ5Client::DeleteRecord() { return NotYet(); }
HRESULT CoQ5Client::SetField(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::get_GetField(BSTR, BSTR* pVal) {
    if (pVal) *pVal = nullptr;
    return NotYet();
}
HRESULT CoQ5Client::put_GetField(BSTR, BSTR) { return NotYet(); }
HRESULT CoQ5Client::get_IsEof(LONG*) { return NotYet(); }
HRESULT CoQ5Client::get_IsBof(LONG*) { return NotYet(); }
HRESULT CoQ5Client::SetTable(BSTR) { return NotYet(); }

}  // namespace q5::component
