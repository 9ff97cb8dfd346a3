// CallCenter: the emulated telephony. A small call model per mailbox, the
// channels the calls occupy, and the event feeds of the EVENT_Q5 and
// EVENT_STATUS streams.
//
// A call has a key: three digits giving the number of its name recording
// ("VS" + that number, without leading zeros), then five digits that make the
// key unique, e.g. 00712345 with the recording VS7. Its life:
//
//   new (event 1) --"3"--> on hold (2) --"3"--> in transit (4) ...
//   new or in transit --"1" own mailbox--> in transit (4), ended later (10)
//                     --"1"/"2" other----> transfer (3), ended later (10)
//                     --"4"--------------> leaving message (5), ended later (10)
//   unanswered for ring_seconds, or on hold for hold_seconds: leaving message.
//
// "Later" is linger_seconds. Values are the V-values of SEND_Q5_EVENT.
//
// Thread rule: every public method may be called from any thread; one
// internal lock guards the model and is never held while a caller's
// callback runs or a log line is written. Each EventFeed has its own lock,
// taken inside the model's.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace q5sim {

struct CallTiming {
    int linger_seconds = 3;
    int ring_seconds = 30;
    int hold_seconds = 60;
};

// The queue of one event stream connection.
class EventFeed {
public:
    EventFeed();
    EventFeed(const EventFeed&) = delete;
    EventFeed& operator=(const EventFeed&) = delete;
    ~EventFeed();

    // Waits up to `wait` for records and takes every queued one.
    std::vector<std::string> Take(std::chrono::milliseconds wait);
    void Push(std::string record);
    void Close();  // wakes the reader for good
    // Becomes readable on Push and Close and is cleared by Take, so a reader
    // can poll it together with its socket.
    int wake_fd() const { return wake_fd_; }

private:
    void Wake();

    const int wake_fd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> records_;
    bool closed_ = false;
};

enum class ActResult { ok, no_call, not_yours, bad_value, busy_leaving };

struct CallInfo {
    std::string key;
    std::string mailbox;
    std::string number;
    std::string name;
    int event = 1;  // the last event sent for it
    int channel = 0;
};

class CallCenter {
public:
    CallCenter(int channels, CallTiming timing);
    CallCenter(const CallCenter&) = delete;
    CallCenter& operator=(const CallCenter&) = delete;
    ~CallCenter();  // stops the timer thread; feeds are closed

    int channels() const { return static_cast<int>(channels_.size()); }

    // Q5 events of one mailbox (empty: every mailbox).
    std::shared_ptr<EventFeed> SubscribeQ5(const std::string& box);
    // The channel count, then a status record per channel, then changes.
    std::shared_ptr<EventFeed> SubscribeStatus();
    void Unsubscribe(const std::shared_ptr<EventFeed>& feed);

    // Starts a call on a free channel; nullopt when every channel is busy.
    // `record_name` (may be empty) runs without the lock, with the name of the
    // recording file ("VS7"), before event 1 is published.
    std::optional<std::string> StartCall(const std::string& box, const std::string& number,
                                         const std::string& name,
                                         const std::function<void(const std::string&)>& record_name);
    // A V-value for call `key` from a session of mailbox `actor` (empty for a
    // superuser, who may act on any call).
    ActResult Act(const std::string& key, const std::string& actor, const std::string& v,
                  const std::string& x);
    // Ends a call at once (event 10).
    bool EndCall(const std::string& key);
    // Ends every call of a mailbox (it was deleted).
    void EndCallsOf(const std::string& box);
    // Channel numbers count from 1, as the status stream does.
    bool RingChannel(int channel);
    bool HangupChannel(int channel);
    std::optional<CallInfo> FindCall(const std::string& key);

    // Mailboxes with a logged-in session, for the demo calls.
    void Login(const std::string& box);
    void Logout(const std::string& box);
    std::vector<std::string> LoggedIn();

private:
    enum class State { ringing, held, in_transit, answered, transferring, leaving_message };
    struct Call {
        CallInfo info;
        State state = State::ringing;
        std::uint64_t generation = 0;  // bumped at every change; stale timers see it
    };
    struct Channel {
        std::string key;  // the call on it, empty when idle
        std::string status = "ONHOOK";
    };
    enum class TimerAction { to_voicemail, end };
    struct Timer {
        std::chrono::steady_clock::time_point when;
        std::string key;
        std::uint64_t generation;
        TimerAction action;
    };

    // All with mutex_ held.
    void Publish(const Call& call, int event);
    void PublishChannel(int channel);
    void Schedule(Call& call, int seconds, TimerAction action);
    void Move(Call& call, State state, int event);
    void End(const std::string& key);
    std::string ChannelRecord(int channel) const;

    void TimerLoop();
    // Writes the log lines gathered under the lock, once it is released.
    class LogAfter;

    const CallTiming timing_;
    std::mutex mutex_;
    std::condition_variable timers_changed_;
    std::map<std::string, Call> calls_;
    std::vector<Channel> channels_;
    std::vector<Timer> timers_;
    std::vector<std::pair<std::string, std::weak_ptr<EventFeed>>> q5_feeds_;
    std::vector<std::weak_ptr<EventFeed>> status_feeds_;
    std::map<std::string, int> logins_;
    std::map<std::string, int> name_numbers_;
    std::vector<std::string> log_;  // lines waiting for LogAfter
    std::uint32_t sequence_;
    bool stopping_ = false;
    std::thread timer_thread_;
};

}  // namespace q5sim
