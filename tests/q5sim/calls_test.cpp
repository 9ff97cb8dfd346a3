// The call model: which V-value moves a call where, timers that must not
// fire for a call that has moved on, and the feeds of the event streams.
#include "calls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace q5sim {
namespace {

using namespace std::chrono_literals;

// Takes records from a feed until `count` arrived or two seconds passed.
std::vector<std::string> Collect(EventFeed& feed, std::size_t count) {
    std::vector<std::string> out;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
        for (auto& record : feed.Take(50ms)) out.push_back(std::move(record));
    }
    return out;
}

std::vector<int> Ids(const std::vector<std::string>& records) {
    std::vector<int> ids;
    for (const auto& record : records) ids.push_back(std::stoi(record));
    return ids;
}

TEST(CallCenterTest, KeyNamesTheRecordingAndEveryValueMovesTheCall) {
    CallCenter calls(4, CallTiming{0, 30, 60});
    auto feed = calls.SubscribeQ5("101");
    std::string recorded;
    const auto key = calls.StartCall("101", "5550100", "", [&](const std::string& file) { recorded = file; });
    ASSERT_TRUE(key);
    ASSERT_EQ(key->size(), 8u);
    EXPECT_EQ(recorded, "VS" + std::to_string(std::stoi(key->substr(0, 3))));
    EXPECT_EQ(calls.Act(*key, "101", "3", ""), ActResult::ok);  // hold
    EXPECT_EQ(calls.Act(*key, "101", "3", ""), ActResult::ok);  // release
    EXPECT_EQ(calls.Act(*key, "101", "7", ""), ActResult::bad_value);
    EXPECT_EQ(calls.Act(*key, "101", "1", ""), ActResult::bad_value) << "a transfer needs a destination";
    EXPECT_EQ(calls.Act(*key, "101", "2", "5551234"), ActResult::ok);
    EXPECT_EQ(Ids(Collect(*feed, 5)), (std::vector<int>{1, 2, 4, 3, 10}));
    EXPECT_EQ(calls.Act(*key, "101", "3", ""), ActResult::no_call);
}

TEST(CallCenterTest, OnlyTheCallsMailboxOrTheSuperuserMayActOnIt) {
    CallCenter calls(4, CallTiming{30, 30, 60});
    const auto key = calls.StartCall("101", "5550100", "A", {});
    ASSERT_TRUE(key);
    EXPECT_EQ(calls.Act(*key, "102", "3", ""), ActResult::not_yours);
    EXPECT_EQ(calls.Act(*key, "", "4", ""), ActResult::ok);
    EXPECT_EQ(calls.Act(*key, "101", "3", ""), ActResult::busy_leaving)
        << "a caller leaving a message is not held";
}

TEST(CallCenterTest, UnansweredCallGoesToVoiceMailButAnHeldOneWaits) {
    CallCenter calls(4, CallTiming{0, 1, 60});
    auto feed = calls.SubscribeQ5("");
    const auto ignored = calls.StartCall("101", "1", "", {});
    const auto held = calls.StartCall("102", "2", "", {});
    ASSERT_TRUE(ignored && held);
    EXPECT_EQ(calls.Act(*held, "102", "3", ""), ActResult::ok);
    // Events: 1, 1, 2, then the ignored call's 5 and 10; the held call's
    // ring timer is stale and must not fire.
    const auto records = Collect(*feed, 6);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(Ids(records), (std::vector<int>{1, 1, 2, 5, 10}));
    EXPECT_EQ(records[3].substr(2, 8), *ignored);
    EXPECT_TRUE(calls.FindCall(*held));
}

TEST(CallCenterTest, StatusFeedStartsWithTheChannelsAndFollowsACall) {
    CallCenter calls(2, CallTiming{30, 30, 60});
    auto status = calls.SubscribeStatus();
    EXPECT_EQ(Collect(*status, 3), (std::vector<std::string>{"2.", "1;IDLE;-;ONHOOK.", "2;IDLE;-;ONHOOK."}));
    const auto first = calls.StartCall("101", "1", "", {});
    const auto second = calls.StartCall("101", "2", "", {});
    EXPECT_FALSE(calls.StartCall("101", "3", "", {})) << "both channels are busy";
    EXPECT_EQ(Collect(*status, 2),
              (std::vector<std::string>{"1;INBOUND;101;RINGING.", "2;INBOUND;101;RINGING."}));
    EXPECT_TRUE(calls.HangupChannel(1));
    EXPECT_FALSE(calls.FindCall(*first));
    EXPECT_EQ(Collect(*status, 1), (std::vector<std::string>{"1;IDLE;-;ONHOOK."}));
    EXPECT_FALSE(calls.HangupChannel(3));
    EXPECT_TRUE(calls.FindCall(*second));
}

TEST(CallCenterTest, FeedOfAnotherMailboxSeesNothingAndAGoneFeedIsSkipped) {
    CallCenter calls(4, CallTiming{30, 30, 60});
    auto other = calls.SubscribeQ5("102");
    { auto gone = calls.SubscribeQ5("101"); }
    ASSERT_TRUE(calls.StartCall("101", "1", "", {}));
    EXPECT_TRUE(other->Take(100ms).empty());
}

}  // namespace
}  // namespace q5sim
