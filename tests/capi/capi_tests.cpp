// The C face of the library and the typed ComPtr::As: calls through the C
// vtables of q5client_c.h reach the same methods as the C++ interfaces, the
// examples read a field from q5sim, and As<U> asks for U's own identity.
#include <stdio.h>
#include <sys/wait.h>

#include <string>
#include <utility>

#include "c_probe.h"
#include "e2e_fixture.h"

namespace q5test {
namespace {

using CInterfaceTest = E2eTest;

TEST_F(CInterfaceTest, CallsThroughTheCVtablesReachTheSameMethods) {
    const std::string local = dir_ + "/probe.bin";
    WriteFile(local, std::string(10000, 'x'));
    q5c_probe probe{};
    q5c_run_probe(sim_->port(), "101", "1234", "SCREEN", local.c_str(), &probe);
    ASSERT_EQ(probe.create, S_OK);
    EXPECT_EQ(probe.wrong_login, E_FAIL);
    EXPECT_STREQ(probe.wrong_login_text, "Unknown username or password");
    EXPECT_EQ(probe.login, S_OK);
    EXPECT_EQ(probe.set_table, S_OK);
    EXPECT_EQ(probe.get_record, S_OK);
    EXPECT_STREQ(probe.field, "V");
    EXPECT_EQ(probe.is_eof, 0);
    EXPECT_EQ(probe.dll_version, 104);
    EXPECT_EQ(probe.enum_null, E_POINTER);
    EXPECT_EQ(probe.supports_fax, S_FALSE);
    EXPECT_EQ(probe.cancel_idle, S_FALSE);
    EXPECT_EQ(probe.test_cancel_idle, S_FALSE);
    EXPECT_EQ(probe.light_mwi_empty, E_INVALIDARG);
    // The library calls back into a sink whose vtable was laid out in C.
    EXPECT_EQ(probe.put_file, S_OK);
    EXPECT_EQ(probe.progress_calls, 2);
    EXPECT_EQ(probe.progress_bytes, 8190);
    EXPECT_EQ(probe.progress_total, 10000);
    EXPECT_EQ(probe.sink_refs, 1);
    EXPECT_EQ(ReadFile(MailboxFile("101", "probe.bin")), std::string(10000, 'x'));
    ASSERT_EQ(probe.events_create, S_OK);
    EXPECT_EQ(probe.event_null, E_POINTER);
    EXPECT_EQ(probe.event_poll, S_OK);
    EXPECT_EQ(probe.event_id, 0);
}

std::pair<int, std::string> RunProgram(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, out};
    char chunk[512];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
    const int rc = pclose(pipe);
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

TEST_F(CInterfaceTest, ExamplesPrintTheFieldAndReportARefusedLogin) {
    const std::string args = " 127.0.0.1 " + std::to_string(sim_->port()) + " 101 ";
    for (const std::string program : {EXAMPLE_C, EXAMPLE_CPP}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(RunProgram(program + args + "1234 LAST_N"),
                  std::make_pair(0, std::string("LAST_N=Whitfield\n")));
        EXPECT_EQ(RunProgram(program + args + "1234"), std::make_pair(0, std::string("SCREEN=V\n")));
        const auto refused = RunProgram(program + args + "wrong 2>&1");
        EXPECT_EQ(refused.first, 1);
        EXPECT_NE(refused.second.find("Login failed (0x80004005): Unknown username or password"),
                  std::string::npos)
            << refused.second;
    }
}

// Each interface by type against the same interface by its identity.
template <class U>
void ExpectTypedAs(const ComPtr<IUnknown>& object, REFIID iid) {
    void* raw = nullptr;
    ASSERT_EQ(object->QueryInterface(iid, &raw), S_OK);
    ComPtr<U> held;
    held.Attach(static_cast<U*>(raw));
    ComPtr<U> typed;
    EXPECT_EQ(object.As(typed), S_OK);
    EXPECT_EQ(typed.Get(), held.Get());
    EXPECT_EQ(object.template As<U>().Get(), held.Get());
}

TEST_F(CInterfaceTest, TypedAsAsksForTheInterfaceOfItsType) {
    ComPtr<IUnknown> client;
    ASSERT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, client.AsOut()),
              S_OK);
    ExpectTypedAs<IUnknown>(client, IID_IUnknown);
    ExpectTypedAs<IQ5Connect>(client, IID_IQ5Connect);
    ExpectTypedAs<IQ5Table>(client, IID_IQ5Table);
    ExpectTypedAs<IQ5Admin>(client, IID_IQ5Admin);
    ExpectTypedAs<IQ5Util>(client, IID_IQ5Util);
    ExpectTypedAs<IQ5FaxServer>(client, IID_IQ5FaxServer);
    ExpectTypedAs<IQ5CallCancel>(client, IID_IQ5CallCancel);
    ExpectTypedAs<ISupportErrorInfo>(client, IID_ISupportErrorInfo);

    ComPtr<IUnknown> events;
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, events.AsOut()),
              S_OK);
    ExpectTypedAs<ICoEvents>(events, IID_ICoEvents);
    ComPtr<IQ5Table> none;
    EXPECT_EQ(events.As(none), E_NOINTERFACE);
    EXPECT_FALSE(events.As<IQ5Table>());

    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IErrorInfo> info = create.As<IErrorInfo>();
    ASSERT_TRUE(info);
    EXPECT_EQ(info.As<ICreateErrorInfo>().Get(), create.Get());

    ComPtr<IQ5Connect> empty;
    EXPECT_EQ(empty.As(none), E_POINTER);
}

}  // namespace
}  // namespace q5test
