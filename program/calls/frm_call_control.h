// frmCallControl: the call control window, a child of the main window's MDI
// area: the calls of the logged-in mailbox and the actions on them. It
// starts its own Q5 event log (no sink) when it loads, works off the queued
// events every second (Timer1, at most calls::kMaxEventsPerTick a tick, in
// arrival order), advances the elapsed time of every call that has
// not ended (Timer2), and ends the log when it unloads. The log's object
// lives on a thread of its own (calls::EventLogHost): starting it, which
// may wait half a minute for a server that does not answer, and taking the
// queued events never hold the window, and unloading ends a start that
// waits instead of waiting it out. While a start is under way no tick
// starts another; a tick's events are worked off before the next tick
// polls. When the log's own connection ends, the window says so and starts
// the log again with a growing pause (1 s, 2 s, 4 s … 60 s) while the main
// session is logged in, and at once after the user has logged in again. The recorded names it
// fetches into the temp folder are deleted when it unloads; those of an
// earlier run when it loads.
//
// Its calls into the server session go through the Session: the buttons
// wait for their answer (the program keeps running meanwhile), and what a
// new call needs (the mailbox's screening, the recorded name) is posted and
// never holds the list. A recorded name that takes longer than the fetch
// limit in all, or is announced larger than kMaxNameRecordingBytes, is given
// up: the transfer is ended, the session logs in again quietly with the
// stored credentials (the "Disconnected..." question only when that fails),
// and the row's "Name Recorded" stays empty.
//
// Each call it lists gets a desktop notification (calls::CallNotifier) while
// the user's "Notifications" setting is on; the notification's actions do
// what the buttons do for that call's row, and "Show" brings the windows to
// the front.
//
// Thread rule: UI thread only (the event log's object is used on its host's
// thread only, whose answers come back to the UI thread; the name fetch's
// progress sink runs on the session thread and only touches the fetch's
// shared state).
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <memory>
#include <vector>

#include "calls/call_logic.h"
#include "calls/call_notifier.h"
#include "calls/event_log_host.h"
#include "calls/name_player.h"
#include "q5client/q5client.h"
#include "shell/window_manager.h"

class QPushButton;
class QRadioButton;
class QTreeWidgetItem;

namespace Ui {
class frmCallControl;
}

namespace q5 {

class Session;

namespace calls {
class ContactWindows;
struct NameFetch;
struct NameFetchOutcome;

// A recorded name announced larger than this is not fetched.
inline constexpr long kMaxNameRecordingBytes = 1024 * 1024;
// How long one recorded name may take in all.
inline constexpr std::chrono::milliseconds kNameFetchLimit{30000};
}  // namespace calls

class frmCallControl : public QWidget {
    Q_OBJECT

public:
    // Columns of ListView1.
    enum Column { colName = 0, colNumber, colStatus, colStart, colElapsed, colNameRecorded, kColumns };

    static constexpr WindowKind kWindowKind = WindowKind::CallControl;

    // `player` makes the name player (empty: the desktop's sound player);
    // `fetch_limit` bounds each recorded name's fetch; `notifications`
    // makes the notification service (empty: the one on the session bus).
    frmCallControl(Session& session, WindowManager& windows, calls::ContactWindows& contacts,
                   calls::NamePlayerFactory player = {},
                   std::chrono::milliseconds fetch_limit = calls::kNameFetchLimit,
                   const calls::NotificationBusFactory& notifications = {});
    ~frmCallControl() override;
    Ui::frmCallControl* ui() const { return ui_; }

    std::array<QPushButton*, 5> Command1{};
    std::array<QRadioButton*, 2> Option1{};
    QTimer Timer1;  // event poll, every second
    QTimer Timer2;  // elapsed tick, every second

