// Ending a waiting call of the session object from another thread.
//
// What a cancel guarantees. The call lock orders every Cancel against the
// start and the end of each call, so a Cancel either finds no call (S_FALSE,
// and nothing changes: the stop it would have asked for is never made, so it
// cannot reach the next call) or finds exactly one call, which it then ends:
//
// - Cancel(0) asks the session's socket to stop. The call gives up its
//   current wait (name lookup, TCP connect, read, write) within one poll
//   step, or at its first wait if it has not waited yet, and returns as it
//   does when the connection is lost during it: for most methods
//   E_CONNECTION_LOST with the method's own error record.
// - Cancel(n) asks for the stop n seconds later; the waiting call notices it
//   then (its poll steps are cut short to meet the time). A call that ends
//   before is not touched, and the request ends with it.
// - Once the stop was in force, the connection is closed when the call
//   returns, whatever the call returned: a call that had already received
//   everything it waited for keeps its own result, but the next call finds
//   no connection (E_CONNECTION_LOST) until Connect opens a new one.
// - The start of every call clears what is left of a stop, so a Cancel that
//   came while the previous call was ending never reaches the next one.
#include "component/co_q5client.h"

#include <chrono>

namespace q5::component {

void CoQ5Client::BeginCall() noexcept {
    std::lock_guard<std::mutex> guard(call_lock_);
    if (call_depth_++ > 0) return;
    cancelled_ = false;
    session_.ClearStop();
}

void CoQ5Client::EndCall() noexcept {
    bool stopped = false;
    {
        std::lock_guard<std::mutex> guard(call_lock_);
        if (--call_depth_ > 0) return;
        stopped = session_.stop_requested();
        cancelled_ = false;
        session_.ClearStop();
    }
    if (stopped) session_.Close();
}

HRESULT CoQ5Client::Cancel(ULONG ulSeconds) {
    std::lock_guard<std::mutex> guard(call_lock_);
    if (call_depth_ == 0) return S_FALSE;
    cancelled_ = true;
    if (ulSeconds == 0) {
        session_.RequestStop();
    } else {
        session_.RequestStopAfter(std::chrono::seconds(ulSeconds));
    }
    return S_OK;
}

HRESULT CoQ5Client::TestCancel() {
    std::lock_guard<std::mutex> guard(call_lock_);
    return call_depth_ > 0 && cancelled_ ? S_OK : S_FALSE;
}

}  // namespace q5::component
