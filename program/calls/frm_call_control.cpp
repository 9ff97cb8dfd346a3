#include "calls/frm_call_control.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QTreeWidget>

#include "calls/name_player.h"
#include "calls/pim.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/local_paths.h"
#include "shell/message_service.h"
#include "shell/session_state.h"
#include "shell/shell_logic.h"
#include "shell/windows.h"
#include "ui_frm_call_control.h"

namespace q5 {
namespace {

constexpr int kColumnTwips[frmCallControl::kColumns] = {3528, 3528, 1764, 1764, 1764, 2540};

BStr ToBStr(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

QString FromBStr(const BStr& text) {
    const std::u16string_view view = text.View();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

const QString kSelectCall = QStringLiteral("please select a call in progress");

void Inform(const QString& text, QWidget* parent) {
    shell::MessageRequest request;
    request.text = text;
    shell::MessageService::Show(request, parent);
}

}  // namespace

frmCallControl::frmCallControl() : ui_(new Ui::frmCallControl) {
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
    player_ = calls::MakeNamePlayer();
    player_->OnFailure([this](const QString& reason) { ShowPlayError(reason); });
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
    ui_->Text1->setText(gUserName);
    // Recorded names left by an earlier run (one that did not end cleanly)
    // belong to calls nobody can see any more.
    calls::RemoveNameRecordings(shell::LocalPath(shell::LocalFolder::temp));
    void* events = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_CoEvents, nullptr, CLSCTX_INPROC_SERVER, IID_ICoEvents, &events))) {
        mEvents.Attach(static_cast<ICoEvents*>(events));
    }
    StartLog();
    Timer1.start();
    Timer2.start();
}

void frmCallControl::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1.stop();
    Timer2.stop();
    if (mEvents) {
        mEvents->EndQ5Log();
        mEvents.Reset();
    }
    log_running_ = false;
    // The recorded names go with the rows that offered them.
    player_.reset();
    for (const QString& file : fetched_names_) QFile::remove(file);
    fetched_names_.clear();
}

// ---- the event log ---------------------------------------------------------------

bool frmCallControl::StartLog() {
    if (!mEvents) {
        SetLogStatus(QStringLiteral("Call events are not available: the event log could not be created"));
        return false;
    }
    const bool was_running = log_running_;
    const shell::HostAndPort target = shell::ParseHostBox(gHost);
    BStr host = ToBStr(target.host), user = ToBStr(gUserName), password = ToBStr(gPassword);
    const HRESULT hr = mEvents->BeginQ5Log(host.Get(), target.port, 5, user.Get(), password.Get(), nullptr);
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    // S_FALSE: the log's worker still runs, so the log is alive. Any other
    // answer means the previous worker had ended (its connection was gone)
    // and a new connection was tried.
    if (hr == S_FALSE) return true;
    if (SUCCEEDED(hr)) {
        const bool restored = was_running || lost_;
        log_running_ = true;
        lost_ = false;
        back_off_.Reset();
        restart_wait_ = 0;
        SetLogStatus(restored ? QStringLiteral("The connection for call events ended and was restored at %1")
                                    .arg(calls::TimeOfDayText(QTime::currentTime()))
                              : QStringLiteral("Receiving calls from Q5Server"));
        return true;
    }
    lost_ = lost_ || was_running;
    log_running_ = false;
    restart_wait_ = back_off_.NextDelaySeconds();
    SetLogStatus((lost_ ? QStringLiteral("The connection for call events has ended (%1); retrying in %2 s")
                        : QStringLiteral("The call events could not be started (%1); retrying in %2 s"))
                     .arg(error.description)
                     .arg(restart_wait_));
    return false;
}