    // The row of a call key, or nullptr.
    QTreeWidgetItem* RowOf(const QString& key) const;
    // The event log state as shown in the window's status line.
    QString LogStatus() const;
    bool LogRunning() const { return log_running_; }
    // A start of the event log is under way (its answer has not come back).
    bool LogStarting() const { return log_ && log_->starting(); }
    // A tick's poll has not finished: its events are still on their way or
    // being worked off.
    bool Polling() const { return polling_; }
    // The main session was lost: the event log restarts at once when the
    // user has logged in again, not after its pause (WindowManager's
    // sessionLost).
    void SessionLost() { logged_out_seen_ = true; }
    // Recorded names being fetched now.
    int NameFetchesRunning() const { return static_cast<int>(fetching_.size()); }
    // Recorded names given up so far (too slow or too large).
    int NameFetchesGivenUp() const { return given_up_; }

    // Window state, as the event poll leaves it.
    LONG mEventId = 0;
    QString mCallKey;
    QString mCallerNumber;
    QString mCallerName;
    QString mNameFile;
    QString mLocalNameFile;
    QString mPlayFile;

public slots:
    void Timer1_Timer();
    void Timer2_Timer();
    void Command1_Click(int index);
    void ListView1_DblClick();
    // What a call's notification asked for, on the row of `key`.
    void NotificationAction(const QString& key, calls::CallNotifier::Action action);

private:
    void Form_Load();
    void Form_Unload();
    // One event poll: the log's health, then the queued events.
    void Poll();
    // The events a poll took, worked off in order; ends the poll.
    void EventsDrained(const calls::EventLogHost::Drained& drained);
    void HandleEvent(const calls::Q5Event& event);
    // Starts (or restarts) the event log; LogStarted gets the answer. On
    // failure the next attempt waits for the back-off pause.
    void StartLog();
    void LogStarted(HRESULT hr, bool was_running);
    // Keeps the event log alive: notices a log whose connection ended and
    // restarts it after the back-off pause.
    void SuperviseLog();
    void SetLogStatus(const QString& text);
    // Handles a failed call of the event poll as the poll's error table
    // says; `description` is the failure's error record's.
    void PollError(HRESULT hr, const QString& description);
    void NewCall(const QDateTime& now);
    void CallEnded(const QDateTime& now);
    // Reads the mailbox's screening and, when it screens and `fetch`, the
    // caller's recorded name for the call `key`, in the background.
    void ReadScreeningAndFetch(const QString& key, bool fetch);
    void FetchDone(const QString& key, const calls::NameFetchOutcome& outcome);
    void WriteCallLog(const QDateTime& now, QTreeWidgetItem* row);
    void RaiseMainWindow();
    void ButtonError(HRESULT hr);
    calls::CallNotice NoticeOf(const QTreeWidgetItem* row) const;
    void SelectRow(QTreeWidgetItem* row);
    // Shows and raises the main window and this one ("Show").
    void ShowWindows();
    void ShowPlayError(const QString& reason);

    Session& session_;
    WindowManager& windows_;
    calls::ContactWindows& contacts_;
    std::chrono::milliseconds fetch_limit_;
    Ui::frmCallControl* ui_;
    std::unique_ptr<calls::EventLogHost> log_;
    std::unique_ptr<calls::NamePlayer> player_;
    std::unique_ptr<calls::CallNotifier> notifier_;
    bool unloaded_ = false;
    bool polling_ = false;
    bool log_running_ = false;
    int restart_wait_ = 0;  // poll ticks until the next restart attempt
    bool lost_ = false;     // the log ran and its connection ended
    calls::RestartBackOff back_off_;
    bool log_error_shown_ = false;
    bool logged_out_seen_ = false;  // the main session was lost; no login since
    QString log_status_;
    QStringList fetched_names_;  // local recordings this window fetched
    QStringList fetching_;       // keys whose recorded name is on its way
    std::vector<std::weak_ptr<calls::NameFetch>> fetches_;
    int given_up_ = 0;
};

}  // namespace q5
