// The library as a component: registration, exports, creation, interface
// identities, aggregation and the error-information query.
#include <dlfcn.h>

#include <atomic>
#include <set>
#include <sstream>

#include "component_fixture.h"

namespace q5test {
namespace {

using SurfaceTest = RegisteredLibrary;

std::set<std::string> DumpKeys(const std::string& dump) {
    std::set<std::string> keys;
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line)) {
        // "# user registry: PATH" and "# system registry: PATH" head the two lists.
        if (line.rfind("# ", 0) != 0) keys.insert(line.substr(0, line.find('\t')));
    }
    return keys;
}

TEST_F(SurfaceTest, RegistrationPublishesClassesAndUnregistrationKeepsOnlyTheClsidKey) {
    int status = -1;
    std::string dump = RunCommand(std::string(Q5REGSVR_TOOL) + " --dump", &status);
    ASSERT_EQ(status, 0);
    const std::string clsid = "CLSID\\{434F6442-422E-4164-B26A-0B966CB80181}";
    const std::string events = "CLSID\\{6388416A-C875-4BDC-8595-BC9FFC0AF51D}";
    const std::string library = Q5CLIENT_LIBRARY;
    for (const std::string& line : std::initializer_list<std::string>{
             "Q5Client.CoQ5Client.1\t\tCoQ5Client Class",
             "Q5Client.CoQ5Client.1\\CLSID\t\t{434F6442-422E-4164-B26A-0B966CB80181}",
             "Q5Client.CoQ5Client\t\tCoQ5Client Class",
             "Q5Client.CoQ5Client\\CurVer\t\tQ5Client.CoQ5Client.1",
             "Q5Client.CoEvents.1\t\tCoEvents Class",
             "Q5Client.CoEvents\\CurVer\t\tQ5Client.CoEvents.1",
             clsid + "\t\tCoQ5Client Class",
             clsid + "\\ProgID\t\tQ5Client.CoQ5Client.1",
             clsid + "\\VersionIndependentProgID\t\tQ5Client.CoQ5Client",
             clsid + "\\InprocServer32\tThreadingModel\tApartment",
             clsid + "\\TypeLib\t\t{A5189176-63C4-41CA-ABA2-0DB8E1F74C23}",
             events + "\t\tCoEvents Class",
             events + "\\InprocServer32\tThreadingModel\tApartment",
         }) {
        EXPECT_NE(dump.find(line + "\n"), std::string::npos) << "missing: " << line << "\nin:\n" << dump;
    }
    // The registered path is the library file itself (resolved), whichever
    // way it was named.
    EXPECT_NE(dump.find(clsid + "\\InprocServer32\t\t/"), std::string::npos) << dump;

    RunCommand(std::string(Q5REGSVR_TOOL) + " -u " + Q5CLIENT_LIBRARY, &status);
    ASSERT_EQ(status, 0);
    std::string after = RunCommand(std::string(Q5REGSVR_TOOL) + " --dump", &status);
    // Only the shared container keys stay, as on a system with other classes.
    EXPECT_EQ(DumpKeys(after), (std::set<std::string>{"CLSID", "Interface", "TypeLib"})) << after;
}

TEST_F(SurfaceTest, LibraryExportsExactlyTheFourEntryPoints) {
    int status = -1;
    std::string symbols = RunCommand(
        "nm -D --defined-only " + std::string(Q5CLIENT_LIBRARY) + " | awk '$2 ~ /^[TW]$/ {print $3}'",
        &status);
    ASSERT_EQ(status, 0);
    std::set<std::string> names;
    std::istringstream in(symbols);
    for (std::string name; in >> name;) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                            "DllUnregisterServer"}));
}

TEST_F(SurfaceTest, SessionObjectAnswersItsFiveInterfacesAndNotTheEventInterface) {
    ComPtr<IQ5Connect> connect;
    ASSERT_EQ(
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, connect.AsOut()),
        S_OK);
    for (const IID* iid : {&IID_IQ5Table, &IID_IQ5Admin, &IID_IQ5Util, &IID_IQ5FaxServer,
                           &IID_ISupportErrorInfo, &IID_IQ5CallCancel}) {
        ComPtr<IUnknown> other;
        EXPECT_EQ(connect->QueryInterface(*iid, other.AsOut()), S_OK);
        // Every interface leads back to the same object identity.
        ComPtr<IUnknown> a, b;
        ASSERT_EQ(connect->QueryInterface(IID_IUnknown, a.AsOut()), S_OK);
        ASSERT_EQ(other->QueryInterface(IID_IUnknown, b.AsOut()), S_OK);
        EXPECT_EQ(a.Get(), b.Get());
    }
    ComPtr<IUnknown> events;
    EXPECT_EQ(connect->QueryInterface(IID_ICoEvents, events.AsOut()), E_NOINTERFACE);
    EXPECT_FALSE(events);
}

