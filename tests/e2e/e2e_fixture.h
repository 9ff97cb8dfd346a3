// The frame of the end-to-end tests: the freshly built library registered
// in a registry file of the suite's, and for every test a q5sim of its own
// (ephemeral port on 127.0.0.1, demo data in a temporary folder, superuser
// admin/secret), stopped when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "q5client/q5client.h"
#include "q5sim_process.h"

namespace q5test {

class E2eTest : public ::testing::Test {
public:
    static std::u16string Field(IQ5Table* table, const char16_t* name);
    static HRESULT SetField(IQ5Table* table, const char16_t* name, const char16_t* value);

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Options beyond --seed-demo, --su and --call-linger; override to change.
    virtual std::vector<std::string> ExtraOptions() const { return {}; }

    // Starts q5sim again on the same data folder (after sim_->Stop() or
    // sim_->Kill()).
    void RestartSim();

    // A new session object, connected; null (with a test failure) otherwise.
    ComPtr<IQ5Connect> Connect();
    // Connected and logged in as the mailbox (or, with superuser, by SU).
    ComPtr<IQ5Connect> LogIn(const char16_t* user, const char16_t* password, bool superuser = false);

    std::string MailboxFile(const std::string& box, const std::string& name) const;
    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& bytes);

    std::string dir_;       // the test's temporary folder
    std::string data_dir_;  // q5sim's data folder inside it
    std::unique_ptr<Q5SimProcess> sim_;

private:
    static std::string registry_dir_;
};

template <class T>
ComPtr<T> Query(IUnknown* object, REFIID iid) {
    ComPtr<T> out;
    if (object) object->QueryInterface(iid, out.AsOut());
    return out;
}

BStr W(const char16_t* text);
BStr W(const std::string& text);  // ASCII

}  // namespace q5test
