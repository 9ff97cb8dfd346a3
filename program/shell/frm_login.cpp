#include "shell/frm_login.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "shell/bstr_text.h"
#include "shell/busy_cursor.h"
#include "shell/log_categories.h"
#include "shell/message_service.h"
#include "shell/resolve_captions.h"
#include "shell/secret_store.h"
#include "shell/session.h"
#include "shell/shell_logic.h"
#include "shell/tls_trust.h"
#include "ui_frm_login.h"

namespace q5 {

namespace {

using shell::Setting;

}  // namespace

void frmLogin::TellNoSecretStore(const QString& why) {
    if (shared_.no_secret_store_told) return;
    shared_.no_secret_store_told = true;
    // A window of its own, not a modal box: the login goes on to the main
    // window, whose keep-alive runs while the notice is open.
    auto* notice =
        new QMessageBox(QMessageBox::Information, QString::fromLatin1(shell::kAppTitle),
                        tr("Your password was not remembered: no password keyring (secret store) is running "
                           "on this desktop.\n\nYour user name and host were remembered. Type your password "
                           "when you log in next time."),
                        QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("noSecretStoreNotice"));
    notice->setWindowModality(Qt::NonModal);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    if (!why.isEmpty()) notice->setDetailedText(why);
    shared_.no_secret_store_notice = notice;
    notice->show();
}

namespace {

// The store's address of a login key: "Login/&Password:".
QString SecretKeyOf(Setting setting) {
    const shell::SettingKey& key = shell::Settings::KeyOf(setting);
    return QString::fromLatin1(key.section) + QLatin1Char('/') + QString::fromLatin1(key.key);
}

}  // namespace

QString frmLogin::PasswordSecretKey() {
    return SecretKeyOf(Setting::Password);
}

QString frmLogin::PasswordOwnerSecretKey() {
    return SecretKeyOf(Setting::UserName);
}

frmLogin::frmLogin(Session& session, WindowManager& windows, LoginShared& shared)
    : session_(session), windows_(windows), shared_(shared), ui_(new Ui::frmLogin) {
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
    ui_->Text1->setText(settings_.AdministratorText(Setting::Host));
    // Only a stored number sets the box; anything else leaves it unchecked.
    bool numeric = false;
    const int saved = shell::TrimBlanks(settings_.Text(Setting::SaveSettings)).toInt(&numeric);
    ui_->Check1->setChecked(numeric && saved == 1);
    if (ui_->Check1->isChecked()) {
        ui_->txtUserName->setText(settings_.Text(Setting::UserName));
        // Files written before the password moved to the secret store may
        // still hold it; the next login clears it there.
        QString password = settings_.Text(Setting::Password);
        // The secret store's password only for the user it was kept for.
        const QString owner = shell::TrimBlanks(ui_->txtUserName->text());
        if (password.isEmpty() && !owner.isEmpty() &&
            shell::SecretStore::Read(PasswordOwnerSecretKey()) == owner) {
            password = shell::SecretStore::Read(PasswordSecretKey()).value_or(QString());
        }
        ui_->txtPassword->setText(password);
        ui_->Text1->setText(settings_.Text(Setting::Host));
    }
    if (!shared_.prefill_host.isEmpty()) ui_->Text1->setText(shared_.prefill_host);
    if (!shared_.prefill_user.isEmpty()) {
        // Another mailbox than the remembered one: not its password.
        if (shell::TrimBlanks(ui_->txtUserName->text()) != shell::TrimBlanks(shared_.prefill_user))
            ui_->txtPassword->clear();
        ui_->txtUserName->setText(shared_.prefill_user);
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
            qCDebug(shell::lcSession).noquote()
                << "connecting to" << QStringLiteral("%1:%2").arg(target.host).arg(target.port);
            hr = session_.Call(this, [&](const SessionViews& views) {
                return views.connect ? views.connect->Connect(host.Get(), target.port, 0) : E_POINTER;
            });
        }
        if (!self) return;
        if (FAILED(hr)) {
            qCInfo(shell::lcSession).noquote() << "connect failed:" << shell::CodeText(hr);
            OnConnectFailed(hr);
        } else {
            // With its pin, so the event log's connection accepts the same certificate.
            session_.setHost(shell::HostWithStoredPin(QString::fromLatin1(shell::kAppTitle),
                                                      shell::TrimBlanks(ui_->Text1->text())));
            session_.setUserName(shell::TrimBlanks(ui_->txtUserName->text()));
            session_.setPassword(shell::TrimBlanks(ui_->txtPassword->text()));
            // Scope 2: the login.
            {
                shell::BusyCursor busy;
                BStr user = ToBStr(session_.userName());
                BStr password = ToBStr(session_.password());
                hr = session_.Call(this, [&](const SessionViews& views) {
                    return views.connect->Login(user.Get(), password.Get());
                });
            }
            if (!self) return;
            if (FAILED(hr)) {
                // The user name only: the password never goes to the log.
                qCInfo(shell::lcSession).noquote()
                    << "login failed for mailbox" << session_.userName() << "with" << shell::CodeText(hr);
                shell::ErrorOf(hr);  // the record is not shown; drop it (the box's log line gives its code)
                shell::MessageRequest request;
                request.text = tr("Incorrect Username or Password");
                request.title = tr("Login Failed");
                request.icon = shell::MsgIcon::warning;
                shell::MessageService::Show(request, this);
            } else {
                qCInfo(shell::lcSession).noquote() << "logged in as mailbox" << session_.userName();
                const bool was_modal = windowModality() != Qt::NonModal;
                hide();
                session_.setLoggedIn(true);
                RememberSettings();
                // From the start-up, the start-up routine opens the main
                // window; a later login opens it here if it is not open.
                if (!was_modal && !windows_.ProgramEnding() && !windows_.Loaded(WindowKind::Main)) {
                    windows_.Load(WindowKind::Main).show();
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
        shell::MessageRequest request{shell::TrustQuestion(refusal), tr("Untrusted Server Certificate"),
                                      shell::MsgButtons::yes_no, shell::MsgIcon::warning,
                                      shell::MsgAnswer::no};
        if (shell::MessageService::Show(request, this) != shell::MsgAnswer::yes) return;
        shell::StorePin(QString::fromLatin1(shell::kAppTitle), ui_->Text1->text(), refusal.fingerprint);
        QTimer::singleShot(0, this, &frmLogin::cmdOK_Click);
        return;
    }
    if (refusal.kind == shell::CertificateRefusal::Kind::changed) {
        shell::MessageService::Show(
            {shell::ChangedCertificateWarning(refusal), tr("Server Certificate Changed"),
             shell::MsgButtons::ok, shell::MsgIcon::critical, shell::MsgAnswer::ok},
            this);
        return;
    }
    if (hr == E_CONNECTION_LOST) {
        hide();
        shell::MessageRequest request;
        request.text =
            tr("Can not establish connection with Q5Server. Please verify that Q5 is running before "
               "re-attempting to "
               "log in");
        request.title = tr("No Connection");
        request.buttons = shell::MsgButtons::ok_cancel;
        if (shell::MessageService::Show(request) == shell::MsgAnswer::ok) {
            windows_.UnloadAllWindows();
            windows_.Load<frmLogin>().ShowNonModal();
        } else {
            windows_.EndProgram(0);
        }
        return;
    }
    shell::MessageRequest request;
    request.text = error.description + shell::ErrorNumberText(hr);
    shell::MessageService::Show(request, this);
}

void frmLogin::RememberSettings() {
    const bool save = ui_->Check1->isChecked();
    settings_.SetText(Setting::UserName, save ? ui_->txtUserName->text() : QString());
    // The settings file keeps the key, empty: the password itself goes to
    // the secret store, or nowhere when there is none.
    settings_.SetText(Setting::Password, QString());
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
    settings_.SetText(Setting::Host, save ? ui_->Text1->text() : QString());
    settings_.SetText(Setting::SaveSettings, save ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmLogin::cmdCancel_Click() {
    windows_.EndProgram(0);
}

void frmLogin::reject() {
    cmdCancel_Click();
}

void frmLogin::closeEvent(QCloseEvent* event) {
    // Closing the window: over a running main window it only goes away;
    // without one there is nothing left, so the program ends.
    event->accept();
    if (windows_.Loaded(WindowKind::Main) || windows_.ProgramEnding()) {
        hide();
    } else {
        windows_.EndProgram(0);
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
