// What q5sim stores survives its end, orderly or not.
#include <string>

#include "e2e_fixture.h"

namespace q5test {
namespace {

using RestartTest = E2eTest;

TEST_F(RestartTest, TablesFilesAndMailboxesSurviveARestartAndAKill) {
    {
        ComPtr<IQ5Connect> session = LogIn(u"101", u"1234");
        ASSERT_TRUE(session);
        auto table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
        table->SetTable(W(u"BOX").Get());
        ASSERT_EQ(table->GetRecord(), S_OK);
        SetField(table.Get(), u"FIRST_N", u"Danielle");
        SetField(table.Get(), u"PASS", u"4321");
        ASSERT_EQ(table->PutRecord(), S_OK);
        WriteFile(dir_ + "/memo.txt", "remember the milk");
        auto util = Query<IQ5Util>(session.Get(), IID_IQ5Util);
        ASSERT_EQ(util->PutFile(W(u"101").Get(), W(u"memo.txt").Get(), W(dir_ + "/memo.txt").Get()), S_OK);

        ComPtr<IQ5Connect> admin = LogIn(u"admin", u"secret", true);
        ASSERT_TRUE(admin);
        auto manage = Query<IQ5Admin>(admin.Get(), IID_IQ5Admin);
        ASSERT_EQ(manage->AddMailbox(W(u"300").Get()), S_OK);
        EXPECT_EQ(manage->AddMailbox(W(u"300").Get()), E_FAIL);
        ASSERT_EQ(manage->DeleteMailbox(W(u"102").Get()), S_OK);
    }
    ASSERT_EQ(sim_->Stop(), 0);
    RestartSim();
    ASSERT_FALSE(HasFatalFailure());

    ComPtr<IQ5Connect> session = Connect();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->Login(W(u"101").Get(), W(u"1234").Get()), E_FAIL) << "the password was changed";
    ASSERT_EQ(session->Login(W(u"101").Get(), W(u"4321").Get()), S_OK);
    auto table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
    table->SetTable(W(u"BOX").Get());
    ASSERT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"FIRST_N"), u"Danielle");
    auto util = Query<IQ5Util>(session.Get(), IID_IQ5Util);
    ASSERT_EQ(util->GetFile(W(u"101").Get(), W(u"memo.txt").Get(), W(dir_ + "/memo.back").Get()), S_OK);
    EXPECT_EQ(ReadFile(dir_ + "/memo.back"), "remember the milk");
    // A new mailbox's password is its number; a deleted one is gone.
    EXPECT_TRUE(LogIn(u"300", u"300"));
    ComPtr<IQ5Connect> gone = Connect();
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->Login(W(u"102").Get(), W(u"2345").Get()), E_FAIL);

    // A committed change survives a kill as well.
    SetField(table.Get(), u"LAST_N", u"Whitfield-Kill");
    ASSERT_EQ(table->PutRecord(), S_OK);
    session.Reset();
    sim_->Kill();
    RestartSim();
    ASSERT_FALSE(HasFatalFailure());
    ComPtr<IQ5Connect> again = LogIn(u"101", u"4321");
    ASSERT_TRUE(again);
    auto reread = Query<IQ5Table>(again.Get(), IID_IQ5Table);
    reread->SetTable(W(u"BOX").Get());
    ASSERT_EQ(reread->GetRecord(), S_OK);
    EXPECT_EQ(Field(reread.Get(), u"LAST_N"), u"Whitfield-Kill");
}

}  // namespace
}  // namespace q5test
