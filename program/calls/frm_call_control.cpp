#include "calls/frm_call_control.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <mutex>
#include <vector>

#include "shell/bstr_text.h"
#include "calls/frm_contact.h"
#include "calls/name_player.h"
#include "calls/pim.h"
#include "shell/local_paths.h"
#include "shell/log_categories.h"
#include "shell/message_service.h"
#include "shell/session.h"
#include "shell/settings.h"
#include "shell/shell_logic.h"
#include "ui_frm_call_control.h"

namespace q5 {
namespace {

constexpr int kColumnTwips[frmCallControl::kColumns] = {3528, 3528, 1764, 1764, 1764, 2540};

QString SelectCallText() {
    return QCoreApplication::translate("q5::frmCallControl", "please select a call in progress");
}

void Inform(const QString& text, QWidget* parent) {
    shell::MessageRequest request;
    request.text = text;
    shell::MessageService::Show(request, parent);
}

}  // namespace

namespace calls {

// One recorded name's fetch, shared by the UI thread (its time limit) and
// the session thread (the steps and the progress sink).
struct NameFetch {
    enum class Stage { queued, running, finished };
    std::mutex mutex;
    Stage stage = Stage::queued;
    bool given_up = false;
};

// What the posted work found.
struct NameFetchOutcome {
    struct Failure {
        HRESULT hr = S_OK;
        QString description;
    };
    bool screening_read = false;
    bool screening = false;
    std::vector<Failure> failures;  // in the order of the steps
    bool fetched = false;           // the file arrived and was kept
    bool given_up = false;
    HRESULT relogin = S_OK;  // the quiet login after a give-up that lost the connection
};

namespace {

NameFetchOutcome::Failure FailureOf(HRESULT hr) {
    return {hr, shell::ErrorOf(hr).description};
}

// Gives a fetch up when the transfer announces a file beyond the limit.
// Called on the session thread from inside GetFile2.
class NameFetchSink final : public ISupportEvents {
public:
    NameFetchSink(Session& session, std::shared_ptr<NameFetch> fetch)
        : session_(session), fetch_(std::move(fetch)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISupportEvents)) {
            *ppv = static_cast<ISupportEvents*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG, BSTR, BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetProgress(LONG, LONG total) override {
        if (total <= kMaxNameRecordingBytes) return S_OK;
        {
            const std::lock_guard<std::mutex> lock(fetch_->mutex);
            if (fetch_->given_up) return S_OK;
            fetch_->given_up = true;
        }
        session_.Cancel();
        return S_OK;
    }

private:
    Session& session_;
    std::shared_ptr<NameFetch> fetch_;
    std::atomic<ULONG> refs_{0};
};

bool GivenUp(NameFetch& fetch) {
    const std::lock_guard<std::mutex> lock(fetch.mutex);
    return fetch.given_up;
}

}  // namespace
}  // namespace calls

frmCallControl::frmCallControl(Session& session, WindowManager& windows, calls::ContactWindows& contacts,
                               calls::NamePlayerFactory player, std::chrono::milliseconds fetch_limit,
                               const calls::NotificationBusFactory& notifications)
    : session_(session),
      windows_(windows),
      contacts_(contacts),
      fetch_limit_(fetch_limit),
      ui_(new Ui::frmCallControl) {
    ui_->setupUi(this);
    for (int i = 0; i < static_cast<int>(Command1.size()); ++i) {
        Command1[static_cast<std::size_t>(i)] = findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(i));
        connect(Command1[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Command1_Click(i); });
    }
    Option1 = {ui_->Option1_0, ui_->Option1_1};
    connect(&Timer1, &QTimer::timeout, this, &frmCallControl::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmCallControl::Timer2_Timer);
    connect(ui_->ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1_DblClick(); });
    // Enter on the list plays the selected call's name, as a double-click does.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* play = new QShortcut(key, ui_->ListView1);
        play->setContext(Qt::WidgetShortcut);
        connect(play, &QShortcut::activated, this, [this] { ListView1_DblClick(); });
    }
    connect(&windows_, &WindowManager::sessionLost, this, [this] { SessionLost(); });
    player_ = calls::MakeNamePlayer(player);
    player_->OnFailure([this](const QString& reason) { ShowPlayError(reason); });
    notifier_ = std::make_unique<calls::CallNotifier>(
        notifications ? notifications() : calls::MakeDBusNotificationBus(),
        [] { return shell::Settings().Text(shell::Setting::Notifications) == QLatin1String("1"); });
    connect(notifier_.get(), &calls::CallNotifier::actionInvoked, this, &frmCallControl::NotificationAction);
    Form_Load();
}