void frmCallControl::SuperviseLog() {
    // While the main session is lost nothing is tried; once the user has
    // logged in again the server is back, so the log restarts at once
    // instead of waiting out its pause.
    if (!gLoggedIn) {
        logged_out_seen_ = true;
    } else if (logged_out_seen_) {
        logged_out_seen_ = false;
        back_off_.Reset();
        restart_wait_ = 0;
    }
    // A log that runs refuses a second start at once, without touching the
    // network; a log whose connection ended starts again on that call.
    if (log_running_) {
        if (gLoggedIn) StartLog();
        return;
    }
    if (restart_wait_ > 0) --restart_wait_;
    if (restart_wait_ > 0 || !gLoggedIn) return;
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

void frmCallControl::PollError(HRESULT hr) {
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    if (hr == E_FAIL) return;
    if (hr == E_CONNECTION_LOST) {
        windows::OfferReconnect(this);
        return;
    }
    Inform(error.description + shell::ErrorNumberText(hr), this);
}

void frmCallControl::Timer1_Timer() {
    // A box shown by a poll runs an event loop in which this timer fires
    // again: one poll at a time, the next event waits for the box.
    if (polling_) return;
    polling_ = true;
    const QPointer<frmCallControl> self(this);
    Poll();
    if (self) polling_ = false;
}

void frmCallControl::Poll() {
    SuperviseLog();
    if (!mEvents) return;
    // Every queued event, oldest first, up to the cap: one a tick would
    // leave the list ever further behind a busy line.
    const QPointer<frmCallControl> self(this);
    mEventId = 0;
    const calls::DrainResult drained = calls::DrainQ5Events(*mEvents.Get(), [&](const calls::Q5Event& event) {
        HandleEvent(event);
        // A box shown for the event may have seen the window unloaded or
        // the program end.
        return self && !unloaded_ && !windows::ProgramEnding();
    });
    if (self && FAILED(drained.failure)) PollError(drained.failure);
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
            }
            break;
        case calls::kCallEnded:
            CallEnded(now);
            break;
        case calls::kA1Error:
            Inform(QStringLiteral("A1 Error"), this);
            break;
        default:
            break;
    }
}

void frmCallControl::NewCall(const QDateTime& now) {
    if (shell::TrimBlanks(mCallerName).isEmpty()) mCallerName = calls::LookupContactName(mCallerNumber);

    // The mailbox may have changed its screening since the main window read
    // it. A read that fails says nothing about the screening, and the name
    // fetch would only fail the same way: it is left out for this call.
    bool screening_read = static_cast<bool>(gTable);
    if (gTable) {
        BStr table(u"BOX"), field(u"SCREEN"), value;
        HRESULT hr = gTable->SetTable(table.Get());
        if (SUCCEEDED(hr)) hr = gTable->GetRecord();
        if (SUCCEEDED(hr)) hr = gTable->get_GetField(field.Get(), value.ReleaseAndGetAddressOf());
        if (FAILED(hr)) {
            screening_read = false;
            PollError(hr);
        } else {
            gNameScreening = shell::TrimBlanks(FromBStr(value)) == QLatin1String("V");
        }
    }

    RaiseMainWindow();

    // A repeated new-call event updates its row.
    QTreeWidgetItem* row = RowOf(mCallKey);
    const bool repeated = row != nullptr;
    if (!row) {
        row = new QTreeWidgetItem(ui_->ListView1);
        row->setData(colName, Qt::UserRole, mCallKey);
    }
    row->setText(colName, mCallerName);
    row->setText(colNumber, calls::FormatCallerNumber(mCallerNumber));
    row->setText(colStatus, QString::fromLatin1(calls::kStatusNewCall));
    if (!repeated) {
        row->setText(colStart, calls::TimeOfDayText(now.time()));
        row->setText(colElapsed, QStringLiteral("00:00:00"));
    }
    mEventId = 0;

    if (screening_read && gNameScreening && row->text(colNameRecorded).isEmpty()) FetchName(row);
    QApplication::beep();
}

