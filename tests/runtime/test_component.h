// Identities and the one interface of the test component, shared by the
// component library and the tests that load it.
#pragma once

#include <q5client/com.h>

namespace q5test {

inline constexpr CLSID CLSID_Adder{
    0x5D8F2A61, 0x3C4B, 0x4E7A, {0x9B, 0x12, 0x6A, 0x0C, 0x55, 0xE3, 0x71, 0x08}};
inline constexpr IID IID_IAdder{0x5D8F2A62, 0x3C4B, 0x4E7A, {0x9B, 0x12, 0x6A, 0x0C, 0x55, 0xE3, 0x71, 0x08}};
inline constexpr char kAdderClsidText[] = "{5D8F2A61-3C4B-4E7A-9B12-6A0C55E37108}";
inline constexpr char kAdderProgId[] = "Q5Test.Adder";
inline constexpr char kAdderVersionedProgId[] = "Q5Test.Adder.1";
inline constexpr char kAdderDescription[] = "Runtime Test Adder";

// When this environment variable is set, DllRegisterServer fails with
// E_NOTIMPL after leaving an error record that says why.
inline constexpr char kFailRegistrationVariable[] = "Q5TEST_FAIL_REGISTRATION";

struct IAdder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) = 0;
};

// Exported by the component besides the four entry points: the number of
// live objects plus outstanding class factory references and locks.
using PFN_LiveReferences = LONG (*)();
inline constexpr char kLiveReferencesSymbol[] = "TestComponentLiveReferences";

}  // namespace q5test
