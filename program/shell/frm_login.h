// frmLogin: the login dialog. Connects the session to the host in the box
// (port 1008, or the port after a colon), logs in, and remembers or forgets
// the user name, host and password (the password in the desktop's secret
// store, never in the settings file).
//
// Thread rule: UI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <array>

#include "q5client/com.h"
#include "shell/settings.h"
#include "shell/window_manager.h"

namespace Ui {
class frmLogin;
}

namespace q5 {

class Session;

// What the login dialogs of one run share (the program holds it): the
// command line's start values for the boxes, and the notice that no secret
// store keeps the password, which comes once a run in a non-modal window.
struct LoginShared {
    QString prefill_host;  // --host; empty when not given
    QString prefill_user;  // --user
    bool no_secret_store_told = false;
    QPointer<QMessageBox> no_secret_store_notice;  // while it is open
};

class frmLogin : public QDialog {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Login;
    // The boxes start with the values of `shared` where the command line
    // gave them.
    frmLogin(Session& session, WindowManager& windows, LoginShared& shared);
    ~frmLogin() override;

    // Shown at start-up: application-modal.
    void ShowModal();
    // Shown for another attempt: over the other windows, not modal.
    void ShowNonModal();

    Ui::frmLogin* ui() const { return ui_; }
    std::array<QLabel*, 2> lblLabels{};

    // The secret-store keys of the remembered password and of the user
    // (trimmed) it belongs to; the dialog fills in the password only for
    // that user.
    static QString PasswordSecretKey();
    static QString PasswordOwnerSecretKey();

signals:
    // The dialog was hidden or is going (emitted once the OK handler that
    // hid it has finished).
    void Dismissed();

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void RememberSettings();
    void TellNoSecretStore(const QString& why);
    void OnConnectFailed(HRESULT hr);

    Session& session_;
    WindowManager& windows_;
    LoginShared& shared_;
    shell::Settings settings_;
    Ui::frmLogin* ui_;
    bool in_click_ = false;
    bool dismissed_pending_ = false;
};

}  // namespace q5