frmCallControl::~frmCallControl() {
    Form_Unload();
    delete ui_;
}

void frmCallControl::Form_Load() {
    const QScreen* display = screen();
    const double dpi = display ? display->logicalDotsPerInchX() : 96.0;
    for (int column = 0; column < kColumns; ++column) {
        ui_->ListView1->setColumnWidth(column, shell::TwipsToPixels(kColumnTwips[column], dpi));
    }
    Timer1.setInterval(1000);
    Timer2.setInterval(1000);
    Option1[0]->setChecked(true);
    ui_->Text1->setText(session_.userName());
    // Recorded names left by an earlier run (one that did not end cleanly)
    // belong to calls nobody can see any more.
    calls::RemoveNameRecordings(shell::LocalPath(shell::LocalFolder::temp));
    // The log's object lives on a thread of its own; its creation is local
    // and waited for.
    log_ = std::make_unique<calls::EventLogHost>();
    if (FAILED(log_->Create())) qCWarning(shell::lcCalls) << "the event log could not be created";
    StartLog();
    Timer1.start();
    Timer2.start();
}

void frmCallControl::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1.stop();
    Timer2.stop();
    session_.setCallsWaiting(0);
    // Ends the log and its thread; a start that waits for a silent server
    // is ended, not waited out.
    log_.reset();
    log_running_ = false;
    // The calls' notifications go with the list.
    notifier_.reset();
    // Names still on their way are no longer wanted.
    for (const std::weak_ptr<calls::NameFetch>& weak : fetches_) {
        const std::shared_ptr<calls::NameFetch> fetch = weak.lock();
        if (!fetch) continue;
        const std::lock_guard<std::mutex> lock(fetch->mutex);
        if (fetch->stage == calls::NameFetch::Stage::finished) continue;
        fetch->given_up = true;
        if (fetch->stage == calls::NameFetch::Stage::running) session_.Cancel();
    }
    fetches_.clear();
    // The recorded names go with the rows that offered them.
    player_.reset();
    for (const QString& file : fetched_names_) QFile::remove(file);
    fetched_names_.clear();
}

// ---- the event log ---------------------------------------------------------------

void frmCallControl::StartLog() {
    if (!log_ || !log_->created()) {
        SetLogStatus(tr("Call events are not available: the event log could not be created"));
        return;
    }
    const bool was_running = log_running_;
    const shell::HostAndPort target = shell::ParseHostBox(session_.host());
    log_->Start(target.host, target.port, 5, session_.userName(), session_.password(),
                [this, was_running](HRESULT hr) { LogStarted(hr, was_running); });
}

void frmCallControl::LogStarted(HRESULT hr, bool was_running) {
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    shell::ForgetLastFailure();  // the status line reports it, no box
    // S_FALSE: the log's worker still runs, so the log is alive. Any other
    // answer means the previous worker had ended (its connection was gone)
    // and a new connection was tried.
    if (hr == S_FALSE) return;
    if (SUCCEEDED(hr)) {
        const bool restored = was_running || lost_;
        qCInfo(shell::lcCalls) << (restored ? "the event log was restarted" : "the event log started");
        log_running_ = true;
        lost_ = false;
        back_off_.Reset();
        restart_wait_ = 0;
        SetLogStatus(restored ? tr("The connection for call events ended and was restored at %1")
                                    .arg(calls::TimeOfDayText(QTime::currentTime()))
                              : tr("Receiving calls from Q5Server"));
        return;
    }
    lost_ = lost_ || was_running;
    log_running_ = false;
    restart_wait_ = back_off_.NextDelaySeconds();
    qCWarning(shell::lcCalls).noquote() << "the event log could not be started:" << shell::CodeText(hr)
                                        << error.description << "| next try in" << restart_wait_ << "s";
    SetLogStatus((lost_ ? tr("The connection for call events has ended (%1); retrying in %2 s")
                        : tr("The call events could not be started (%1); retrying in %2 s"))
                     .arg(error.description)
                     .arg(restart_wait_));
}

