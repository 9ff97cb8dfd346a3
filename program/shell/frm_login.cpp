#include "shell/frm_login.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "shell/busy_cursor.h"
#include "shell/frm_main.h"
#include "shell/message_service.h"
#include "shell/resolve_captions.h"
#include "shell/secret_store.h"
#include "shell/session_state.h"
#include "shell/shell_logic.h"
#include "shell/tls_trust.h"
#include "shell/windows.h"
#include "ui_frm_login.h"

namespace q5 {

namespace {

QString g_prefill_host;
QString g_prefill_user;
bool g_no_secret_store_told = false;
QPointer<QMessageBox> g_no_secret_store_notice;

const QString kUserKey = QStringLiteral("&User Name:");
const QString kPasswordKey = QStringLiteral("&Password:");
const QString kHostKey = QStringLiteral("Host");
const QString kSaveKey = QStringLiteral("SaveSettings");

BStr ToBStr(const QString& text) {
    return BStr(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<UINT>(text.size()));
}

}  // namespace

void frmLogin::SetPrefill(const QString& host, const QString& user) {
    g_prefill_host = host;
    g_prefill_user = user;
}

void frmLogin::ResetSecretStoreNotice() {
    g_no_secret_store_told = false;
    delete g_no_secret_store_notice.data();
}

QMessageBox* frmLogin::SecretStoreNotice() {
    return g_no_secret_store_notice.data();
}

void frmLogin::TellNoSecretStore(const QString& why) {
    if (g_no_secret_store_told) return;
    g_no_secret_store_told = true;
    // A window of its own, not a modal box: the login goes on to the main
    // window, whose keep-alive runs while the notice is open.
    auto* notice = new QMessageBox(
        QMessageBox::Information, QString::fromLatin1(shell::kAppTitle),
        QStringLiteral("Your password was not remembered: no password keyring (secret store) is running "
                       "on this desktop.\n\nYour user name and host were remembered. Type your password "
                       "when you log in next time."),
        QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("noSecretStoreNotice"));
    notice->setWindowModality(Qt::NonModal);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    if (!why.isEmpty()) notice->setDetailedText(why);
    g_no_secret_store_notice = notice;
    notice->show();
}

QString frmLogin::PasswordSecretKey() {
    return QStringLiteral("Login/") + kPasswordKey;
}

QString frmLogin::PasswordOwnerSecretKey() {
    return QStringLiteral("Login/") + kUserKey;
}

frmLogin::frmLogin() : ui_(new Ui::frmLogin) {
    ui_->setupUi(this);
    lblLabels = {ui_->lblLabels_0, ui_->lblLabels_1};
    connect(ui_->cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    Form_Load();
}

frmLogin::~frmLogin() {
    delete ui_;
}

void frmLogin::Form_Load() {
    shell::ResolveCaptions(this);
    ui_->txtUserName->setText(QString());
    // The administrator's host, where there is one, for users who keep none.
    ui_->Text1->setText(shell::Registry::ReadDefault(QString::fromLatin1(shell::kAppTitle),
                                                     QStringLiteral("Login"), kHostKey,
                                                     QStringLiteral("localhost")));
    mQ5Client.SetAppname(QString::fromLatin1(shell::kAppTitle));
    mQ5Client.SetSection(QStringLiteral("Login"));
    mQ5Client.SetKey(kSaveKey);
    mQ5Client.RegGet();
    // Only a stored number sets the box; anything else leaves it unchecked.
    bool numeric = false;
    const int saved = shell::TrimBlanks(mQ5Client.Setting()).toInt(&numeric);
    ui_->Check1->setChecked(numeric && saved == 1);
    if (ui_->Check1->isChecked()) {
        mQ5Client.SetKey(kUserKey);
        mQ5Client.RegGet();
        ui_->txtUserName->setText(mQ5Client.Setting());
        // Files written before the password moved to the secret store may
        // still hold it; the next login clears it there.
        mQ5Client.SetKey(kPasswordKey);
        mQ5Client.RegGet();
        QString password = mQ5Client.Setting();
        // The secret store's password only for the user it was kept for.
        const QString owner = shell::TrimBlanks(ui_->txtUserName->text());
        if (password.isEmpty() && !owner.isEmpty() &&
            shell::SecretStore::Read(PasswordOwnerSecretKey()) == owner) {
            password = shell::SecretStore::Read(PasswordSecretKey()).value_or(QString());
        }
        ui_->txtPassword->setText(password);
        mQ5Client.SetKey(kHostKey);
        mQ5Client.RegGet();
        ui_->Text1->setText(mQ5Client.Setting());
    }
    if (!g_prefill_host.isEmpty()) ui_->Text1->setText(g_prefill_host);
    if (!g_prefill_user.isEmpty()) {
        // Another mailbox than the remembered one: not its password.
        if (shell::TrimBlanks(ui_->txtUserName->text()) != shell::TrimBlanks(g_prefill_user))
            ui_->txtPassword->clear();
        ui_->txtUserName->setText(g_prefill_user);
    }
    if (!ui_->txtUserName->text().isEmpty()) ui_->txtPassword->setFocus();
}

void frmLogin::ShowModal() {
    if (isVisible()) hide();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void frmLogin::ShowNonModal() {
    if (isVisible() && windowModality() == Qt::NonModal) {
        raise();
        activateWindow();
        return;
    }
    if (isVisible()) hide();
    setWindowModality(Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void frmLogin::cmdOK_Click() {
    if (in_click_) return;
    in_click_ = true;
    const QPointer<frmLogin> self(this);
    {
        // Scope 1: the connection.
        HRESULT hr;
        {
            shell::BusyCursor busy;
            const shell::HostAndPort target = shell::ParseHostBox(ui_->Text1->text());
            BStr host = ToBStr(shell::HostWithStoredPin(QString::fromLatin1(shell::kAppTitle), target.host));
            hr = gConnect ? gConnect->Connect(host.Get(), target.port, 0) : E_POINTER;
        }
        if (FAILED(hr)) {
            OnConnectFailed(hr);
        } else {
            // With its pin, so the event log's connection accepts the same certificate.
            gHost = shell::HostWithStoredPin(QString::fromLatin1(shell::kAppTitle),
                                             shell::TrimBlanks(ui_->Text1->text()));
            gUserName = shell::TrimBlanks(ui_->txtUserName->text());
            gPassword = shell::TrimBlanks(ui_->txtPassword->text());
            // Scope 2: the login.
            {
                shell::BusyCursor busy;
                BStr user = ToBStr(gUserName);
                BStr password = ToBStr(gPassword);
                hr = gConnect->Login(user.Get(), password.Get());
            }
            if (FAILED(hr)) {
                shell::ErrorOf(hr);  // the record is not shown; drop it
                shell::MessageRequest request;
                request.text = QStringLiteral("Incorrect Username or Password");
                request.title = QStringLiteral("Login Failed");
                request.icon = shell::MsgIcon::warning;
                shell::MessageService::Show(request, this);
            } else {
                const bool was_modal = windowModality() != Qt::NonModal;
                hide();
                gLoggedIn = true;
                RememberSettings();
                // From the start-up, the start-up routine opens the main
                // window; a later login opens it here if it is not open.
                if (!was_modal && !windows::ProgramEnding() && !windows::Loaded<frmMain>()) {
                    windows::Load<frmMain>().show();
                }
            }
        }
    }
    if (!self) return;
    in_click_ = false;
    if (dismissed_pending_) {
        dismissed_pending_ = false;
        emit Dismissed();
    }
}

void frmLogin::OnConnectFailed(HRESULT hr) {
    const shell::ErrorDetails error = shell::ErrorOf(hr);
    // A TLS server's certificate: trusted on first use when the user says
    // so (then the login goes on), never when a pinned one has changed.
    const shell::CertificateRefusal refusal = shell::ReadCertificateRefusal(error.description);
    if (refusal.kind == shell::CertificateRefusal::Kind::untrusted) {
        shell::MessageRequest request{
            shell::TrustQuestion(refusal), QStringLiteral("Untrusted Server Certificate"),
            shell::MsgButtons::yes_no, shell::MsgIcon::warning, shell::MsgAnswer::no};
        if (shell::MessageService::Show(request, this) != shell::MsgAnswer::yes) return;
        shell::StorePin(QString::fromLatin1(shell::kAppTitle), ui_->Text1->text(), refusal.fingerprint);
        QTimer::singleShot(0, this, &frmLogin::cmdOK_Click);
        return;
    }
    if (refusal.kind == shell::CertificateRefusal::Kind::changed) {
        shell::MessageService::Show(
            {shell::ChangedCertificateWarning(refusal), QStringLiteral("Server Certificate Changed"),
             shell::MsgButtons::ok, shell::MsgIcon::critical, shell::MsgAnswer::ok},
            this);
        return;
    }
    if (hr == E_CONNECTION_LOST) {
        hide();
        shell::MessageRequest request;
        request.text = QStringLiteral(
            "Can not establish connection with Q5Server. Please verify that Q5 is running before "
            "re-attempting to "
            "log in");
        request.title = QStringLiteral("No Connection");
        request.buttons = shell::MsgButtons::ok_cancel;
        if (shell::MessageService::Show(request) == shell::MsgAnswer::ok) {
            windows::UnloadAllWindows();
            windows::Load<frmLogin>().ShowNonModal();
        } else {
            windows::EndProgram(0);
        }
        return;
    }
    shell::MessageRequest request;
    request.text = error.description + shell::ErrorNumberText(hr);
    shell::MessageService::Show(request, this);
}

void frmLogin::RememberSettings() {
    const bool save = ui_->Check1->isChecked();
    mQ5Client.SetKey(kUserKey);
    mQ5Client.SetSetting(save ? ui_->txtUserName->text() : QString());
    mQ5Client.RegSave();
    // The settings file keeps the key, empty: the password itself goes to
    // the secret store, or nowhere when there is none.
    mQ5Client.SetKey(kPasswordKey);
    mQ5Client.SetSetting(QString());
    mQ5Client.RegSave();
    const QString password = ui_->txtPassword->text();
    if (save && !password.isEmpty()) {
        // The password, then whose it is: a password that could not be
        // written leaves the entry of the user it belongs to.
        QString why;
        if (shell::SecretStore::Write(PasswordSecretKey(), password, &why)) {
            shell::SecretStore::Write(PasswordOwnerSecretKey(), shell::TrimBlanks(ui_->txtUserName->text()));
        } else {
            TellNoSecretStore(why);
        }
    } else {
        shell::SecretStore::Remove(PasswordSecretKey());
        shell::SecretStore::Remove(PasswordOwnerSecretKey());
    }
    mQ5Client.SetKey(kHostKey);
    mQ5Client.SetSetting(save ? ui_->Text1->text() : QString());
    mQ5Client.RegSave();
    mQ5Client.SetKey(kSaveKey);
    mQ5Client.SetSetting(save ? QStringLiteral("1") : QStringLiteral("0"));
    mQ5Client.RegSave();
}

void frmLogin::cmdCancel_Click() {
    windows::EndProgram(0);
}

void frmLogin::reject() {
    cmdCancel_Click();
}

void frmLogin::closeEvent(QCloseEvent* event) {
    // Closing the window: over a running main window it only goes away;
    // without one there is nothing left, so the program ends.
    event->accept();
    if (windows::Loaded<frmMain>() || windows::ProgramEnding()) {
        hide();
    } else {
        windows::EndProgram(0);
    }
}

void frmLogin::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return;
    if (in_click_) {
        dismissed_pending_ = true;
    } else {
        emit Dismissed();
    }
}

}  // namespace q5
