// IQ5Admin and IQ5FaxServer: one command each, the admin messages, and the
// fax methods' silence (codes only, the error record left alone).
#include "services_fixture.h"

namespace q5test {
namespace {

using AdminTest = ServicesTest;
using FaxTest = ServicesTest;

// ---- Administration --------------------------------------------------------------

TEST_F(AdminTest, RefusalsRaiseTheirMessageWithTheChannelFormattedIn) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("CHANNEL_RING 3\r\n")
        .Send("-ERR busy\r\n")
        .Expect("CHANNEL_HANGUP -1\r\n")
        .Send("-ERR\r\n")
        .Expect("MAILBOX ADD 200\r\n")
        .Send("-ERR exists\r\n")
        .Expect("MAILBOX DEL 200\r\n")
        .Send("-ERR\r\n")
        .Expect("RESET_MWI\r\n")
        .Send("-ERR\r\n")
        .Expect("MAILBOX DEL 201\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(admin_->SendRingEvent(3), E_FAIL);
    ErrorRecord error = TakeErrorRecord();
    EXPECT_EQ(error.description, u"Ring failed on channel 3");
    EXPECT_EQ(error.source, u"Q5Client.CoQ5Client.1");
    EXPECT_EQ(admin_->SendHangupEvent(-1), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to hangup channel -1");
    EXPECT_EQ(admin_->AddMailbox(B(u"200").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to Add mailbox");
    EXPECT_EQ(admin_->DeleteMailbox(B(u"200").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to delete mailbox");
    EXPECT_EQ(admin_->ResetMWI(), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"reset_mwi failed");
    EXPECT_EQ(admin_->DeleteMailbox(B(u"201").Get()), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(AdminTest, LightMwiSendsTheModesFirstLetterAndRefusesAnEmptyMode) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("LIGHT_MWI 100 O\r\n")
        .Send("+OK\r\n")
        .Expect("LIGHT_MWI 100 F\r\n")
        .Send("-ERR\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(admin_->LightMWI(B(u"100").Get(), B(u"ON").Get()), S_OK);
    EXPECT_EQ(admin_->LightMWI(B(u"100").Get(), B(u"").Get()), E_INVALIDARG);
    EXPECT_NE(TakeErrorRecord().description.find(u"MWI mode"), std::u16string::npos);
    EXPECT_EQ(admin_->LightMWI(B(u"100").Get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(admin_->LightMWI(B(u"100").Get(), B(u"FLASH").Get()), E_FAIL);
    EXPECT_EQ(TakeErrorRecord().description, u"light_mwi failed");
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received().find('\0'), std::string::npos);
}

TEST_F(AdminTest, ClosedSessionSendsNothingAndReportsConnectionLostExceptLoadConf) {
    EXPECT_EQ(admin_->SendRingEvent(5), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Ring failed on channel 5");
    EXPECT_EQ(admin_->AddMailbox(B(u"1").Get()), E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"Failed to Add mailbox");
    EXPECT_EQ(admin_->LoadConf(2), S_OK);
    EXPECT_FALSE(TakeErrorRecord().present);
}

TEST_F(AdminTest, LoadConfIgnoresTheServersAnswer) {
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("LOADCONF 7\r\n").Send("-ERR no such configuration\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(admin_->LoadConf(7), S_OK);
    EXPECT_FALSE(TakeErrorRecord().present);
    EXPECT_TRUE(peer.Finish().empty());
}

// ---- Fax ----------------------------------------------------------------------------

TEST_F(FaxTest, JobListStoresWhatFitsButReadsEveryLine) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("ENUMFAXJOBS 100\r\n")
        .Send("12\r\n15\r\n+OK\r\n")
        .Expect("ENUMFAXJOBS 100\r\n")
        .Send("12\r\n15\r\n+OK\r\n")
        .Expect("ENUMFAXJOBS 100\r\n")
        .Send("12\r\n15\r\n17\r\n+OK\r\n")
        .Expect("CANCELFAX 100 12\r\n")
        .Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    int jobs[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int size = 10;
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), jobs, &size), S_OK);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(std::vector<int>(jobs, jobs + 4), (std::vector<int>{12, 15, 0, -1}));
    size = 1;
    jobs[1] = -1;
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), jobs, &size), S_OK);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(jobs[0], 12);
    EXPECT_EQ(jobs[1], -1);
    size = 2;
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), jobs, &size), S_OK);
    EXPECT_EQ(size, 2);
    // The list was read to its end: the next reply belongs to the next command.
    EXPECT_EQ(fax_->CancelFax(B(u"100").Get(), 12), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FaxTest, FailuresReturnCodesAndLeaveTheEarlierErrorRecord) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("DELFILE 1 x\r\n")
        .Send("-ERR\r\n")
        .Expect("CANCELFAX 100 9\r\n")
        .Send("-ERR\r\n")
        .Expect("RETRYFAX 100 9\r\n")
        .Send("-ERR\r\n")
        .Expect("GETFAXSTATUS 100 9\r\n")
        .Send("-ERR\r\n")
        .Expect("ENUMFAXJOBS 100\r\n")
        .Send("4\r\n-ERR\r\n")
        .Expect("GETFAXATTR 100 9 pages\r\n")
        .CloseConnection();
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(util_->DelFile(B(u"1").Get(), B(u"x").Get()), E_FAIL);
    EXPECT_EQ(fax_->CancelFax(B(u"100").Get(), 9), E_FAIL);
    EXPECT_EQ(fax_->RetryFax(B(u"100").Get(), 9), E_FAIL);
    LONG status = 77;
    EXPECT_EQ(fax_->GetFaxStatus(B(u"100").Get(), 9, &status), E_FAIL);
    EXPECT_EQ(status, 77);
    int jobs[4] = {};
    int size = 4;
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), jobs, &size), E_FAIL);
    EXPECT_EQ(size, 2) << "a refused list still reports what it stored";
    BStr value;
    EXPECT_EQ(fax_->GetFaxAttr(B(u"100").Get(), 9, B(u"pages").Get(), value.ReleaseAndGetAddressOf()),
              E_CONNECTION_LOST);
    EXPECT_EQ(TakeErrorRecord().description, u"DelFile failed");
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FaxTest, ValuesAreReadFromTheFifthCharacterAndAttributesTrimmed) {
    ScriptedPeer peer;
    peer.Accept()
        .Send(kGreeting)
        .Expect("SENDFAX\r\n")
        .Send("+OK 4711\r\n")
        .Expect("GETFAXSTATUS 100 4711\r\n")
        .Send("+OK 3 sending\r\n")
        .Expect("GETFAXATTR 100 4711 pages\r\n")
        .Send("+OK   twelve pages \t\r\n")
        .Expect("GETFAXATTR 100 4711 pages\r\n")
        .Send("+OK 1\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    LONG job = 0, status = 0;
    EXPECT_EQ(fax_->SendFax(&job), S_OK);
    EXPECT_EQ(job, 4711);
    EXPECT_EQ(fax_->GetFaxStatus(B(u"100").Get(), job, &status), S_OK);
    EXPECT_EQ(status, 3);
    BStr value;
    EXPECT_EQ(fax_->GetFaxAttr(B(u"100").Get(), job, B(u"pages").Get(), value.ReleaseAndGetAddressOf()),
              S_OK);
    EXPECT_EQ(std::u16string(value.View()), u"twelve pages");
    EXPECT_EQ(fax_->GetFaxAttr(B(u"100").Get(), job, B(u"pages").Get(), nullptr), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FaxTest, SendFaxNeverFailsAndKeepsTheJobIdWhenNoneWasGiven) {
    LONG job = 42;
    EXPECT_EQ(fax_->SendFax(&job), S_OK);
    EXPECT_EQ(job, 42);
    EXPECT_EQ(fax_->CancelFax(B(u"100").Get(), 1), E_CONNECTION_LOST);
    EXPECT_FALSE(TakeErrorRecord().present);

    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("SENDFAX\r\n").Send("-ERR no modem\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    EXPECT_EQ(fax_->SendFax(&job), S_OK);
    EXPECT_EQ(job, 42);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(FaxTest, NullOutputsAreRefusedBeforeAnythingIsSent) {
    ScriptedPeer peer;
    peer.Accept().Send(kGreeting).Expect("NOOP\r\n").Send("+OK\r\n");
    peer.Start();
    ASSERT_EQ(ConnectTo(peer), S_OK);
    int jobs[2] = {};
    int size = 2;
    EXPECT_EQ(fax_->SendFax(nullptr), E_POINTER);
    EXPECT_EQ(fax_->GetFaxStatus(B(u"100").Get(), 1, nullptr), E_POINTER);
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), nullptr, &size), E_POINTER);
    EXPECT_EQ(fax_->EnumFaxJobs(B(u"100").Get(), jobs, nullptr), E_POINTER);
    EXPECT_EQ(util_->KeepAlive(), S_OK);
    EXPECT_TRUE(peer.Finish().empty());
    EXPECT_EQ(peer.Received(), "NOOP\r\n");
}

}  // namespace
}  // namespace q5test