void frmCallControl::SuperviseLog() {
    // While the main session is lost nothing is tried; once the user has
    // logged in again the server is back, so the log restarts at once
    // instead of waiting out its pause.
    if (!session_.loggedIn()) {
        logged_out_seen_ = true;
    } else if (logged_out_seen_) {
        logged_out_seen_ = false;
        back_off_.Reset();
        restart_wait_ = 0;
    }
    // A start under way is answered first: never two at once.
    if (log_ && log_->starting()) return;
    // A log that runs refuses a second start at once, without touching the
    // network; a log whose connection ended starts again on that call.
    if (log_running_) {
        if (session_.loggedIn()) StartLog();
        return;
    }
    if (restart_wait_ > 0) --restart_wait_;
    if (restart_wait_ > 0 || !session_.loggedIn()) return;
    StartLog();
}

void frmCallControl::SetLogStatus(const QString& text) {
    log_status_ = text;
    ui_->lblLogStatus->setText(text);
}

QString frmCallControl::LogStatus() const {
    return log_status_;
}

// ---- the event poll --------------------------------------------------------------

void frmCallControl::PollError(HRESULT hr, const QString& description) {
    if (hr == E_FAIL) return;
    if (hr == E_CONNECTION_LOST) {
        windows_.OfferReconnect(this);
        return;
    }
    Inform(description + shell::ErrorNumberText(hr), this);
}

void frmCallControl::Timer1_Timer() {
    // A box shown by a poll runs an event loop in which this timer fires
    // again: one poll at a time, the next event waits for the box. A poll
    // lasts until its events have been worked off.
    if (polling_) return;
    polling_ = true;
    Poll();
}

void frmCallControl::Poll() {
    SuperviseLog();
    if (!log_ || !log_->created()) {
        polling_ = false;
        return;
    }
    // Every queued event, oldest first, up to the cap: one a tick would
    // leave the list ever further behind a busy line.
    log_->Drain(calls::kMaxEventsPerTick,
                [this](const calls::EventLogHost::Drained& drained) { EventsDrained(drained); });
}

void frmCallControl::EventsDrained(const calls::EventLogHost::Drained& drained) {
    // The failure's record is read first: the events' work may leave its own.
    const QString failure = FAILED(drained.failure) ? shell::ErrorOf(drained.failure).description : QString();
    const QPointer<frmCallControl> self(this);
    mEventId = 0;
    for (const calls::Q5Event& event : drained.events) {
        HandleEvent(event);
        // A box shown for the event may have seen the window unloaded or
        // the program end.
        if (!self || unloaded_ || windows_.ProgramEnding()) break;
    }
    if (!self) return;
    int waiting = 0;
    for (int i = 0; i < ui_->ListView1->topLevelItemCount(); ++i) {
        if (ui_->ListView1->topLevelItem(i)->text(colStatus) != calls::StatusText(calls::kStatusDisconnect))
            ++waiting;
    }
    session_.setCallsWaiting(waiting);
    if (FAILED(drained.failure)) PollError(drained.failure, failure);
    if (self) polling_ = false;
}

void frmCallControl::HandleEvent(const calls::Q5Event& event) {
    mEventId = event.id;
    mCallKey = event.key;
    mCallerNumber = event.number;
    mCallerName = event.name;
    const QDateTime now = QDateTime::currentDateTime();
    switch (mEventId) {
        case calls::kNewCall:
            NewCall(now);
            break;
        case calls::kOnHold:
        case calls::kTransfer:
        case calls::kInTransit:
        case calls::kLeavingMessage:
            if (QTreeWidgetItem* row = RowOf(mCallKey)) {
                row->setText(colStatus, *calls::StatusForEvent(static_cast<int>(mEventId)));
                if (notifier_) notifier_->CallChanged(mCallKey, NoticeOf(row));
            }
            break;
        case calls::kCallEnded:
            CallEnded(now);
            break;
        case calls::kA1Error:
            Inform(tr("A1 Error"), this);
            break;
        default:
            break;
    }
}