void frmCallControl::FetchName(QTreeWidgetItem* row) {
    const QString key = shell::TrimBlanks(row->data(colName, Qt::UserRole).toString());
    // The key names a local file: only keys of letters and digits do.
    if (!calls::IsSafeCallKey(key) || !gUtil) return;
    mNameFile = calls::NameRecordingFile(key);
    const QString temp = shell::LocalPath(shell::LocalFolder::temp);
    shell::MakePrivateFolder(temp);
    mLocalNameFile = shell::LocalPath(shell::LocalFolder::temp, key + QStringLiteral(".wav"));
    BStr box = ToBStr(gUserName), name = ToBStr(mNameFile), wav = ToBStr(mNameFile + QStringLiteral(".wav")),
         local = ToBStr(mLocalNameFile);
    // After a lost connection the remaining steps can only fail again.
    HRESULT hr = gUtil->ConvertV2W(box.Get(), name.Get());
    if (FAILED(hr)) PollError(hr);
    if (hr == E_CONNECTION_LOST) return;
    hr = gUtil->GetFile(box.Get(), wav.Get(), local.Get());
    if (FAILED(hr)) {
        PollError(hr);
        if (hr == E_CONNECTION_LOST) return;
    } else {
        shell::MakeOwnerOnly(mLocalNameFile);
        row->setText(colNameRecorded, QStringLiteral("Yes"));
        if (!fetched_names_.contains(mLocalNameFile)) fetched_names_.append(mLocalNameFile);
    }
    hr = gUtil->DelFile(box.Get(), wav.Get());
    if (FAILED(hr)) PollError(hr);
    if (hr == E_CONNECTION_LOST) return;
    hr = gUtil->DelFile(box.Get(), name.Get());
    if (FAILED(hr)) PollError(hr);
}

void frmCallControl::CallEnded(const QDateTime& now) {
    QTreeWidgetItem* row = RowOf(mCallKey);
    mEventId = 0;
    // An end of a call that is not listed, or that has ended already, changes nothing.
    if (!row || row->text(colStatus) == QLatin1String(calls::kStatusDisconnect)) return;
    row->setText(colStatus, QString::fromLatin1(calls::kStatusDisconnect));
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
    Inform(QStringLiteral("The call log %1 could not be written: %2").arg(path, file.errorString()), this);
}

void frmCallControl::RaiseMainWindow() {
    frmMain* main = windows::Loaded<frmMain>();
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
    setFocus();
}

void frmCallControl::Timer2_Timer() {
    QTreeWidget* list = ui_->ListView1;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->text(colStatus) == QLatin1String(calls::kStatusDisconnect)) continue;
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
    Inform(hr == E_FAIL ? kSelectCall : error.description, this);
}

void frmCallControl::Command1_Click(int index) {
    const QList<QTreeWidgetItem*> selected = ui_->ListView1->selectedItems();
    QTreeWidgetItem* row = selected.isEmpty() ? nullptr : selected.first();
    if (!row || (index != 4 && !gUtil)) {
        Inform(kSelectCall, this);
        return;
    }
    BStr key = ToBStr(row->data(colName, Qt::UserRole).toString());
    HRESULT hr = S_OK;
    switch (index) {
        case 0:
        case 1: {
            BStr v(index == 0 ? u"1" : u"4"), x = ToBStr(gUserName);
            hr = gUtil->SetVXValue(key.Get(), v.Get(), x.Get());
            if (FAILED(hr)) ButtonError(hr);
            break;
        }
        case 2: {
            BStr v(u"3");
            hr = gUtil->SetVValue(key.Get(), v.Get());
            if (FAILED(hr)) ButtonError(hr);
            if (row->text(colStatus) != QLatin1String(calls::kStatusDisconnect)) {
                row->setText(colStatus, QString::fromLatin1(calls::kStatusAskToHold));
            }
            break;
        }
        case 3: {
            BStr v(Option1[0]->isChecked() ? u"1" : u"2"), x = ToBStr(shell::TrimBlanks(ui_->Text1->text()));
            hr = gUtil->SetVXValue(key.Get(), v.Get(), x.Get());
            if (FAILED(hr)) ButtonError(hr);
            break;
        }
        case 4: {
            QString error;
            if (!calls::PopUpContact(row->text(colNumber), &error)) Inform(error, this);
            break;
        }
        default:
            break;
    }
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
    ui_->lblLogStatus->setText(QStringLiteral("The recorded name cannot be played: ") + reason);
}

}  // namespace q5
