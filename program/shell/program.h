// Program: the desktop program put together, and its start-up routine;
// the module operations the windows share (AskSave).
//
// A Program owns the server session (Session, with its thread) and the
// window manager, with every kind of window registered, and the values the
// login dialogs of one run share. Make it after the QApplication and let it
// go before: its windows and the session go with it.
//
// Start(): refuses a second instance ("Q5Controller is already running")
// unless the running one is hidden in the tray, which then shows its window,
// registers the library next to the program when the per-user registry
// does not know CoQ5Client yet, creates the session, and shows the login
// dialog modally. When that dialog goes, the main window opens if the login
// succeeded, else the login dialog is shown again, not modal.
//
// Thread rule: UI thread only.
#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QString>

#include "shell/frm_login.h"
#include "shell/instance_lock.h"
#include "shell/server_wait.h"
#include "shell/session.h"
#include "shell/show_request.h"
#include "shell/tray_icon.h"
#include "shell/window_manager.h"

namespace q5 {

// "Fields have been changed. Do you want to save?": 0 Yes, 1 No, 2 Cancel.
int AskSave();

// Asked when a window with unsaved edits closes: AskSave, and on Yes runs
// `save`. True when the window may close: No, or Yes and the save went
// through. Cancel keeps the window; so does a save that failed, with its
// edits, unless `closing_anyway` (the program is ending).
bool MayCloseAfterAskingToSave(const std::function<bool()>& save, bool closing_anyway);

class Program : public QObject {
    Q_OBJECT

public:
    struct Options {
        QString host;         // --host: pre-fills the host box
        QString user;         // --user: pre-fills the user-name box
        QString program_dir;  // where the library is looked for first
    };

    // `tray_available` says whether the desktop has a tray (default: Qt's answer).
    explicit Program(shell::TrayIcon::Availability tray_available = {});
    ~Program() override;

    Session& session() { return session_; }
    WindowManager& windows() { return windows_; }
    // Shows a window's wait for the server and holds its input meanwhile.
    ServerWaitIndicator& wait_indicator() { return wait_indicator_; }
    LoginShared& login_shared() { return login_shared_; }

    // Runs the start-up steps up to the modal login dialog. False when the
    // program must end at once (exit_code() tells with which status).
    bool Start(const Options& options);
    int exit_code() const { return exit_code_; }

    shell::InstanceLock& lock() { return lock_; }
    shell::TrayIcon& tray() { return tray_; }

private:
    void AfterStartupLogin();
    // Registers a factory for every kind of window.
    void RegisterWindows();

    // The session first: it outlives the manager and every window.
    Session session_;
    WindowManager windows_;
    ServerWaitIndicator wait_indicator_;
    LoginShared login_shared_;
    shell::InstanceLock lock_;
    shell::TrayIcon tray_;
    shell::ShowRequestServer show_requests_;
    int exit_code_ = 0;
    QPointer<frmLogin> startup_login_;
};

}  // namespace q5
