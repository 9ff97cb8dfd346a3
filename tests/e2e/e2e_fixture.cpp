#include "e2e_fixture.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace q5test {

namespace fs = std::filesystem;

std::string E2eTest::registry_dir_;

void E2eTest::SetUpTestSuite() {
    char dir_template[] = "/tmp/q5e2e-registry-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    registry_dir_ = dir_template;
    setenv("Q5COM_REGISTRY", (registry_dir_ + "/registry").c_str(), 1);
    const std::string command = std::string(Q5REGSVR_TOOL) + " " + Q5CLIENT_LIBRARY + " >/dev/null";
    const int rc = system(command.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << "registration of the library failed";
}

void E2eTest::TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(registry_dir_, ignored);
    unsetenv("Q5COM_REGISTRY");
}

void E2eTest::SetUp() {
    char dir_template[] = "/tmp/q5e2e-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    dir_ = dir_template;
    data_dir_ = dir_ + "/data";
    RestartSim();
}

void E2eTest::RestartSim() {
    std::vector<std::string> options = {"--seed-demo", "--su", "admin:secret", "--call-linger", "1"};
    for (const std::string& option : ExtraOptions()) options.push_back(option);
    sim_ = std::make_unique<Q5SimProcess>(data_dir_, options);
    ASSERT_TRUE(sim_->Start()) << sim_->error();
}

void E2eTest::TearDown() {
    if (sim_) {
        const int status = sim_->Stop();
        EXPECT_EQ(status, 0) << "q5sim did not end cleanly";
        if (HasFailure()) std::cerr << "---- q5sim log ----\n" << sim_->Log() << "-------------------\n";
    }
    sim_.reset();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

ComPtr<IQ5Connect> E2eTest::Connect() {
    ComPtr<IQ5Connect> session;
    HRESULT hr =
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, session.AsOut());
    EXPECT_EQ(hr, S_OK) << "CoCreateInstance";
    if (FAILED(hr)) return {};
    hr = session->Connect(W(u"127.0.0.1").Get(), sim_->port(), 5);
    EXPECT_EQ(hr, S_OK) << "Connect";
    if (FAILED(hr)) return {};
    return session;
}

ComPtr<IQ5Connect> E2eTest::LogIn(const char16_t* user, const char16_t* password, bool superuser) {
    ComPtr<IQ5Connect> session = Connect();
    if (!session) return {};
    const HRESULT hr = superuser ? session->SuLogin(W(user).Get(), W(password).Get())
                                 : session->Login(W(user).Get(), W(password).Get());
    EXPECT_EQ(hr, S_OK) << "login";
    if (FAILED(hr)) return {};
    return session;
}

std::u16string E2eTest::Field(IQ5Table* table, const char16_t* name) {
    BStr value;
    EXPECT_EQ(table->get_GetField(W(name).Get(), value.ReleaseAndGetAddressOf()), S_OK);
    return std::u16string(value.View());
}

HRESULT E2eTest::SetField(IQ5Table* table, const char16_t* name, const char16_t* value) {
    return table->SetField(W(name).Get(), W(value).Get());
}

std::string E2eTest::MailboxFile(const std::string& box, const std::string& name) const {
    return data_dir_ + "/mailboxes/" + box + "/" + name;
}

std::string E2eTest::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void E2eTest::WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

BStr W(const char16_t* text) {
    return BStr(text);
}

BStr W(const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    return BStr(wide.c_str());
}

}  // namespace q5test
