// q5client_c.h compiled as C++ (built, never linked: its structs share
// names with the C++ interfaces). The last slot of each vtable sits where the
// C++ interface puts its last method: three IUnknown slots, then the
// methods in declaration order.
#include <cstddef>

#include "q5client/q5client_c.h"

namespace {

constexpr std::size_t Slot(std::size_t offset) {
    return offset / sizeof(void*);
}

static_assert(sizeof(GUID) == 16);
static_assert(sizeof(IQ5Table) == sizeof(void*));
static_assert(Slot(offsetof(IQ5ConnectVtbl, Quit)) == 7);
static_assert(Slot(offsetof(IQ5TableVtbl, SetTable)) == 19);
static_assert(Slot(offsetof(IQ5AdminVtbl, LoadConf)) == 9);
static_assert(Slot(offsetof(IQ5UtilVtbl, GenDirAssistBnf)) == 22);
static_assert(Slot(offsetof(IQ5FaxServerVtbl, GetFaxAttr)) == 8);
static_assert(Slot(offsetof(ICoEventsVtbl, GetQ5Event)) == 7);
static_assert(Slot(offsetof(IQ5CallCancelVtbl, TestCancel)) == 4);
static_assert(Slot(offsetof(ISupportEventsVtbl, GetProgress)) == 5);
static_assert(sizeof(IQ5UtilVtbl) == 23 * sizeof(void*));

}  // namespace

// The entry points keep C linkage from C++ too.
HRESULT (*const kCreate)(const CLSID*, IUnknown*, DWORD, const IID*, void**) = &CoCreateInstance;
