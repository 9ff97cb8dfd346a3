#include "component/event_queue.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "channel/server_session.h"

namespace q5::component {

static_assert(EventQueue::kMaxText >= channel::ServerSession::kMaxEventRecord,
              "a parsed event record must fit one slot");

EventQueue::~EventQueue() {
    if (slots_) ::munmap(slots_, kRegionBytes);
}

bool EventQueue::Reserve() {
    if (slots_) return true;
    // Address space only: a page becomes resident when a slot on it is
    // first written.
    void* region = ::mmap(nullptr, kRegionBytes, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (region == MAP_FAILED) return false;
    slots_ = static_cast<Slot*>(region);
    return true;
}

void EventQueue::Store(std::size_t index, std::int32_t id, std::string_view d1, std::string_view d2,
                       std::string_view d3) noexcept {
    // Parsed records always fit; anything longer is cut, last text first.
    std::size_t room = kMaxText;
    d1 = d1.substr(0, std::min<std::size_t>({d1.size(), room, 255}));
    room -= d1.size();
    d2 = d2.substr(0, std::min<std::size_t>({d2.size(), room, 255}));
    room -= d2.size();
    d3 = d3.substr(0, std::min<std::size_t>({d3.size(), room, 255}));

    Slot& slot = slots_[index];
    slot.id = id;
    slot.size1 = static_cast<std::uint8_t>(d1.size());
    slot.size2 = static_cast<std::uint8_t>(d2.size());
    slot.size3 = static_cast<std::uint8_t>(d3.size());
    char* out = slot.text;
    out = std::copy(d1.begin(), d1.end(), out);
    out = std::copy(d2.begin(), d2.end(), out);
    std::copy(d3.begin(), d3.end(), out);
    touched_ = std::max(touched_, (index + 1) * sizeof(Slot));
}

void EventQueue::ReleaseTouchedPages() noexcept {
    if (touched_ <= kKeepBytes) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t keep = (kKeepBytes + page - 1) / page * page;
    const std::size_t end = std::min((touched_ + page - 1) / page * page, kRegionBytes);
    // The pages read as zeros from now on and are no longer resident. Done
    // under the lock: the worker must not write a slot in between.
    if (end > keep) ::madvise(reinterpret_cast<char*>(slots_) + keep, end - keep, MADV_DONTNEED);
    touched_ = keep;
}

void EventQueue::Push(std::vector<Event>& batch) {
    if (batch.empty()) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!Reserve()) throw std::bad_alloc();
        for (const Event& event : batch) {
            if (count_ == kLimit) {
                // Full: the oldest event makes room.
                head_ = (head_ + 1) % kLimit;
                --count_;
            }
            Store((head_ + count_) % kLimit, event.id, event.data1, event.data2, event.data3);
            ++count_;
        }
    }
    batch.clear();
}

std::optional<EventQueue::Event> EventQueue::Pop() {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ == 0) return std::nullopt;
    const Slot& slot = slots_[head_];
    const char* text = slot.text;
    Event event;
    event.id = slot.id;
    event.data1.assign(text, slot.size1);
    event.data2.assign(text + slot.size1, slot.size2);
    event.data3.assign(text + slot.size1 + slot.size2, slot.size3);
    head_ = (head_ + 1) % kLimit;
    if (--count_ == 0) {
        // Drained: start again at the first slot, whose pages stay.
        head_ = 0;
        ReleaseTouchedPages();
    }
    return event;
}

void EventQueue::PutBack(Event event) {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ == kLimit || !Reserve()) return;
    head_ = (head_ + kLimit - 1) % kLimit;
    Store(head_, event.id, event.data1, event.data2, event.data3);
    ++count_;
}

}  // namespace q5::component