TEST_F(SurfaceTest, ErrorInformationIsDeclaredForTheRightInterfacesOnly) {
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_ISupportErrorInfo,
                               support.AsOut()),
              S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5Connect), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5Table), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5Admin), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5Util), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5FaxServer), S_FALSE);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQ5CallCancel), S_FALSE);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ICoEvents), S_FALSE);

    ComPtr<ISupportErrorInfo> events;
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ISupportErrorInfo,
                               events.AsOut()),
              S_OK);
    EXPECT_EQ(events->InterfaceSupportsErrorInfo(IID_ICoEvents), S_OK);
    EXPECT_EQ(events->InterfaceSupportsErrorInfo(IID_IQ5Connect), S_FALSE);
    ComPtr<IUnknown> connect;
    EXPECT_EQ(events->QueryInterface(IID_IQ5Connect, connect.AsOut()), E_NOINTERFACE);
}

TEST_F(SurfaceTest, UnknownClassesAndProgIdsAreRefused) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(IID_IQ5Connect, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.AsOut()),
              REGDB_E_CLASSNOTREG);
    void* handle = dlopen(Q5CLIENT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto get = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
    ASSERT_NE(get, nullptr);
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(get(IID_IQ5Connect, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    dlclose(handle);

    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Q5Client.CoQ5Client.1", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_CoQ5Client);
    EXPECT_EQ(CLSIDFromProgID(u"Q5Client.CoEvents", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_CoEvents);
}

// An outer object that aggregates the session object: the inner object's
// interfaces must count on and answer through the outer object.
class Outer final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        queries_forwarded++;
        return inner->QueryInterface(iid, ppv);
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }

    IUnknown* inner = nullptr;
    std::atomic<ULONG> refs{1};
    int queries_forwarded = 0;
};

TEST_F(SurfaceTest, AggregatedObjectDelegatesToItsOuterObject) {
    Outer outer;
    ComPtr<IUnknown> blocked;
    EXPECT_EQ(
        CoCreateInstance(CLSID_CoQ5Client, &outer, CLSCTX_INPROC_SERVER, IID_IQ5Connect, blocked.AsOut()),
        CLASS_E_NOAGGREGATION);
    ASSERT_EQ(CoCreateInstance(CLSID_CoQ5Client, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    EXPECT_EQ(outer.refs, 1u) << "creating the inner object must not count on the outer";

    IQ5Table* table = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_IQ5Table, reinterpret_cast<void**>(&table)), S_OK);
    EXPECT_EQ(outer.refs, 2u) << "the inner interface must count on the outer object";
    // Asking the inner interface for IUnknown yields the outer identity.
    IUnknown* identity = nullptr;
    ASSERT_EQ(table->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    identity->Release();
    table->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

TEST_F(SurfaceTest, LibraryCanUnloadOnlyWhenNoObjectOrLockIsAlive) {
    void* handle = dlopen(Q5CLIENT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto can_unload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(handle, "DllCanUnloadNow"));
    auto get = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
    ASSERT_TRUE(can_unload && get);
    EXPECT_EQ(can_unload(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_CoEvents, IID_IClassFactory, factory.AsOut()), S_OK);
    EXPECT_EQ(can_unload(), S_FALSE) << "a held factory keeps the library";
    ComPtr<ICoEvents> events;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ICoEvents, events.AsOut()), S_OK);
    factory.Reset();
    EXPECT_EQ(can_unload(), S_FALSE) << "a live object keeps the library";
    events.Reset();
    EXPECT_EQ(can_unload(), S_OK);

    ASSERT_EQ(get(CLSID_CoQ5Client, IID_IClassFactory, factory.AsOut()), S_OK);
    factory->LockServer(1);
    factory.Reset();
    EXPECT_EQ(can_unload(), S_FALSE) << "a server lock keeps the library";
    ASSERT_EQ(get(CLSID_CoQ5Client, IID_IClassFactory, factory.AsOut()), S_OK);
    factory->LockServer(0);
    factory.Reset();
    EXPECT_EQ(can_unload(), S_OK);
    dlclose(handle);
}

TEST_F(SurfaceTest, FailedQueryOnCreationDestroysTheNewObject) {
    void* handle = dlopen(Q5CLIENT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto can_unload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(handle, "DllCanUnloadNow"));
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Table, object.AsOut()),
              E_NOINTERFACE);
    EXPECT_FALSE(object);
    EXPECT_EQ(can_unload(), S_OK) << "the object whose query failed is still alive";
    dlclose(handle);
}

}  // namespace
}  // namespace q5test
