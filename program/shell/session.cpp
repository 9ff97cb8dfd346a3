#include "shell/session.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "shell/log_categories.h"
#include "shell/shell_logic.h"

namespace q5 {

struct Session::TaskState {
    std::mutex mutex;
    std::condition_variable ran_changed;
    bool ran = false;           // the task returned on the session thread
    ComPtr<IErrorInfo> error;   // the record it left there
    QPointer<QEventLoop> loop;  // UI thread: the loop waiting for it
};

std::shared_ptr<Session::TaskState> Session::NewTaskState() {
    return std::make_shared<TaskState>();
}

Session::Session(QObject* parent) : QObject(parent) {
    thread_.setObjectName(QStringLiteral("q5 session"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

Session::~Session() {
    Release();
    thread_.quit();
    thread_.wait();
}

const SessionViews& Session::views() const {
    if (QThread::currentThread() != &thread_) {
        qFatal("q5client: the session object was used outside its session thread");
    }
    return views_;
}

void Session::setLoggedIn(bool logged_in) {
    if (logged_in_ == logged_in) return;
    logged_in_ = logged_in;
    emit loggedInChanged(logged_in);
}

void Session::setCallsWaiting(int count) {
    if (calls_waiting_ == count) return;
    calls_waiting_ = count;
    emit callsWaitingChanged(count);
}

HRESULT Session::Create() {
    if (created_) return S_OK;
    ComPtr<IQ5CallCancel> cancel;
    const HRESULT hr = Call(nullptr, [this, &cancel](const SessionViews&) {
        ComPtr<IUnknown> object;
        HRESULT result =
            CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.AsOut());
        if (FAILED(result)) return result;
        ComPtr<IQ5Connect> connect;
        ComPtr<IQ5Admin> admin;
        ComPtr<IQ5Util> util;
        ComPtr<IQ5Table> table;
        if (FAILED(result = object.As(IID_IQ5Connect, connect)) ||
            FAILED(result = object.As(IID_IQ5Admin, admin)) ||
            FAILED(result = object.As(IID_IQ5Util, util)) ||
            FAILED(result = object.As(IID_IQ5Table, table))) {
            return result;
        }
        // A library without it still works; its waits just cannot be ended.
        (void)object.As(IID_IQ5CallCancel, cancel);
        views_.connect = connect.Detach();
        views_.admin = admin.Detach();
        views_.util = util.Detach();
        views_.table = table.Detach();
        object_ = std::move(object);
        return S_OK;
    });
    if (SUCCEEDED(hr)) {
        cancel_ = std::move(cancel);
        created_ = true;
    }
    return hr;
}

void Session::Release() {
    if (created_) {
        // A call of a stalled server must not hold the program's end.
        Cancel();
        Call(nullptr, [this](const SessionViews&) {
            const auto drop = [](auto*& view) {
                if (view) view->Release();
                view = nullptr;
            };
            drop(views_.table);
            drop(views_.util);
            drop(views_.admin);
            drop(views_.connect);
            object_.Reset();
        });
    }
    // The cancel view may be released on any thread.
    cancel_.Reset();
    created_ = false;
    user_name_.clear();
    password_.clear();
    host_.clear();
    setLoggedIn(false);
    name_screening_ = false;
    fields_changed_ = false;
}

void Session::Cancel() {
    if (IQ5CallCancel* cancel = cancel_.Get()) {
        qCDebug(shell::lcSession) << "cancelling the call in progress, if any";
        cancel->Cancel(0);
    }
}

void Session::RunWhenIdle(QObject* context, std::function<void()> work) {
    if (!waiting()) {
        work();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        connect(this, &Session::waitEnded, context,
                [this, context, connection, work = std::move(work)](QObject*) mutable {
                    disconnect(*connection);
                    // The waiting code goes on first; a call it makes next is
                    // waited for again before the work runs.
                    QTimer::singleShot(0, context, [this, context, work = std::move(work)]() mutable {
                        RunWhenIdle(context, std::move(work));
                    });
                });
}

bool Session::IsWaiting(const QObject* waiter) const {
    return waiter && std::find(waiters_.begin(), waiters_.end(), waiter) != waiters_.end();
}

void Session::Enqueue(QObject* context, const std::shared_ptr<TaskState>& state, std::function<void()> task,
                      std::function<void()> finish) {
    // A failure read before this call is not what a later box reports.
    shell::ForgetLastFailure();
    std::shared_ptr<TaskState> shared = state ? state : NewTaskState();
    QPointer<QObject> target(context);
    const bool has_context = context != nullptr;
    QMetaObject::invokeMethod(
        worker_,
        [this, shared, task = std::move(task), finish = std::move(finish), target, has_context]() mutable {
            task();
            IErrorInfo* error = nullptr;
            if (GetErrorInfo(0, &error) != S_OK) error = nullptr;
            {
                const std::lock_guard<std::mutex> lock(shared->mutex);
                shared->error.Attach(error);
                shared->ran = true;
            }
            shared->ran_changed.notify_all();
            // Back on the UI thread: wake the waiting Call, or hand a posted
            // task's result over.
            QMetaObject::invokeMethod(
                this,
                [shared, finish = std::move(finish), target, has_context]() mutable {
                    if (QEventLoop* loop = shared->loop.data()) loop->quit();
                    if (!finish) return;
                    if (has_context && !target) return;
                    SetErrorInfo(0, shared->error.Get());
                    finish();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void Session::WaitFor(QObject* waiter, const std::shared_ptr<TaskState>& state) {
    const auto ran = [&state] {
        const std::lock_guard<std::mutex> lock(state->mutex);
        return state->ran;
    };
    if (!ran()) {
        BeginWait(waiter);
        QEventLoop loop;
        state->loop = &loop;
        while (!ran()) {
            loop.exec();
            if (ran()) break;
            // The loop was ended from outside: the program is quitting, and
            // no event loop runs any more. End the call and wait for the
            // session thread without one (at most a poll step).
            Cancel();
            std::unique_lock<std::mutex> lock(state->mutex);
            state->ran_changed.wait(lock, [&state] { return state->ran; });
        }
        state->loop = nullptr;
        EndWait(waiter);
    }
    const std::lock_guard<std::mutex> lock(state->mutex);
    SetErrorInfo(0, state->error.Get());
}

void Session::BeginWait(QObject* waiter) {
    waiters_.push_back(waiter);
    emit waitStarted(waiter);
}

void Session::EndWait(QObject* waiter) {
    // Nested waits end innermost first.
    if (auto it = std::find(waiters_.rbegin(), waiters_.rend(), waiter); it != waiters_.rend()) {
        waiters_.erase(std::next(it).base());
    }
    emit waitEnded(waiter);
}

}  // namespace q5
