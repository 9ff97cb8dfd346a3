// frmLogin: the login dialog. Connects the session to the host in the box
// (port 1008, or the port after a colon), logs in, and remembers or forgets
// the user name, host and password (the password in the desktop's secret
// store, never in the settings file).
//
// Thread rule: UI thread only.
#pragma once

#include "shell/window_manager.h"

#include <QDialog>
#include <QLabel>
#include <QString>

#include <array>

#include "q5client/com.h"
#include "shell/registry.h"

class QMessageBox;

namespace Ui {
class frmLogin;
}

namespace q5 {

class frmLogin : public QDialog {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Login;
    frmLogin();
    ~frmLogin() override;

    // The login settings object; public because the PIM setup window
    // borrows it (its Section stays "Login").
    shell::Registry mQ5Client;

    // Values from the command line that replace the start values of the
    // boxes in every login dialog loaded afterwards (empty: not given).
    static void SetPrefill(const QString& host, const QString& user);

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
    // The notice that no secret store keeps the password comes once per
    // run, in a non-modal window; this closes it and makes the next
    // failure say it again.
    static void ResetSecretStoreNotice();
    // That notice while it is open, else null.
    static QMessageBox* SecretStoreNotice();

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

    Ui::frmLogin* ui_;
    bool in_click_ = false;
    bool dismissed_pending_ = false;
};

}  // namespace q5
