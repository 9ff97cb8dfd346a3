// CoEvents: the event object, which runs the status log and the Q5 event
// log in the background, each on a connection of its own with a worker
// thread of its own.
//
// A Begin method connects, logs in and sends the event command on the log's
// ServerSession, then hands the session to a new worker, which reads the
// event stream through it (without a read time limit, in one-second polls
// that watch the stop request) until the log is ended or the connection
// fails. Begin on a log whose worker still runs does nothing and answers
// S_FALSE. The status worker reports to its sink; the Q5 worker reports to its
// sink, or, without one, fills the EventQueue that GetQ5Event drains; the
// queue keeps at most kQ5EventQueueLimit events and drops the oldest beyond.
//
// Thread rule: apartment-threaded like CoQ5Client: Begin, End and GetQ5Event
// come from the creating thread, one at a time. Sinks are called from the
// workers' threads. Each log's lock guards its running flag and worker state;
// the queue has a lock of its own. No lock is held during I/O, a sink call or
// a pause, and no two locks are held together. While a worker runs, only it
// touches its log's session (the stop request excepted); the caller's thread
// touches the session again only after joining the worker. Destroying the
// object ends both logs first.
//
// IQ5CallCancel (any thread) ends the wait of a Begin in progress, on
// either log's session, as it ends a call of CoQ5Client: the Begin gives up
// within one poll step and fails as a lost connection (E_CONNECTION_LOST
// with its usual message), its connection closed and no worker started.
// Without a Begin in progress a cancel does nothing (S_FALSE); a running
// log's worker is never touched by it. The cancel lock orders each Cancel
// against the start and the end of each Begin; it is never held with a
// log's lock or the queue's.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "channel/server_session.h"
#include "component/com_object.h"
#include "component/event_queue.h"
#include "q5client/q5client.h"

namespace q5::component {

class CoEvents final : public ComObject<CoEvents, ICoEvents, ISupportErrorInfo, IQ5CallCancel> {
public:
    CoEvents() = default;
    ~CoEvents();
    void* FindInterface(REFIID iid) noexcept;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    HRESULT STDMETHODCALLTYPE BeginStatusLog(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                             ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE BeginQ5Log(BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                                         ISupportEvents* p) override;
    HRESULT STDMETHODCALLTYPE EndStatusLog() override;
    HRESULT STDMETHODCALLTYPE EndQ5Log() override;
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) override;

    // IQ5CallCancel (any thread)
    HRESULT STDMETHODCALLTYPE Cancel(ULONG ulSeconds) override;
    HRESULT STDMETHODCALLTYPE TestCancel() override;

private:
    enum class Kind { status, q5 };

    struct Log {
        channel::ServerSession session;
        std::mutex lock;               // guards running and finished
        std::condition_variable wake;  // ends a worker's pause early
        bool running = false;          // the log should go on
        bool finished = true;          // the worker has done its last step
        std::thread worker;            // the caller's thread starts and joins it
    };

    // Marks `log`'s Begin as the one in progress, clearing what is left of
    // an earlier stop; EndBegin ends that and answers whether a cancel was
    // in force.
    class BeginScope;
    void StartBegin(Log& log) noexcept;
    bool EndBegin() noexcept;
    HRESULT Begin(Log& log, Kind kind, BSTR host, LONG port, LONG timeout, BSTR user, BSTR pass,
                  ISupportEvents* sink);
    void End(Log& log) noexcept;

    void StatusWorker(ISupportEvents* sink);
    void Q5Worker(ISupportEvents* sink);
    // Last step of every worker: closes the connection and marks it finished.
    static void Finish(Log& log) noexcept;
    static bool Running(Log& log);
    // Waits `pause` unless the log is ended first; false once it is ended.
    static bool Pause(Log& log, std::chrono::milliseconds pause);

    Log status_;
    Log q5_;
    std::mutex cancel_lock_;    // guards beginning_ and cancelled_
    Log* beginning_ = nullptr;  // the log whose Begin is in progress
    bool cancelled_ = false;    // Cancel answered S_OK during that Begin
    EventQueue queue_;
};

}  // namespace q5::component
