// The library through TLS against q5sim serving certificates made by the
// test: a whole session (login, a record, a 1 MiB file both ways, the Q5
// event log) and every way a connection is refused.
#include <stdlib.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "e2e_fixture.h"
#include "test_certificate.h"

namespace q5test {
namespace {

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// The calling thread's error record's description; taken.
std::string TakeDescription() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    BStr description;
    info->GetDescription(description.ReleaseAndGetAddressOf());
    info->Release();
    return Narrow(description.View());
}

std::string NoColons(std::string text, bool lower) {
    std::string out;
    for (char c : text) {
        if (c != ':')
            out.push_back(lower ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c);
    }
    return out;
}

class TlsTest : public E2eTest {
protected:
    static void SetUpTestSuite() {
        E2eTest::SetUpTestSuite();
        char dir_template[] = "/tmp/q5tls-certs-XXXXXX";
        ASSERT_NE(mkdtemp(dir_template), nullptr);
        cert_dir_ = dir_template;
        server_ = MakeTestCertificate(cert_dir_, "server", "localhost", "DNS:localhost,IP:127.0.0.1");
        other_ = MakeTestCertificate(cert_dir_, "other", "q5.example", "DNS:q5.example");
        ASSERT_EQ(server_.error, "");
        ASSERT_EQ(other_.error, "");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        std::filesystem::remove_all(cert_dir_, ignored);
        E2eTest::TearDownTestSuite();
    }
    void SetUp() override {
        unsetenv("Q5CLIENT_TLS_CA");
        E2eTest::SetUp();
    }
    void TearDown() override {
        unsetenv("Q5CLIENT_TLS_CA");
        E2eTest::TearDown();
    }
    std::vector<std::string> ExtraOptions() const override {
        std::vector<std::string> options;
        if (serve_) options = {"--tls-cert", serve_->cert_file, "--tls-key", serve_->key_file};
        if (demo_calls_) options.insert(options.end(), {"--demo-calls", "1"});
        return options;
    }
    // Serves `certificate` (null: plain TCP) from a fresh q5sim.
    void Serve(const TestCertificate* certificate) {
        serve_ = certificate;
        RestartSim();
    }
    static void Trust(const TestCertificate& certificate) {
        setenv("Q5CLIENT_TLS_CA", certificate.cert_file.c_str(), 1);
    }

    ComPtr<IQ5Connect> NewSession() {
        ComPtr<IQ5Connect> session;
        EXPECT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect,
                                   session.AsOut()),
                  S_OK);
        return session;
    }
    // Connect with `host`, then Login as 101; S_OK or the first failure.
    HRESULT LogInAt(IQ5Connect* session, const std::string& host) {
        const HRESULT hr = session->Connect(W(host).Get(), sim_->port(), 5);
        if (FAILED(hr)) return hr;
        return session->Login(W(u"101").Get(), W(u"1234").Get());
    }

    static inline std::string cert_dir_;
    static inline TestCertificate server_;
    static inline TestCertificate other_;
    const TestCertificate* serve_ = &server_;
    bool demo_calls_ = false;
};

TEST_F(TlsTest, RecordAndOneMebibyteFileBothWaysThroughTrustedAndPinnedHosts) {
    Trust(server_);
    ComPtr<IQ5Connect> session = NewSession();
    ASSERT_TRUE(session);
    ASSERT_EQ(LogInAt(session.Get(), "tls://localhost"), S_OK);
    ComPtr<IQ5Table> table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
    ASSERT_EQ(table->SetTable(W(u"BOX").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"EXT1"), u"101");
    ASSERT_EQ(SetField(table.Get(), u"LAST_N", u"Encrypted"), S_OK);
    ASSERT_EQ(table->PutRecord(), S_OK);

    std::string data(1 << 20, '\0');
    std::mt19937 random(7);
    for (char& c : data) c = static_cast<char>(random());
    WriteFile(dir_ + "/up.bin", data);
    ComPtr<IQ5Util> util = Query<IQ5Util>(session.Get(), IID_IQ5Util);
    ASSERT_EQ(util->PutFile2(W(u"101").Get(), W(u"big.bin").Get(), W(dir_ + "/up.bin").Get(), nullptr), S_OK);
    EXPECT_TRUE(ReadFile(MailboxFile("101", "big.bin")) == data) << "upload changed the bytes";

    // The pinned form, lower case without colons, needs no trusted CA.
    unsetenv("Q5CLIENT_TLS_CA");
    ComPtr<IQ5Connect> pinned = NewSession();
    ASSERT_EQ(LogInAt(pinned.Get(), "tls://127.0.0.1#sha256=" + NoColons(server_.fingerprint, true)), S_OK);
    ComPtr<IQ5Util> pinned_util = Query<IQ5Util>(pinned.Get(), IID_IQ5Util);
    ASSERT_EQ(
        pinned_util->GetFile2(W(u"101").Get(), W(u"big.bin").Get(), W(dir_ + "/down.bin").Get(), nullptr),
        S_OK);
    EXPECT_TRUE(ReadFile(dir_ + "/down.bin") == data) << "download changed the bytes";
    ComPtr<IQ5Table> pinned_table = Query<IQ5Table>(pinned.Get(), IID_IQ5Table);
    ASSERT_EQ(pinned_table->SetTable(W(u"BOX").Get()), S_OK);
    ASSERT_EQ(pinned_table->GetRecord(), S_OK);
    EXPECT_EQ(Field(pinned_table.Get(), u"LAST_N"), u"Encrypted");
    EXPECT_EQ(pinned_util->KeepAlive(), S_OK);
}