void frmCallControl::NewCall(const QDateTime& now) {
    if (shell::TrimBlanks(mCallerName).isEmpty())
        mCallerName = calls::LookupContactName(windows_, mCallerNumber);

    RaiseMainWindow();

    // A repeated new-call event updates its row.
    QTreeWidgetItem* row = RowOf(mCallKey);
    const bool repeated = row != nullptr;
    if (!row) {
        row = new QTreeWidgetItem(ui_->ListView1);
        row->setData(colName, Qt::UserRole, mCallKey);
    }
    row->setText(colName, mCallerName);
    row->setText(colNumber, calls::FormatCallerNumber(windows_, mCallerNumber));
    row->setText(colStatus, calls::StatusText(calls::kStatusNewCall));
    if (!repeated) {
        row->setText(colStart, calls::TimeOfDayText(now.time()));
        row->setText(colElapsed, QStringLiteral("00:00:00"));
    }
    mEventId = 0;
    if (notifier_) notifier_->CallArrived(row->data(colName, Qt::UserRole).toString(), NoticeOf(row));

    // The mailbox may have changed its screening since the main window read
    // it: it is read again, and the recorded name fetched when it screens.
    // Both run in the background; the list goes on meanwhile.
    const QString key = shell::TrimBlanks(row->data(colName, Qt::UserRole).toString());
    const bool fetch =
        row->text(colNameRecorded).isEmpty() && !fetching_.contains(key) && calls::IsSafeCallKey(key);
    ReadScreeningAndFetch(key, fetch);
    QApplication::beep();
}

void frmCallControl::ReadScreeningAndFetch(const QString& key, bool fetch) {
    if (!session_.created()) return;
    auto state = std::make_shared<calls::NameFetch>();
    QString box, name, wav, local;
    if (fetch) {
        // The key names a local file: only keys of letters and digits do.
        mNameFile = calls::NameRecordingFile(key);
        const QString temp = shell::LocalPath(shell::LocalFolder::temp);
        shell::MakePrivateFolder(temp);
        mLocalNameFile = shell::LocalPath(shell::LocalFolder::temp, key + QStringLiteral(".wav"));
        box = session_.userName();
        name = mNameFile;
        wav = mNameFile + QStringLiteral(".wav");
        local = mLocalNameFile;
        fetching_.append(key);
        std::erase_if(fetches_, [](const std::weak_ptr<calls::NameFetch>& f) { return f.expired(); });
        fetches_.push_back(state);
        // The limit counts from now: waiting behind other work counts too.
        // Past it, a fetch not yet begun is skipped, one under way ended.
        QTimer::singleShot(fetch_limit_, this, [this, state] {
            const std::lock_guard<std::mutex> lock(state->mutex);
            if (state->stage == calls::NameFetch::Stage::finished) return;
            state->given_up = true;
            if (state->stage == calls::NameFetch::Stage::running) session_.Cancel();
        });
    }
    const shell::HostAndPort target = shell::ParseHostBox(session_.host());
    const QString user = session_.userName(), password = session_.password();
    Session* session = &session_;
    session_.Post(
        this,
        [=](const SessionViews& v) {
            calls::NameFetchOutcome out;
            BStr table(u"BOX"), field(u"SCREEN"), value;
            HRESULT hr = v.table->SetTable(table.Get());
            if (SUCCEEDED(hr)) hr = v.table->GetRecord();
            if (SUCCEEDED(hr)) hr = v.table->get_GetField(field.Get(), value.ReleaseAndGetAddressOf());
            if (FAILED(hr)) {
                // Says nothing about the screening, and the name fetch
                // would only fail the same way: it is left out.
                out.failures.push_back(calls::FailureOf(hr));
                const std::lock_guard<std::mutex> lock(state->mutex);
                state->stage = calls::NameFetch::Stage::finished;
                return out;
            }
            out.screening_read = true;
            out.screening = shell::TrimBlanks(FromBStr(value)) == QLatin1String("V");
            if (!fetch) return out;
            {
                const std::lock_guard<std::mutex> lock(state->mutex);
                state->stage = calls::NameFetch::Stage::running;
            }
            const auto finish = [&] {
                const std::lock_guard<std::mutex> lock(state->mutex);
                state->stage = calls::NameFetch::Stage::finished;
                out.given_up = state->given_up;
            };
            if (!out.screening || calls::GivenUp(*state)) {
                finish();
                return out;
            }
            BStr b = ToBStr(box), n = ToBStr(name), w = ToBStr(wav), l = ToBStr(local);
            const ComPtr<ISupportEvents> sink(new calls::NameFetchSink(*session, state));
            bool lost = false;
            // After a lost connection, or once given up, the remaining
            // steps are left out.
            const auto step = [&](HRESULT result) {
                if (FAILED(result)) out.failures.push_back(calls::FailureOf(result));
                if (result == E_CONNECTION_LOST) lost = true;
                return !lost && !calls::GivenUp(*state);
            };
            if (step(v.util->ConvertV2W(b.Get(), n.Get()))) {
                hr = v.util->GetFile2(b.Get(), w.Get(), l.Get(), sink.Get());
                out.fetched = SUCCEEDED(hr);
                if (step(hr) && step(v.util->DelFile(b.Get(), w.Get())))
                    step(v.util->DelFile(b.Get(), n.Get()));
            }
            finish();
            if (out.given_up && lost) {
                // Ending the transfer closed the connection: log in again
                // quietly with the stored credentials.
                BStr h = ToBStr(target.host), u = ToBStr(user), p = ToBStr(password);
                out.relogin = v.connect->Connect(h.Get(), target.port, 0);
                if (SUCCEEDED(out.relogin)) out.relogin = v.connect->Login(u.Get(), p.Get());
            }
            return out;
        },
        [this, key](const calls::NameFetchOutcome& outcome) {
            fetching_.removeAll(key);
            FetchDone(key, outcome);
        });
}

