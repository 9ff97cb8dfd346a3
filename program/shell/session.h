// Session: the desktop program's one server session. It owns a thread of
// its own on which the CoQ5Client object is created, called and released
// (the object is apartment-threaded: that thread and no other), the
// credentials and the state of the logged-in session that the windows share.
//
// Windows hand it work: a function that receives the object's views and
// runs on the session thread. Call waits for the answer without freezing the
// program (the event loop keeps running: painting, timers and the other
// windows go on) and holds the input of the waiting window; Post returns at
// once and hands the result to a function on the UI thread. Work runs in
// the order it was handed in, one at a time, so the commands reach the
// server in the order the program issued them.
//
// The error record a failed call leaves on the session thread is handed
// back to the UI thread with the result, so shell::ErrorOf after a Call
// reads it as it would after a direct call.
//
// Thread rule: UI thread only, except Cancel (any thread) and the views,
// which only work functions (on the session thread) may touch.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "q5client/q5client.h"

namespace q5 {

// The session object's views, valid on the session thread only; all null
// until Create succeeded.
struct SessionViews {
    IQ5Connect* connect = nullptr;  // Connect, Login, Quit, Close
    IQ5Admin* admin = nullptr;
    IQ5Util* util = nullptr;    // KeepAlive, files, conversions
    IQ5Table* table = nullptr;  // table and record access
};

class Session : public QObject {
    Q_OBJECT

public:
    explicit Session(QObject* parent = nullptr);
    // Releases the session object on its thread and ends the thread.
    ~Session() override;

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Creates CoQ5Client on the session thread through the component runtime
    // and takes its views in the order IQ5Connect, IQ5Admin, IQ5Util,
    // IQ5Table (and IQ5CallCancel where the library has it). On failure
    // nothing is kept and the failing code is returned.
    HRESULT Create();
    bool created() const { return created_; }
    // Drops the object (on its thread) and resets the session values.
    void Release();

    // Runs `work(views)` on the session thread and returns its result. While
    // it waits, the event loop runs; `waiter` (a window, or null) is told
    // through waitStarted/waitEnded so its input can be held and the wait
    // shown. Waits nest: a window may call while another one waits; the
    // inner call returns first.
    template <class Work>
    auto Call(QObject* waiter, Work&& work) -> std::invoke_result_t<Work&, const SessionViews&>;

    // Runs `work(views)` on the session thread, later; `done(result)` runs on
    // the UI thread unless `context` is gone by then. Work that returns void
    // calls `done()`.
    template <class Work, class Done>
    void Post(QObject* context, Work work, Done done);

    // Ends the current call's wait within one poll step (IQ5CallCancel); the
    // call fails as a lost connection. Any thread; nothing happens without
    // a call in progress.
    void Cancel();

    // Runs `work` on the UI thread once no Call waits: at once when none
    // does, else from the event loop after the waits ended. Work of events
    // that came during a wait (a timer, a window turning active) so reaches
    // the server after the waiting operation, as after a blocking one.
    // Nothing runs once `context` is gone.
    void RunWhenIdle(QObject* context, std::function<void()> work);

    // True while a Call of `waiter` waits for its answer.
    bool IsWaiting(const QObject* waiter) const;
    // True while any Call waits.
    bool waiting() const { return !waiters_.empty(); }

    // The views, on the session thread only (a fatal error elsewhere: a call
    // from the UI thread would freeze the program).
    const SessionViews& views() const;

    // The logged-in session's values.
    const QString& userName() const { return user_name_; }  // trimmed; the mailbox of every call
    void setUserName(const QString& name) { user_name_ = name; }
    const QString& password() const { return password_; }  // trimmed
    void setPassword(const QString& password) { password_ = password; }
    const QString& host() const { return host_; }  // trimmed host text
    void setHost(const QString& host) { host_ = host; }
    bool loggedIn() const { return logged_in_; }
    void setLoggedIn(bool logged_in);
    bool nameScreening() const { return name_screening_; }  // screens calls with a recorded name
    void setNameScreening(bool on) { name_screening_ = on; }
    bool fieldsChanged() const { return fields_changed_; }  // an editing window holds unsaved edits
    void setFieldsChanged(bool changed) { fields_changed_ = changed; }
    // Calls in the call control window's list that have not ended.
    int callsWaiting() const { return calls_waiting_; }
    void setCallsWaiting(int count);

signals:
    void waitStarted(QObject* waiter);
    void waitEnded(QObject* waiter);
    void loggedInChanged(bool logged_in);
    void callsWaitingChanged(int count);

private:
    // What the session thread reports of one task: that it ran, and the
    // error record it left.
    struct TaskState;
    // Hands `task` to the session thread; `finish` runs on the UI thread in
    // `context` (unless it is gone) after the task's error record was made
    // the UI thread's.
    void Enqueue(QObject* context, const std::shared_ptr<TaskState>& state, std::function<void()> task,
                 std::function<void()> finish);
    // Runs the event loop until `state`'s task ran and its finish came back.
    void WaitFor(QObject* waiter, const std::shared_ptr<TaskState>& state);
    static std::shared_ptr<TaskState> NewTaskState();
    void BeginWait(QObject* waiter);
    void EndWait(QObject* waiter);

    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_; receives the tasks
    SessionViews views_;         // touched on thread_ only
    ComPtr<IUnknown> object_;    // released on thread_
    ComPtr<IQ5CallCancel> cancel_;
    bool created_ = false;
    std::vector<QObject*> waiters_;

    QString user_name_;
    QString password_;
    QString host_;
    bool logged_in_ = false;
    bool name_screening_ = false;
    bool fields_changed_ = false;
    int calls_waiting_ = 0;
};

template <class Work>
auto Session::Call(QObject* waiter, Work&& work) -> std::invoke_result_t<Work&, const SessionViews&> {
    using Result = std::invoke_result_t<Work&, const SessionViews&>;
    const std::shared_ptr<TaskState> state = NewTaskState();
    if constexpr (std::is_void_v<Result>) {
        Enqueue(nullptr, state, [this, &work] { work(views()); }, {});
        WaitFor(waiter, state);
    } else {
        // Written on the session thread before the task counts as run, read
        // here after: the task state's lock orders the two.
        std::optional<Result> result;
        Enqueue(nullptr, state, [this, &work, &result] { result.emplace(work(views())); }, {});
        WaitFor(waiter, state);
        return std::move(*result);
    }
}

template <class Work, class Done>
void Session::Post(QObject* context, Work work, Done done) {
    using Result = std::invoke_result_t<Work&, const SessionViews&>;
    if constexpr (std::is_void_v<Result>) {
        Enqueue(
            context, nullptr, [this, work = std::move(work)]() mutable { work(views()); },
            [done = std::move(done)]() mutable { done(); });
    } else {
        auto result = std::make_shared<std::optional<Result>>();
        Enqueue(
            context, nullptr,
            [this, work = std::move(work), result]() mutable { result->emplace(work(views())); },
            [done = std::move(done), result]() mutable { done(std::move(**result)); });
    }
}

}  // namespace q5
