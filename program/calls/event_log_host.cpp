#include "calls/event_log_host.h"

#include <QDeadlineTimer>

#include <atomic>
#include <future>
#include <utility>

#include "shell/bstr_text.h"

namespace q5::calls {
namespace {

// The error record the last call left on this thread, taken from it.
ComPtr<IErrorInfo> TakeErrorRecord() {
    ComPtr<IErrorInfo> record;
    IErrorInfo* error = nullptr;
    if (GetErrorInfo(0, &error) == S_OK) record.Attach(error);
    return record;
}

// How often End asks again to end a start while it waits for the thread.
constexpr int kCancelRepeatMs = 50;

}  // namespace

struct EventLogHost::Shared {
    ComPtr<ICoEvents> events;         // the log's thread only
    std::atomic<bool> ending{false};  // set by End: no further start begins
};

EventLogHost::EventLogHost() : shared_(std::make_shared<Shared>()) {
    thread_.setObjectName(QStringLiteral("q5 event log"));  // notr: a thread name for debuggers
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

EventLogHost::~EventLogHost() {
    End();
}

void EventLogHost::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(worker_, std::move(task), Qt::QueuedConnection);
}

HRESULT EventLogHost::Create() {
    if (created_) return S_OK;
    if (ended_) return E_UNEXPECTED;
    std::promise<std::pair<HRESULT, ComPtr<IQ5CallCancel>>> made;
    std::future<std::pair<HRESULT, ComPtr<IQ5CallCancel>>> answer = made.get_future();
    Post([shared = shared_, &made] {
        ComPtr<ICoEvents> events;
        const HRESULT hr =
            CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, events.AsOut());
        ComPtr<IQ5CallCancel> cancel;
        // A library without it still works; its starts just cannot be ended.
        if (SUCCEEDED(hr)) (void)events.As(IID_IQ5CallCancel, cancel);
        shared->events = std::move(events);
        made.set_value({hr, std::move(cancel)});
    });
    auto [hr, cancel] = answer.get();
    if (SUCCEEDED(hr)) {
        cancel_ = std::move(cancel);
        created_ = true;
    }
    return hr;
}

void EventLogHost::Start(const QString& host, int port, int timeout, const QString& user,
                         const QString& password, StartDone done) {
    if (ended_) return;
    ++starts_;
    Post([this, shared = shared_, host, port, timeout, user, password, done = std::move(done)]() mutable {
        if (shared->ending) return;
        HRESULT hr = E_UNEXPECTED;
        ComPtr<IErrorInfo> error;
        if (ICoEvents* events = shared->events.Get()) {
            BStr h = ToBStr(host), u = ToBStr(user), p = ToBStr(password);
            hr = events->BeginQ5Log(h.Get(), port, timeout, u.Get(), p.Get(), nullptr);
            error = TakeErrorRecord();
        }
        // Back on the owner's thread; dropped once the host is gone (its
        // destructor joins this thread before the object itself goes).
        QMetaObject::invokeMethod(
            this,
            [this, hr, error = std::move(error), done = std::move(done)] {
                if (ended_) return;
                --starts_;
                SetErrorInfo(0, error.Get());
                done(hr);
            },
            Qt::QueuedConnection);
    });
}

void EventLogHost::Drain(int cap, DrainDone done) {
    if (ended_) return;
    ++drains_;
    Post([this, shared = shared_, cap, done = std::move(done)]() mutable {
        if (shared->ending) return;
        Drained drained;
        ComPtr<IErrorInfo> error;
        if (ICoEvents* events = shared->events.Get()) {
            drained.failure = DrainQ5Events(
                                  *events,
                                  [&drained](const Q5Event& event) {
                                      drained.events.push_back(event);
                                      return true;
                                  },
                                  cap)
                                  .failure;
            if (FAILED(drained.failure)) error = TakeErrorRecord();
        }
        QMetaObject::invokeMethod(
            this,
            [this, drained = std::move(drained), error = std::move(error), done = std::move(done)] {
                if (ended_) return;
                --drains_;
                SetErrorInfo(0, error.Get());
                done(drained);
            },
            Qt::QueuedConnection);
    });
}

void EventLogHost::End() {
    if (ended_) return;
    ended_ = true;
    shared_->ending = true;
    // The last task: the ones before it run first (a start or a drain not
    // yet begun does nothing now), then the thread's loop ends.
    Post([shared = shared_] {
        if (shared->events) shared->events->EndQ5Log();
        shared->events.Reset();
        QThread::currentThread()->quit();
    });
    // A start already under way may wait for a silent server: its wait is
    // ended. One that was about to begin when `ending` was set may enter the
    // library just after a cancel found nothing to end, so the cancel is
    // repeated until the thread is done.
    do {
        if (cancel_) cancel_->Cancel(0);
    } while (!thread_.wait(QDeadlineTimer(kCancelRepeatMs)));
    // The object was released on its thread; this view may go on any.
    cancel_.Reset();
    created_ = false;
}

}  // namespace q5::calls
