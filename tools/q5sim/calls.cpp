#include "calls.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "log.h"
#include "protocol.h"

namespace q5sim {

using Clock = std::chrono::steady_clock;

class CallCenter::LogAfter {
public:
    explicit LogAfter(CallCenter& center) : center_(center) {}
    LogAfter(const LogAfter&) = delete;
    LogAfter& operator=(const LogAfter&) = delete;
    ~LogAfter() {
        std::vector<std::string> lines;
        {
            std::lock_guard lock(center_.mutex_);
            lines.swap(center_.log_);
        }
        for (const std::string& line : lines) LogLine(line);
    }

private:
    CallCenter& center_;
};

EventFeed::EventFeed() : wake_fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventFeed::~EventFeed() {
    if (wake_fd_ >= 0) ::close(wake_fd_);
}

void EventFeed::Wake() {
    if (wake_fd_ < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_fd_, &one, sizeof one);  // full: already awake
}

std::vector<std::string> EventFeed::Take(std::chrono::milliseconds wait) {
    if (wake_fd_ >= 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto read = ::read(wake_fd_, &count, sizeof count);  // empty: nothing to clear
    }
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [this] { return closed_ || !records_.empty(); });
    std::vector<std::string> out(std::make_move_iterator(records_.begin()),
                                 std::make_move_iterator(records_.end()));
    records_.clear();
    return out;
}

void EventFeed::Push(std::string record) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        records_.push_back(std::move(record));
    }
    changed_.notify_all();
    Wake();
}

void EventFeed::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    Wake();
}

CallCenter::CallCenter(int channels, CallTiming timing)
    : timing_(timing),
      channels_(static_cast<std::size_t>(std::max(1, channels))),
      // Keys of one run differ from those of the runs before it.
      sequence_(static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch() /
                                           std::chrono::seconds(1)) %
                90000u) {
    timer_thread_ = std::thread([this] { TimerLoop(); });
}

CallCenter::~CallCenter() {
    std::vector<std::shared_ptr<EventFeed>> feeds;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& [box, feed] : q5_feeds_) {
            if (auto f = feed.lock()) feeds.push_back(f);
        }
        for (auto& feed : status_feeds_) {
            if (auto f = feed.lock()) feeds.push_back(f);
        }
    }
    timers_changed_.notify_all();
    timer_thread_.join();
    for (auto& feed : feeds) feed->Close();
}

std::shared_ptr<EventFeed> CallCenter::SubscribeQ5(const std::string& box) {
    auto feed = std::make_shared<EventFeed>();
    std::lock_guard lock(mutex_);
    q5_feeds_.emplace_back(box, feed);
    return feed;
}

std::shared_ptr<EventFeed> CallCenter::SubscribeStatus() {
    auto feed = std::make_shared<EventFeed>();
    std::lock_guard lock(mutex_);
    feed->Push(std::to_string(channels_.size()) + ".");
    for (std::size_t i = 0; i < channels_.size(); ++i) feed->Push(ChannelRecord(static_cast<int>(i)));
    status_feeds_.push_back(feed);
    return feed;
}

void CallCenter::Unsubscribe(const std::shared_ptr<EventFeed>& feed) {
    std::lock_guard lock(mutex_);
    std::erase_if(q5_feeds_, [&](const auto& entry) {
        auto f = entry.second.lock();
        return !f || f == feed;
    });
    std::erase_if(status_feeds_, [&](const auto& entry) {
        auto f = entry.lock();
        return !f || f == feed;
    });
}

std::string CallCenter::ChannelRecord(int channel) const {
    const Channel& c = channels_[static_cast<std::size_t>(channel)];
    std::string box = "-";
    if (!c.key.empty()) {
        const auto call = calls_.find(c.key);
        if (call != calls_.end()) box = call->second.info.mailbox;
    }
    const bool idle = c.key.empty() && c.status == "ONHOOK";
    return FormatStatusRecord(channel + 1, idle ? "IDLE" : "INBOUND", box, c.status);
}

void CallCenter::PublishChannel(int channel) {
    const std::string record = ChannelRecord(channel);
    for (auto& feed : status_feeds_) {
        if (auto f = feed.lock()) f->Push(record);
    }
}

void CallCenter::Publish(const Call& call, int event) {
    const std::string record = FormatQ5Event(event, call.info.key, call.info.number, call.info.name);
    for (auto& [box, feed] : q5_feeds_) {
        if (!box.empty() && box != call.info.mailbox) continue;
        if (auto f = feed.lock()) f->Push(record);
    }
    log_.push_back("call " + call.info.key + " of " + call.info.mailbox + ": event " + std::to_string(event));
}

void CallCenter::Schedule(Call& call, int seconds, TimerAction action) {
    timers_.push_back({Clock::now() + std::chrono::seconds(seconds), call.info.key, call.generation, action});
    timers_changed_.notify_all();
}

void CallCenter::Move(Call& call, State state, int event) {
    static const char* const kStatus[] = {"RINGING", "HOLD", "TRANSIT", "CONNECTED", "TRANSFER", "RECORDING"};
    call.state = state;
    call.info.event = event;
    ++call.generation;
    Publish(call, event);
    channels_[static_cast<std::size_t>(call.info.channel - 1)].status = kStatus[static_cast<int>(state)];
    PublishChannel(call.info.channel - 1);
    switch (state) {
        case State::ringing:
        case State::in_transit:
            Schedule(call, timing_.ring_seconds, TimerAction::to_voicemail);
            break;
        case State::held:
            Schedule(call, timing_.hold_seconds, TimerAction::to_voicemail);
            break;
        case State::answered:
        case State::transferring:
        case State::leaving_message:
            Schedule(call, timing_.linger_seconds, TimerAction::end);
            break;
    }
}

