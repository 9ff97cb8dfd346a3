#include "shell/program.h"

#include <QCoreApplication>

#include "calls/register_windows.h"
#include "greetings/register_windows.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "shell/frm_about.h"
#include "shell/frm_desktop_settings.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/library_registration.h"
#include "shell/message_service.h"
#include "shell/shell_logic.h"

namespace q5 {

int AskSave() {
    shell::MessageRequest request;
    request.text = QCoreApplication::translate("Program", "Fields have been changed. Do you want to save?");
    request.title = QCoreApplication::translate("Program", "Fields changed");
    request.buttons = shell::MsgButtons::yes_no_cancel;
    request.default_button = shell::MsgAnswer::no;
    request.icon = shell::MsgIcon::warning;
    switch (shell::MessageService::Show(request)) {
        case shell::MsgAnswer::yes:
            return 0;
        case shell::MsgAnswer::no:
            return 1;
        default:
            return 2;
    }
}

bool MayCloseAfterAskingToSave(const std::function<bool()>& save, bool closing_anyway) {
    switch (AskSave()) {
        case 0:
            return save() || closing_anyway;
        case 1:
            return true;
        default:
            return false;
    }
}

Program::Program(shell::TrayIcon::Availability tray_available)
    : windows_(session_),
      wait_indicator_(session_),
      tray_(session_, windows_, std::move(tray_available)),
      show_requests_([this] { return tray_.ShowIfHidden(); }) {
    RegisterWindows();
}

Program::~Program() {
    windows_.DestroyAllWindows();
    delete login_shared_.no_secret_store_notice.data();
    session_.Release();
}

void Program::RegisterWindows() {
    Session& session = session_;
    WindowManager& windows = windows_;
    windows.Register(WindowKind::About, [&windows] { return new frmAbout(windows); });
    windows.Register(WindowKind::Login,
                     [this, &session, &windows] { return new frmLogin(session, windows, login_shared_); });
    windows.Register(WindowKind::Main, [this, &session, &windows] {
        auto* main = new frmMain(session, windows);
        main->SetHideOnClose([this] { return tray_.HideMainWindowOnClose(); });
        tray_.Show();
        return main;
    });
    windows.Register(WindowKind::DesktopSettings, [this, &windows] {
        return new frmDesktopSettings(windows, [this] { return tray_.Available(); });
    });
    windows.Register(WindowKind::Mbx, [&session, &windows] { return new frmMbx(session, windows); });
    windows.Register(WindowKind::Advanced,
                     [&session, &windows] { return new frmAdvanced(session, windows); });
    windows.Register(WindowKind::CallOut, [&session, &windows] { return new frmCallOut(session, windows); });
    windows.Register(WindowKind::ConversionTable,
                     [&session, &windows] { return new frmConversionTable(session, windows); });

    calls::RegisterWindows(windows);
    greetings::RegisterWindows(windows);
}

bool Program::Start(const Options& options) {
    if (!lock_.TryLock()) {
        // A program hidden in the tray shows itself instead.
        if (shell::AskRunningInstanceToShow()) {
            exit_code_ = 0;
            return false;
        }
        shell::MessageRequest request;
        request.text = QCoreApplication::translate("Program", "Q5Controller is already running");
        request.title = QCoreApplication::translate("Program", "Duplicate");
        request.icon = shell::MsgIcon::warning;
        shell::MessageService::Show(request);
        exit_code_ = 1;
        return false;
    }

    show_requests_.Listen();  // without it a second start is refused, as before

    const shell::RegistrationResult registration = shell::EnsureClientClassRegistered(options.program_dir);
    if (!registration.ok) {
        shell::MessageRequest request;
        request.text = registration.problem +
                       QCoreApplication::translate(
                           "Program",
                           "\n\nRegister the library for this user with\n    q5regsvr %1\nand start "
                           "the program again.")
                           .arg(registration.library.isEmpty() ? QStringLiteral("/path/to/libq5client.so")
                                                               : registration.library);
        request.icon = shell::MsgIcon::critical;
        shell::MessageService::Show(request);
        exit_code_ = 1;
        return false;
    }

    if (const HRESULT hr = session_.Create(); FAILED(hr)) {
        const shell::ErrorDetails error = shell::ErrorOf(hr);
        shell::MessageRequest request;
        request.text = QCoreApplication::translate(
                           "Program", "The Q5Client session object could not be created (error %1). %2")
                           .arg(shell::ErrorNumberText(hr), error.description);
        request.icon = shell::MsgIcon::critical;
        shell::MessageService::Show(request);
        exit_code_ = 1;
        return false;
    }

    login_shared_.prefill_host = options.host;
    login_shared_.prefill_user = options.user;
    frmLogin& login = windows_.Load<frmLogin>();
    startup_login_ = &login;
    connect(&login, &frmLogin::Dismissed, this, &Program::AfterStartupLogin, Qt::SingleShotConnection);
    login.ShowModal();
    return true;
}

void Program::AfterStartupLogin() {
    if (windows_.ProgramEnding()) return;
    if (session_.loggedIn()) {
        if (windows_.Loaded<frmMain>()) return;
        frmMain& main = windows_.Load<frmMain>();
        // Started minimised: the window waits in the tray.
        if (!(tray_.Shown() && shell::Settings().Number(shell::Setting::StartMinimised) != 0)) main.show();
        return;
    }
    windows_.Load<frmLogin>().ShowNonModal();
}

}  // namespace q5
