// Creating objects through the registry of classes.
#include <dlfcn.h>
#include <q5client/com.h>

#include <string>

#include "test_component.h"
#include "test_env.h"

namespace q5test {
namespace {

constexpr HRESULT kCoEClassString = static_cast<HRESULT>(0x800401F3u);
constexpr DWORD kLocalServer = 0x4;

const std::string kInprocKey = std::string("CLSID\\") + kAdderClsidText + "\\InprocServer32";

// Live references inside the loaded test component, or -1 when it is not
// loaded.
LONG ComponentLiveReferences() {
    void* handle = ::dlopen(Q5_TEST_COMPONENT_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return -1;
    auto live = reinterpret_cast<PFN_LiveReferences>(::dlsym(handle, kLiveReferencesSymbol));
    const LONG count = live ? live() : -1;
    ::dlclose(handle);  // drops only the reference taken just above
    return count;
}

class CreationTest : public RegistryTest {
protected:
    void RegisterAdder() { ASSERT_EQ(Q5RegSetValue(kInprocKey.c_str(), "", Q5_TEST_COMPONENT_PATH), S_OK); }
};

TEST_F(CreationTest, UnregisteredClassIsClassNotRegistered) {
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CoGetClassObject(q5test::CLSID_Adder, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);

    // A class key without the server's path is not a registration either.
    ASSERT_EQ(Q5RegCreateKey(kInprocKey.c_str()), S_OK);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
              E_POINTER);
}

TEST_F(CreationTest, RegisteredComponentIsCreatedAndLeavesNoReferencesBehind) {
    RegisterAdder();
    {
        ComPtr<IAdder> adder;
        ASSERT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, q5test::IID_IAdder,
                                   adder.AsOut()),
                  S_OK);
        ASSERT_TRUE(adder);
        LONG sum = 0;
        EXPECT_EQ(adder->Add(2, 40, &sum), S_OK);
        EXPECT_EQ(sum, 42);
        EXPECT_EQ(ComponentLiveReferences(), 1) << "only the object itself; the factory was released";

        ComPtr<IErrorInfo> unrelated;
        EXPECT_EQ(adder.As(IID_IErrorInfo, unrelated), E_NOINTERFACE);
        EXPECT_FALSE(unrelated);
    }
    EXPECT_EQ(ComponentLiveReferences(), 0);

    // The class object is handed out as asked, with one reference.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(q5test::CLSID_Adder, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.AsOut()),
              S_OK);
    EXPECT_EQ(ComponentLiveReferences(), 1);
    factory.Reset();
    EXPECT_EQ(ComponentLiveReferences(), 0);
}

TEST_F(CreationTest, ComponentRefusalsPassThroughUnchanged) {
    RegisterAdder();
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IErrorInfo, &out),
              E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    // Aggregation is the component's decision.
    ComPtr<IUnknown> outer;
    ASSERT_EQ(CreateErrorInfo(reinterpret_cast<ICreateErrorInfo**>(outer.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, outer.Get(), CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              CLASS_E_NOAGGREGATION);

    // A class registered to a library that does not serve it.
    const GUID stranger{0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    ASSERT_EQ(Q5RegSetValue("CLSID\\{12345678-1234-1234-0102-030405060708}\\InprocServer32", "",
                            Q5_TEST_COMPONENT_PATH),
              S_OK);
    EXPECT_EQ(CoCreateInstance(stranger, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(ComponentLiveReferences(), 0);
}

TEST_F(CreationTest, OnlyInProcessCreationIsServed) {
    RegisterAdder();
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, kLocalServer, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER | kLocalServer,
                               IID_IUnknown, object.AsOut()),
              S_OK);
}

TEST_F(CreationTest, UnloadableServerFailsDistinctlyFromUnregistered) {
    void* out = reinterpret_cast<void*>(0x1);
    ASSERT_EQ(Q5RegSetValue(kInprocKey.c_str(), "", (Dir() / "missing.so").c_str()), S_OK);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              E_FAIL);
    EXPECT_EQ(out, nullptr);

    // A real shared library without DllGetClassObject: the runtime itself.
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&SysAllocString), &info), 0);
    ASSERT_EQ(Q5RegSetValue(kInprocKey.c_str(), "", info.dli_fname), S_OK);
    EXPECT_EQ(CoCreateInstance(q5test::CLSID_Adder, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              E_FAIL);
    EXPECT_EQ(out, nullptr);
}

TEST_F(CreationTest, ProgIdResolvesThroughItsClsidSubkey) {
    ASSERT_EQ(Q5RegSetValue("Q5Test.Adder\\CLSID", "", "{5d8f2a61-3c4b-4e7a-9b12-6a0c55e37108}"), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"q5test.ADDER", &clsid), S_OK);
    EXPECT_EQ(clsid, q5test::CLSID_Adder);

    const char16_t* unknown[] = {u"Q5Test.Other", u"", u"Q5Test.Adder\\CLSID", u"Q5Test\tAdder", u"\xD800x"};
    for (const char16_t* progId : unknown) {
        clsid = q5test::CLSID_Adder;
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), kCoEClassString);
        EXPECT_EQ(clsid, GUID_NULL);
    }

    ASSERT_EQ(Q5RegSetValue("Broken\\CLSID", "", "not a guid"), S_OK);
    EXPECT_EQ(CLSIDFromProgID(u"Broken", &clsid), kCoEClassString);
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromProgID(u"Q5Test.Adder", nullptr), E_POINTER);
}

}  // namespace
}  // namespace q5test
