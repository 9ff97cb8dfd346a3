// IQ5Connect and IQ5Table::SuLogin against a scripted server: the exact
// bytes the library sends, the result codes and the error records.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "component_fixture.h"
#include "scripted_peer.h"

namespace q5test {
namespace {

class SessionTest : public RegisteredLibrary {
protected:
    void SetUp() override {
        RegisteredLibrary::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect,
                                   connect_.AsOut()),
                  S_OK);
        TakeErrorRecord();  // start every test with no record
    }
    void TearDown() override {
        connect_.Reset();
        RegisteredLibrary::TearDown();
    }
    HRESULT ConnectTo(const ScriptedPeer& peer, LONG timeout = 5) {
        return connect_->Connect(B(u"127.0.0.1").Get(), peer.port(), timeout);
    }
    ComPtr<IQ5Connect> connect_;
};

TEST_F(SessionTest, ConnectToDeadPortReportsConnectFailedAsConnectionLost) {
    HRESULT hr = connect_->Connect(B(u"127.0.0.1").Get(), ClosedPort(), 2);
    EXPECT_EQ(hr, static_cast<HRESULT>(0x80040010));
    ErrorRecord error = TakeErrorRecord();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(error.description, u"Connect Failed");
    EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    EXPECT_EQ(error.guid, GUID_NULL);
}

TEST_F(SessionTest, PortOutsideTcpRangeIsNotCutToAnotherPort) {
    ScriptedPeer peer;
    peer.Start();
    // 65536 + port would reach the peer if the value were cut to 16 bits.
    EXPECT_EQ(connect_->Connect(B(u"127.0.0.1").Get(), 65536 + peer.port(), 1), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Connect Failed");
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "");
}

TEST_F(SessionTest, WrongPasswordIsRefusalAndTheSessionStaysUsable) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 Q5Server ready\r\n")
        .Expect("USER 100\r\n")
        .Send("+OK\r\n")
        .Expect("PASS wrong\r\n")
        .Send("-ERR bad password\r\n")
        .Expect("USER 100\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 1234\r\n")
        .Send("+OK welcome\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"wrong").Get()), static_cast<HRESULT>(0x80004005));
    ErrorRecord error = TakeErrorRecord();
    EXPECT_EQ(error.description, u"Unknown username or password");
    EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), S_OK);
    EXPECT_EQ(peer.Finish(), std::vector<std::string>{});
}

TEST_F(SessionTest, LoginBeforeConnectSendsNothingAndReportsConnectionLost) {
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Unknown username or password");
}

TEST_F(SessionTest, UserReplyIsNotExaminedOnlyPassDecides) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 ready\r\n")
        .Expect("USER 100\r\n")
        .Send("-ERR whatever\r\n")
        .Expect("PASS 1234\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(SessionTest, ServerClosingDuringLoginLosesTheConnectionAndLaterCommandsSendNothing) {
    ScriptedPeer peer;
    peer.Accept().Send("+OK 5 ready\r\n").Expect("USER 100\r\n").CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Unknown username or password");
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), E_CONNECTION_LOST);
    EXPECT_EQ(peer.Received(), "USER 100\r\n");
}

TEST_F(SessionTest, LineBreakInArgumentIsRefusedBeforeAnythingIsSent) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 ready\r\n")
        .Expect("USER 100\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 1234\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"100\r\nMAILBOX DEL 100").Get(), B(u"1234").Get()), E_INVALIDARG);
    ErrorRecord error = TakeErrorRecord();
    EXPECT_NE(error.description.find(u"line break"), std::u16string::npos);
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"12\n34").Get()), E_INVALIDARG);
    // The session is untouched: a clean login goes through.
    EXPECT_EQ(connect_->Login(B(u"100").Get(), B(u"1234").Get()), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "USER 100\r\nPASS 1234\r\n");
}

TEST_F(SessionTest, OverlongCommandLineIsRefusedNotCut) {
    ScriptedPeer peer;
    peer.Accept().Send("+OK 5 ready\r\n").ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    std::u16string name(1100, u'a');
    EXPECT_EQ(connect_->Login(B(name.c_str()).Get(), B(u"x").Get()), E_INVALIDARG);
    EXPECT_NE(TakeErrorRecord().description.find(u"1023"), std::u16string::npos);
    connect_->Close();
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "");
}

TEST_F(SessionTest, WideTextTravelsInTheWireCodePage) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 ready\r\n")
        .Expect("USER J\xFCrgen\r\n")
        .Send("+OK\r\n")
        .Expect("PASS \x80uro\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"Jürgen").Get(), B(u"€uro").Get()), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(SessionTest, SuLoginThroughTableInterfaceUsesTheSameConnection) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 ready\r\n")
        .Expect("SU admin\r\n")
        .Send("+OK\r\n")
        .Expect("PASS secret\r\n")
        .Send("+OK\r\n")
        .Expect("SU admin\r\n")
        .Send("+OK\r\n")
        .Expect("PASS wrong\r\n")
        .Send("-ERR\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    ComPtr<IQ5Table> table;
    ASSERT_EQ(connect_.As(IID_IQ5Table, table), S_OK);
    EXPECT_EQ(table->SuLogin(B(u"admin").Get(), B(u"secret").Get()), S_OK);
    EXPECT_EQ(connect_->SuLogin(B(u"admin").Get(), B(u"wrong").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Unknown username or password");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(SessionTest, QuitSucceedsWhateverTheReplyAndCloseTwiceIsHarmless) {
    ScriptedPeer peer;
    peer.Accept().Send("+OK 5 ready\r\n").Expect("QUIT\r\n").Send("-ERR no\r\n").ExpectClosed();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Quit(), S_OK);
    EXPECT_EQ(connect_->Close(), S_OK);
    EXPECT_EQ(connect_->Close(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    // Quit on a closed session sends nothing and still succeeds.
    EXPECT_EQ(connect_->Quit(), S_OK);
}

TEST_F(SessionTest, ReconnectAfterCloseOpensAFreshConnection) {
    ScriptedPeer peer;
    peer.Accept()
        .Send("+OK 5 ready\r\n")
        .ExpectClosed()
        .Accept()
        .Send("+OK 5 ready\r\n")
        .Expect("USER 7\r\n")
        .Send("+OK\r\n")
        .Expect("PASS 7\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    connect_->Close();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(connect_->Login(B(u"7").Get(), B(u"7").Get()), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(SessionTest, MissingGreetingFailsTheConnect) {
    ScriptedPeer peer;
    peer.Accept().CloseConnection();
    peer.Start();
    EXPECT_EQ(ConnectTo(peer), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Connect Failed");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(SessionTest, ErrorRecordBelongsToTheFailingThread) {
    std::thread other([&] {
        ComPtr<IQ5Connect> own;
        ASSERT_EQ(
            CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, own.AsOut()),
            S_OK);
        EXPECT_EQ(own->Login(B(u"1").Get(), B(u"1").Get()), E_CONNECTION_LOST);
        EXPECT_TRUE(TakeErrorRecord().present);
    });
    other.join();
    EXPECT_FALSE(TakeErrorRecord().present) << "another thread's failure must not show here";
}

}  // namespace
}  // namespace q5test