TEST_F(TlsTest, Q5EventLogThroughTls) {
    demo_calls_ = true;
    Serve(&server_);
    ComPtr<ICoEvents> events;
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events.AsOut()),
              S_OK);
    const std::string host =
        "tls://localhost:" + std::to_string(sim_->port()) + "#sha256=" + server_.fingerprint;
    // The port in the host string wins over the argument.
    ASSERT_EQ(events->BeginQ5Log(W(host).Get(), 1, 5, W(u"101").Get(), W(u"1234").Get(), nullptr), S_OK);
    LONG id = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (id == 0 && std::chrono::steady_clock::now() < deadline) {
        BStr key, number, name;
        ASSERT_EQ(events->GetQ5Event(&id, key.ReleaseAndGetAddressOf(), number.ReleaseAndGetAddressOf(),
                                     name.ReleaseAndGetAddressOf()),
                  S_OK);
        if (id == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(id, 1) << "the demo call's first event";
    EXPECT_EQ(events->EndQ5Log(), S_OK);
}

TEST_F(TlsTest, RefusedCertificatesSayWhyAndShowTheCertificate) {
    struct Case {
        const char* what;
        const TestCertificate* served;
        const TestCertificate* trusted;
        std::string host;
        std::string reason;
    } cases[] = {
        {"untrusted", &server_, nullptr, "tls://localhost", "the server's certificate is not trusted"},
        {"name mismatch", &other_, &other_, "tls://localhost",
         "the server's certificate does not match the host name localhost"},
        {"changed pin", &server_, &server_, "tls://localhost#sha256=" + other_.fingerprint,
         "the server's certificate has changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (serve_ != c.served) Serve(c.served);
        if (c.trusted) {
            Trust(*c.trusted);
        } else {
            unsetenv("Q5CLIENT_TLS_CA");
        }
        ComPtr<IQ5Connect> session = NewSession();
        EXPECT_EQ(session->Connect(W(c.host).Get(), sim_->port(), 5), E_CONNECTION_LOST);
        const std::string text = TakeDescription();
        EXPECT_EQ(text.rfind("Connect Failed: " + c.reason, 0), 0u) << text;
        EXPECT_NE(text.find("\nSHA-256 fingerprint: " + c.served->fingerprint + "\n"), std::string::npos)
            << text;
        EXPECT_NE(text.find("\nSubject: CN="), std::string::npos) << text;

        // The event logs take the same host and refuse it the same way.
        ComPtr<ICoEvents> events;
        ASSERT_EQ(
            CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events.AsOut()),
            S_OK);
        EXPECT_EQ(
            events->BeginQ5Log(W(c.host).Get(), sim_->port(), 5, W(u"101").Get(), W(u"1234").Get(), nullptr),
            E_FAIL);
        EXPECT_EQ(TakeDescription().rfind("Connect failed: " + c.reason, 0), 0u);
    }
}

TEST_F(TlsTest, PlainAndTlsOnTheWrongKindOfPortFailWithConnectFailed) {
    ComPtr<IQ5Connect> session = NewSession();
    // A plain client waits for a greeting that a TLS port never sends.
    EXPECT_EQ(session->Connect(W(u"127.0.0.1").Get(), sim_->port(), 1), E_CONNECTION_LOST);
    EXPECT_EQ(TakeDescription(), "Connect Failed");
    // A TLS client reads the plain greeting as a broken TLS record.
    Serve(nullptr);
    EXPECT_EQ(session->Connect(W(u"tls://127.0.0.1").Get(), sim_->port(), 1), E_CONNECTION_LOST);
    EXPECT_EQ(TakeDescription().rfind("Connect Failed: TLS handshake failed", 0), 0u);
    // The same object still speaks plain TCP to it.
    EXPECT_EQ(session->Connect(W(u"127.0.0.1").Get(), sim_->port(), 1), S_OK);
    // A host string that cannot be read is refused before any connection.
    EXPECT_EQ(session->Connect(W(u"tls://localhost:99999").Get(), sim_->port(), 1), E_CONNECTION_LOST);
    EXPECT_EQ(TakeDescription(), "Connect Failed: bad host: the port must be a number from 1 to 65535");
}

}  // namespace
}  // namespace q5test
