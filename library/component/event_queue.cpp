#include "component/event_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace q5::component {

void EventQueue::Trim() {
    if (events_.size() <= kLimit) return;
    const auto excess = static_cast<std::ptrdiff_t>(events_.size() - kLimit);
    events_.erase(events_.begin(), events_.begin() + excess);
}

void EventQueue::Push(std::vector<Event>& batch) {
    if (batch.empty()) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        // Events of a batch larger than the queue would only push out each
        // other: they are never queued.
        auto first = batch.begin();
        if (batch.size() > kLimit) first += static_cast<std::ptrdiff_t>(batch.size() - kLimit);
        events_.insert(events_.end(), std::make_move_iterator(first), std::make_move_iterator(batch.end()));
        Trim();
        high_water_ = std::max(high_water_, events_.size());
    }
    batch.clear();
}

std::optional<EventQueue::Event> EventQueue::Pop() {
    std::deque<Event> spent;
    std::optional<Event> event;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (events_.empty()) return std::nullopt;
        event = std::move(events_.front());
        events_.pop_front();
        if (events_.empty() && high_water_ > kReleaseAbove) {
            // A deque keeps the index of every block it ever used; a fresh
            // one starts small. The old one is freed outside the lock.
            spent.swap(events_);
            high_water_ = 0;
        }
    }
    return event;
}

void EventQueue::PutBack(Event event) {
    std::lock_guard<std::mutex> guard(lock_);
    events_.push_front(std::move(event));
    Trim();
    high_water_ = std::max(high_water_, events_.size());
}

}  // namespace q5::component
