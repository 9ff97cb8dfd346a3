// EventLogHost: the call control window's Q5 event log (a CoEvents object
// without a sink) on a thread of its own. The event object is
// apartment-threaded, so it is created, started, polled, ended and released
// on that thread and no other; a start that waits for the server (connect,
// greeting, login: half a minute against a host that accepts and never
// answers) so never holds the user-interface thread.
//
// The owner asks and goes on; the answer comes back as a call of the
// function it gave, on the owner's thread, with the error record the event
// object left on the log's thread made the owner's (shell::ErrorOf reads it
// as after a direct call). Requests run in the order they were made, one at
// a time. An answer that comes after End, or after the host is gone, is
// dropped.
//
// End (and the destructor) does not wait out a start that hangs: it ends the
// start's wait through the object's IQ5CallCancel (within a poll step of
// the library), ends the log, releases the object on its thread and joins
// the thread.
//
// Thread rule: the thread that made it (the UI thread) only; the event
// object lives on the host's own thread, which no caller touches.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

#include "calls/call_logic.h"
#include "q5client/q5client.h"

namespace q5::calls {

class EventLogHost : public QObject {
public:
    // What one drain took from the queue, oldest first, and a failed poll of
    // the queue that ended it (S_OK when none did).
    struct Drained {
        std::vector<Q5Event> events;
        HRESULT failure = S_OK;
    };
    using StartDone = std::function<void(HRESULT)>;
    using DrainDone = std::function<void(const Drained&)>;

    EventLogHost();
    ~EventLogHost() override;
    EventLogHost(const EventLogHost&) = delete;
    EventLogHost& operator=(const EventLogHost&) = delete;

    // Creates the event object on the log's thread and waits for that (a
    // local step, no network); S_OK or the failing code.
    HRESULT Create();
    bool created() const { return created_; }

    // BeginQ5Log(host, port, timeout, user, password) on the log's thread;
    // `done(hr)` gets its answer.
    void Start(const QString& host, int port, int timeout, const QString& user, const QString& password,
               StartDone done);
    // True from Start until its answer came back.
    bool starting() const { return starts_ > 0; }

    // Takes at most `cap` queued events (DrainQ5Events) on the log's thread;
    // `done` gets them.
    void Drain(int cap, DrainDone done);
    // True from Drain until its answer came back.
    bool draining() const { return drains_ > 0; }

    // Ends the log, a start in progress included, releases the object and
    // ends the thread. Nothing runs or answers after it.
    void End();

private:
    struct Shared;
    // Runs `task` on the log's thread.
    void Post(std::function<void()> task);

    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_; receives the tasks
    std::shared_ptr<Shared> shared_;
    ComPtr<IQ5CallCancel> cancel_;  // any thread may call it
    bool created_ = false;
    bool ended_ = false;
    int starts_ = 0;
    int drains_ = 0;
};

}  // namespace q5::calls