void frmCallControl::FetchDone(const QString& key, const calls::NameFetchOutcome& outcome) {
    if (outcome.screening_read) session_.setNameScreening(outcome.screening);
    const QString local = shell::LocalPath(shell::LocalFolder::temp, key + QStringLiteral(".wav"));
    if (outcome.given_up) {
        // Too slow or too large: the row keeps an empty "Name Recorded".
        ++given_up_;
        QFile::remove(local);
        if (FAILED(outcome.relogin)) windows_.OfferReconnect(this);
        return;
    }
    const QPointer<frmCallControl> self(this);
    if (outcome.fetched) {
        shell::MakeOwnerOnly(local);
        if (QTreeWidgetItem* row = RowOf(key)) row->setText(colNameRecorded, tr("Yes"));
        if (!fetched_names_.contains(local)) fetched_names_.append(local);
    }
    for (const calls::NameFetchOutcome::Failure& failure : outcome.failures) {
        PollError(failure.hr, failure.description);
        if (!self) return;
    }
}

void frmCallControl::CallEnded(const QDateTime& now) {
    QTreeWidgetItem* row = RowOf(mCallKey);
    mEventId = 0;
    // An end of a call that is not listed, or that has ended already, changes nothing.
    if (!row || row->text(colStatus) == calls::StatusText(calls::kStatusDisconnect)) return;
    row->setText(colStatus, calls::StatusText(calls::kStatusDisconnect));
    if (notifier_) notifier_->CallEnded(mCallKey);
    WriteCallLog(now, row);
}

void frmCallControl::WriteCallLog(const QDateTime& now, QTreeWidgetItem* row) {
    const QString path = shell::LocalPath(shell::LocalFolder::call_log);
    QFile file(path);
    const bool written = shell::MakePrivateFolder(QFileInfo(path).absolutePath()) &&
                         shell::OpenOwnerOnly(file, QIODevice::WriteOnly | QIODevice::Append) &&
                         file.write(calls::CallLogLine(now, row->text(colNumber), row->text(colStart),
                                                       row->text(colElapsed))) >= 0 &&
                         file.flush();
    if (written || log_error_shown_) return;
    log_error_shown_ = true;
    Inform(tr("The call log %1 could not be written: %2").arg(path, file.errorString()), this);
}

void frmCallControl::RaiseMainWindow() {
    QWidget* main = windows_.Loaded(WindowKind::Main);
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (main) {
        if (main->isMinimized() || (frame && frame->isMinimized())) {
            main->showNormal();
            if (frame) frame->showNormal();
        }
        main->raise();
        main->activateWindow();
    } else if (isMinimized()) {
        showNormal();
    }
    // The form's focus: its control that had it last, else the call list,
    // so that the keys work on the new call at once.
    QWidget* last = focusWidget();
    (last && isAncestorOf(last) ? last : ui_->ListView1)->setFocus();
}

void frmCallControl::Timer2_Timer() {
    QTreeWidget* list = ui_->ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->text(colStatus) == calls::StatusText(calls::kStatusDisconnect)) continue;
        if (const std::optional<QString> next = calls::NextElapsed(row->text(colElapsed))) {
            row->setText(colElapsed, *next);
        }
    }
}

QTreeWidgetItem* frmCallControl::RowOf(const QString& key) const {
    QTreeWidget* list = ui_->ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->data(colName, Qt::UserRole).toString() == key) return row;
    }
    return nullptr;
}

// ---- the buttons -----------------------------------------------------------------

void frmCallControl::ButtonError(HRESULT hr) {
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    Inform(hr == E_FAIL ? SelectCallText() : error.description, this);
}

