// Simulated calls reaching the library's event log, and call control
// through V-values, against q5sim.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e2e_fixture.h"
#include "line_client.h"
#include "sink.h"

namespace q5test {
namespace {

struct Event {
    LONG id = 0;
    std::u16string key, number, name;
};

class CallTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(
            CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events_.AsOut()),
            S_OK);
        ASSERT_EQ(events_->BeginQ5Log(W(u"127.0.0.1").Get(), sim_->port(), 5, W(u"101").Get(),
                                      W(u"1234").Get(), nullptr),
                  S_OK);
        session_ = LogIn(u"101", u"1234");
        ASSERT_TRUE(session_);
        util_ = Query<IQ5Util>(session_.Get(), IID_IQ5Util);
        ASSERT_TRUE(admin_.Connect(sim_->port()));
        ASSERT_TRUE(admin_.Login("admin", "secret", true));
    }
    void TearDown() override {
        if (events_) {
            EXPECT_EQ(events_->EndQ5Log(), S_OK);
        }
        events_.Reset();
        util_.Reset();
        session_.Reset();
        admin_.Close();
        E2eTest::TearDown();
    }

    // Starts a call with the emulator's own command; returns its key.
    std::string StartCall(const std::string& box, const std::string& number, const std::string& name = "") {
        const std::string reply =
            admin_.Command("SIM_CALL " + box + " " + number + (name.empty() ? "" : " " + name));
        EXPECT_EQ(reply.substr(0, 4), "+OK ") << reply;
        return reply.size() > 4 ? reply.substr(4) : std::string();
    }

    // The next queued event, waiting up to `limit` for it.
    Event NextEvent(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        Event event;
        while (std::chrono::steady_clock::now() < deadline) {
            BStr key, number, name;
            EXPECT_EQ(events_->GetQ5Event(&event.id, key.ReleaseAndGetAddressOf(),
                                          number.ReleaseAndGetAddressOf(), name.ReleaseAndGetAddressOf()),
                      S_OK);
            if (event.id != 0) {
                event.key = key.View();
                event.number = number.View();
                event.name = name.View();
                return event;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return event;
    }

    ComPtr<ICoEvents> events_;
    ComPtr<IQ5Connect> session_;
    ComPtr<IQ5Util> util_;
    LineClient admin_;
};

std::u16string U(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

TEST_F(CallTest, CallHeldReleasedAndSentToMailboxArrivesAsEventsInOrder) {
    const std::string key = StartCall("101", "2125550142");
    ASSERT_EQ(key.size(), 8u);
    const Event start = NextEvent();
    EXPECT_EQ(start.id, 1);
    EXPECT_EQ(start.key, U(key));
    EXPECT_EQ(start.number, u"2125550142");
    EXPECT_EQ(start.name, u" ") << "no name: a blank, so the record keeps four fields";

    std::vector<LONG> ids = {start.id};
    ASSERT_EQ(util_->SetVValue(W(key).Get(), W(u"3").Get()), S_OK);  // hold
    ids.push_back(NextEvent().id);
    ASSERT_EQ(util_->SetVValue(W(key).Get(), W(u"3").Get()), S_OK);  // release
    ids.push_back(NextEvent().id);
    ASSERT_EQ(util_->SetVXValue(W(key).Get(), W(u"4").Get(), W(u"101").Get()), S_OK);  // to the mailbox
    ids.push_back(NextEvent().id);
    const Event end = NextEvent();
    ids.push_back(end.id);
    EXPECT_EQ(ids, (std::vector<LONG>{1, 2, 4, 5, 10}));
    EXPECT_EQ(end.key, U(key));
    // An ended call takes no more values.
    EXPECT_EQ(util_->SetVValue(W(key).Get(), W(u"3").Get()), E_FAIL);
}

TEST_F(CallTest, TransferAndAnswerEndTheCall) {
    const std::string transferred = StartCall("101", "3055550199", "ROBERT KING");
    const Event start = NextEvent();
    EXPECT_EQ(start.id, 1);
    EXPECT_EQ(start.name, u"ROBERT KING");
    ASSERT_EQ(util_->SetVXValue(W(transferred).Get(), W(u"1").Get(), W(u"102").Get()), S_OK);
    EXPECT_EQ(NextEvent().id, 3);
    EXPECT_EQ(NextEvent().id, 10);

    const std::string answered = StartCall("101", "6175550123", "MARIA LOPEZ");
    EXPECT_EQ(NextEvent().id, 1);
    ASSERT_EQ(util_->SetVXValue(W(answered).Get(), W(u"1").Get(), W(u"101").Get()), S_OK);
    EXPECT_EQ(NextEvent().id, 4);
    EXPECT_EQ(NextEvent().id, 10);

    // Calls of another mailbox are neither seen nor steerable.
    const std::string theirs = StartCall("102", "4155550177");
    EXPECT_EQ(util_->SetVValue(W(theirs).Get(), W(u"3").Get()), E_FAIL);
    EXPECT_EQ(NextEvent(std::chrono::milliseconds(1500)).id, 0);
}

TEST_F(CallTest, ScreenedCallLeavesTheCallersNameForTheNameFetch) {
    // Mailbox 101 screens visually (SCREEN "V"): the name is there when event 1 is.
    const std::string key = StartCall("101", "2125550142");
    const Event start = NextEvent();
    ASSERT_EQ(start.id, 1);
    const std::string name_file = "VS" + std::to_string(std::stoi(key.substr(0, 3)));
    const std::string local = dir_ + "/" + key + ".wav";
    ASSERT_EQ(util_->ConvertV2W(W(u"101").Get(), W(name_file).Get()), S_OK);
    ASSERT_EQ(util_->GetFile(W(u"101").Get(), W(name_file + ".wav").Get(), W(local).Get()), S_OK);
    EXPECT_EQ(util_->DelFile(W(u"101").Get(), W(name_file + ".wav").Get()), S_OK);
    EXPECT_EQ(util_->DelFile(W(u"101").Get(), W(name_file).Get()), S_OK);
    const std::string wav = ReadFile(local);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_GT(wav.size(), 8000u);
}

TEST_F(CallTest, StatusLogSeesTheChannelsAndACallOnOne) {
    ComPtr<ICoEvents> status;
    ASSERT_EQ(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, status.AsOut()),
              S_OK);
    auto* sink = new ProgressSink;
    ASSERT_EQ(status->BeginStatusLog(W(u"127.0.0.1").Get(), sim_->port(), 5, W(u"admin").Get(),
                                     W(u"secret").Get(), sink),
              S_OK);
    StartCall("102", "4155550177");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool ringing = false;
    while (!ringing && std::chrono::steady_clock::now() < deadline) {
        for (const auto& [channel, text] : sink->statuses())
            ringing = ringing || text == "INBOUND|102|RINGING";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(status->EndStatusLog(), S_OK);
    const auto reports = sink->statuses();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), (std::pair<LONG, std::string>{8, "||NUM"}));
    EXPECT_TRUE(ringing);
    sink->Release();
}

TEST_F(CallTest, MailboxSessionCannotStartCallsOrWatchChannels) {
    LineClient user;
    ASSERT_TRUE(user.Connect(sim_->port()));
    ASSERT_TRUE(user.Login("101", "1234"));
    EXPECT_EQ(user.Command("SIM_CALL 101 5550100").substr(0, 1), "-");
    EXPECT_EQ(user.Command("EVENT_STATUS").substr(0, 1), "-");
}

}  // namespace
}  // namespace q5test
