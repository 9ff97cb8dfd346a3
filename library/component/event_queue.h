// EventQueue: the Q5 events that the Q5 log's worker has read and the caller
// has not polled yet, oldest first.
//
// It holds at most kLimit events. Events pushed beyond that push the oldest
// out, so a server that sends faster than the caller polls costs a bounded
// amount of memory, and what the caller polls is the newest part of the
// stream. The events live in fixed slots of one region of memory, reserved
// at the first push and made resident only as far as slots are used: a full
// queue holds kLimit * sizeof(Slot) bytes (about 13 MiB). Whenever the queue
// drains to empty it starts again at the first slot and hands every page
// beyond its first kKeepBytes back to the system, so a flood leaves no
// lasting footprint, while a caller that keeps up never touches more than
// those first pages.
//
// Thread rule: every member takes the queue's own lock, so any thread may
// call any member; no other lock is taken while it is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
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
    // The three texts of one event together keep at most this many bytes:
    // an event record is at most 128 characters, its number and separators
    // included, so a parsed record always fits.
    static constexpr std::size_t kMaxText = 128;

    EventQueue() = default;
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;
    ~EventQueue();

    // Appends the batch, oldest first, and empties it; the oldest events
    // beyond kLimit are dropped. Throws std::bad_alloc when no memory can
    // be reserved for the queue.
    void Push(std::vector<Event>& batch);
    // Takes the oldest event, if any.
    std::optional<Event> Pop();
    // Gives back an event that Pop took but the caller could not deliver: it
    // is the oldest again (unless the queue has filled up since, in which
    // case it is the one to be dropped).
    void PutBack(Event event);

private:
    struct Slot {
        std::int32_t id;
        std::uint8_t size1, size2, size3;
        char text[kMaxText];
    };
    // Pages of the first slots, kept when the queue drains.
    static constexpr std::size_t kKeepBytes = std::size_t{1} << 20;
    static constexpr std::size_t kRegionBytes = kLimit * sizeof(Slot);

    // The lock is held by all of these.
    bool Reserve();
    void Store(std::size_t index, std::int32_t id, std::string_view d1, std::string_view d2,
               std::string_view d3) noexcept;
    void ReleaseTouchedPages() noexcept;

    mutable std::mutex lock_;
    Slot* slots_ = nullptr;  // kLimit slots, reserved at the first push
    std::size_t head_ = 0;   // slot of the oldest event
    std::size_t count_ = 0;
    std::size_t touched_ = 0;  // bytes of the region written since pages were last handed back
};

}  // namespace q5::component
