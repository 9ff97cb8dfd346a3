// EventQueue: the Q5 events that the Q5 log's worker has read and the caller
// has not polled yet, oldest first.
//
// It holds at most kLimit events. Events pushed beyond that push the oldest
// out, so a server that sends faster than the caller polls costs a bounded
// amount of memory, and what the caller polls is the newest part of the
// stream. Once the queue has drained to empty after holding many events it
// lets go of its storage, so a flood leaves no lasting footprint.
//
// Thread rule: every member takes the queue's own lock, so any thread may
// call any member; no other lock is taken while it is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "q5client/q5client.h"

namespace q5::component {

class EventQueue {
public:
    // One Q5 event as it came off the wire (8-bit text).
    struct Event {
        std::int32_t id = 0;
        std::string data1, data2, data3;
    };

    static constexpr std::size_t kLimit = kQ5EventQueueLimit;

    // Appends the batch, oldest first, and empties it; the oldest events
    // beyond kLimit are dropped.
    void Push(std::vector<Event>& batch);
    // Takes the oldest event, if any.
    std::optional<Event> Pop();
    // Gives back an event that Pop took but the caller could not deliver: it
    // is the oldest again (and the first to go if the queue is full by now).
    void PutBack(Event event);

private:
    // Storage is let go when the queue drains after holding more than this.
    static constexpr std::size_t kReleaseAbove = 4096;

    // Drops the oldest events beyond kLimit; the lock is held.
    void Trim();

    mutable std::mutex lock_;
    std::deque<Event> events_;
    std::size_t high_water_ = 0;  // most events held since storage was last let go
};

}  // namespace q5::component