void frmCallControl::Command1_Click(int index) {
    const QList<QTreeWidgetItem*> selected = ui_->ListView1->selectedItems();
    QTreeWidgetItem* row = selected.isEmpty() ? nullptr : selected.first();
    if (!row || (index != 4 && !session_.created())) {
        Inform(SelectCallText(), this);
        return;
    }
    const QString row_key = row->data(colName, Qt::UserRole).toString();
    BStr key = ToBStr(row->data(colName, Qt::UserRole).toString());
    HRESULT hr = S_OK;
    switch (index) {
        case 0:
        case 1: {
            BStr v(index == 0 ? u"1" : u"4"), x = ToBStr(session_.userName());
            hr = session_.Call(
                this, [&](const SessionViews& s) { return s.util->SetVXValue(key.Get(), v.Get(), x.Get()); });
            if (FAILED(hr)) ButtonError(hr);
            break;
        }
        case 2: {
            BStr v(u"3");
            hr = session_.Call(this,
                               [&](const SessionViews& s) { return s.util->SetVValue(key.Get(), v.Get()); });
            if (FAILED(hr)) ButtonError(hr);
            // The row stays while the window does.
            if (row->text(colStatus) != calls::StatusText(calls::kStatusDisconnect)) {
                row->setText(colStatus, calls::StatusText(calls::kStatusAskToHold));
                if (notifier_) notifier_->CallChanged(row_key, NoticeOf(row));
            }
            break;
        }
        case 3: {
            BStr v(Option1[0]->isChecked() ? u"1" : u"2"), x = ToBStr(shell::TrimBlanks(ui_->Text1->text()));
            hr = session_.Call(
                this, [&](const SessionViews& s) { return s.util->SetVXValue(key.Get(), v.Get(), x.Get()); });
            if (FAILED(hr)) ButtonError(hr);
            break;
        }
        case 4: {
            QString error;
            if (!calls::PopUpContact(windows_, contacts_, row->text(colNumber), &error)) Inform(error, this);
            break;
        }
        default:
            break;
    }
}

calls::CallNotice frmCallControl::NoticeOf(const QTreeWidgetItem* row) const {
    return {row->text(colName), row->text(colNumber), row->text(colStatus)};
}

void frmCallControl::NotificationAction(const QString& key, calls::CallNotifier::Action action) {
    QTreeWidgetItem* row = RowOf(key);
    if (!row) return;
    // While a button waits for the server the window takes no input, and
    // neither does its notification.
    if (action != calls::CallNotifier::Action::Show && session_.IsWaiting(this)) return;
    // The call's row becomes the selected one, and the button does the rest.
    SelectRow(row);
    switch (action) {
        case calls::CallNotifier::Action::Answer:
            Command1_Click(0);
            break;
        case calls::CallNotifier::Action::SendToMailbox:
            Command1_Click(1);
            break;
        case calls::CallNotifier::Action::HoldRelease:
            Command1_Click(2);
            break;
        case calls::CallNotifier::Action::Show:
            ShowWindows();
            break;
    }
}

void frmCallControl::SelectRow(QTreeWidgetItem* row) {
    ui_->ListView1->clearSelection();
    row->setSelected(true);
    ui_->ListView1->setCurrentItem(row);
}

void frmCallControl::ShowWindows() {
    // The main window may be hidden (kept in the tray) or minimised; this
    // window may be minimised inside it.
    QWidget* main = windows_.Loaded(WindowKind::Main);
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (main) {
        if (main->isMinimized() || !main->isVisible()) main->showNormal();
        main->raise();
        main->activateWindow();
    }
    if (frame) {
        if (frame->isMinimized() || !frame->isVisible()) frame->showNormal();
        frame->raise();
        if (!isVisible()) show();
    }
    if (!main) {
        if (isMinimized() || !isVisible()) showNormal();
        raise();
        activateWindow();
    }
    setFocus();
}

void frmCallControl::ListView1_DblClick() {
    const QList<QTreeWidgetItem*> selected = ui_->ListView1->selectedItems();
    if (selected.isEmpty()) return;
    const QString key = shell::TrimBlanks(selected.first()->data(colName, Qt::UserRole).toString());
    if (!calls::IsSafeCallKey(key) || !player_) return;
    mPlayFile = shell::LocalPath(shell::LocalFolder::temp, key + QStringLiteral(".wav"));
    QString error;
    if (!player_->Play(mPlayFile, &error)) ShowPlayError(error);
}

void frmCallControl::ShowPlayError(const QString& reason) {
    ui_->lblLogStatus->setText(tr("The recorded name cannot be played: ") + reason);
}

}  // namespace q5