void CallCenter::End(const std::string& key) {
    const auto found = calls_.find(key);
    if (found == calls_.end()) return;
    Call call = std::move(found->second);
    calls_.erase(found);
    call.info.event = 10;
    Publish(call, 10);
    Channel& channel = channels_[static_cast<std::size_t>(call.info.channel - 1)];
    channel.key.clear();
    channel.status = "ONHOOK";
    PublishChannel(call.info.channel - 1);
}

std::optional<std::string> CallCenter::StartCall(const std::string& box, const std::string& number,
                                                 const std::string& name,
                                                 const std::function<void(const std::string&)>& record_name) {
    std::string key;
    std::string name_file;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return std::nullopt;
        const auto free =
            std::find_if(channels_.begin(), channels_.end(), [](const Channel& c) { return c.key.empty(); });
        if (free == channels_.end()) return std::nullopt;
        int& counter = name_numbers_[box];
        counter = counter % 999 + 1;
        char text[16];
        std::snprintf(text, sizeof text, "%03d%05u", counter, 10000u + sequence_ % 90000u);
        sequence_ = (sequence_ + 1) % 90000u;
        key = text;
        name_file = "VS" + std::to_string(counter);
        // The channel is taken now; the call is announced once its name is recorded.
        free->key = key;
        free->status = "RINGING";
        Call call;
        call.info = {key, box, number, name, 0, static_cast<int>(free - channels_.begin()) + 1};
        call.generation = 1;
        calls_[key] = std::move(call);
    }
    if (record_name) record_name(name_file);
    LogAfter log(*this);
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(key);
    if (found == calls_.end()) return std::nullopt;  // ended while its name was recorded
    Move(found->second, State::ringing, 1);
    return key;
}

ActResult CallCenter::Act(const std::string& key, const std::string& actor, const std::string& v,
                          const std::string& x) {
    LogAfter log(*this);
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(key);
    if (found == calls_.end() || found->second.info.event == 0) return ActResult::no_call;
    Call& call = found->second;
    if (!actor.empty() && actor != call.info.mailbox) return ActResult::not_yours;
    const bool waiting = call.state == State::ringing || call.state == State::in_transit;
    if (v == "3") {
        if (call.state == State::held) {
            Move(call, State::in_transit, 4);
        } else if (waiting) {
            Move(call, State::held, 2);
        } else {
            return ActResult::busy_leaving;
        }
        return ActResult::ok;
    }
    if (v != "1" && v != "2" && v != "4") return ActResult::bad_value;
    if (!waiting && call.state != State::held) return ActResult::busy_leaving;
    if (v == "4") {
        Move(call, State::leaving_message, 5);
    } else if (x.empty()) {
        return ActResult::bad_value;
    } else if (v == "1" && x == call.info.mailbox) {
        Move(call, State::answered, 4);
    } else {
        Move(call, State::transferring, 3);
    }
    return ActResult::ok;
}

bool CallCenter::EndCall(const std::string& key) {
    LogAfter log(*this);
    std::lock_guard lock(mutex_);
    if (!calls_.count(key)) return false;
    End(key);
    return true;
}

void CallCenter::EndCallsOf(const std::string& box) {
    LogAfter log(*this);
    std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    for (const auto& [key, call] : calls_) {
        if (call.info.mailbox == box) keys.push_back(key);
    }
    for (const auto& key : keys) End(key);
}

bool CallCenter::RingChannel(int channel) {
    std::lock_guard lock(mutex_);
    if (channel < 1 || channel > static_cast<int>(channels_.size())) return false;
    Channel& c = channels_[static_cast<std::size_t>(channel - 1)];
    if (!c.key.empty()) return false;
    c.status = "RINGING";
    PublishChannel(channel - 1);
    return true;
}

bool CallCenter::HangupChannel(int channel) {
    LogAfter log(*this);
    std::lock_guard lock(mutex_);
    if (channel < 1 || channel > static_cast<int>(channels_.size())) return false;
    Channel& c = channels_[static_cast<std::size_t>(channel - 1)];
    if (!c.key.empty()) {
        End(c.key);
    } else {
        c.status = "ONHOOK";
        PublishChannel(channel - 1);
    }
    return true;
}

std::optional<CallInfo> CallCenter::FindCall(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(key);
    if (found == calls_.end()) return std::nullopt;
    return found->second.info;
}

void CallCenter::Login(const std::string& box) {
    std::lock_guard lock(mutex_);
    ++logins_[box];
}

void CallCenter::Logout(const std::string& box) {
    std::lock_guard lock(mutex_);
    const auto found = logins_.find(box);
    if (found != logins_.end() && --found->second <= 0) logins_.erase(found);
}

std::vector<std::string> CallCenter::LoggedIn() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> boxes;
    for (const auto& [box, count] : logins_) boxes.push_back(box);
    return boxes;
}

void CallCenter::TimerLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (timers_.empty()) {
            timers_changed_.wait(lock);
            continue;
        }
        const auto next = std::min_element(timers_.begin(), timers_.end(),
                                           [](const Timer& a, const Timer& b) { return a.when < b.when; });
        if (next->when > Clock::now()) {
            // A copy: the timer list may grow (and move) while this waits.
            const Clock::time_point when = next->when;
            timers_changed_.wait_until(lock, when);
            continue;
        }
        const Timer timer = *next;
        timers_.erase(next);
        const auto found = calls_.find(timer.key);
        if (found == calls_.end() || found->second.generation != timer.generation) continue;
        if (timer.action == TimerAction::end) {
            End(timer.key);
        } else {
            Move(found->second, State::leaving_message, 5);
        }
        lock.unlock();
        LogAfter{*this};
        lock.lock();
    }
}

}  // namespace q5sim
