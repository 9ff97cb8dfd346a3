#include "shell/windows.h"

#include <QApplication>
#include <QMdiSubWindow>

#include "calls/frm_call_control.h"
#include "calls/frm_contact.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "calls/register_windows.h"
#include "greetings/frm_greeting.h"
#include "greetings/register_windows.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "shell/frm_about.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/message_service.h"
#include "shell/session.h"
#include "shell/session_state.h"

namespace q5::windows {

namespace {

bool g_ending = false;
int g_exit_code = 0;

}  // namespace

WindowManager& Manager() {
    // Made once and kept to the end: its windows may outlive any owner here.
    static WindowManager* const manager = [] {
        auto* made = new WindowManager(*new Session);
        calls::RegisterWindows(*made);
        greetings::RegisterWindows(*made);
        return made;
    }();
    return *manager;
}

void detail::ShareSessionValues() {
    Session& session = Manager().session();
    session.setUserName(gUserName);
    session.setPassword(gPassword);
    session.setHost(gHost);
    session.setLoggedIn(gLoggedIn);
    session.setNameScreening(gNameScreening);
}

void detail::Dispose(QWidget* form) {
    // A child of the main window's MDI area goes with its frame.
    QWidget* outer = form;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())) outer = frame;
    outer->hide();
    outer->deleteLater();
}

void UnloadAllWindows() {
    Unload<frmAdvanced>();
    Unload<frmAbout>();
    Unload<frmCallControl>();
    Unload<frmCallOut>();
    Unload<frmConversionTable>();
    Unload<frmGreeting>();
    Unload<frmLogin>();
    if (frmMain* main = Loaded<frmMain>()) main->Form_Unload();
    Unload<frmMain>();
    Unload<frmMbx>();
    Unload<frmProperties>();
}

void OfferReconnect(QWidget* parent) {
    // A dead session fails every call of a poll or a save, and calls keep
    // coming: one question at a time, and none while the user is logging
    // in again.
    static bool asking = false;
    if (asking) return;
    if (frmLogin* login = Loaded<frmLogin>(); login && login->isVisible()) return;
    // Logged out until the login dialog succeeds again.
    gLoggedIn = false;
    emit Manager().sessionLost();
    asking = true;
    shell::MessageRequest request;
    request.text = QStringLiteral(
        "Connection To Q5Server has been lost. Press OK to reconnect or Cancel to terminate you session.");
    request.title = QStringLiteral("Disconnected...");
    request.buttons = shell::MsgButtons::ok_cancel;
    const shell::MsgAnswer answer = shell::MessageService::Show(request, parent);
    asking = false;
    if (answer == shell::MsgAnswer::ok) {
        if (!ProgramEnding()) Load<frmLogin>().ShowNonModal();
    } else {
        EndProgram(0);
    }
}

bool CloseEditingWindows() {
    const auto closes = [](QWidget* window) { return window == nullptr || window->close(); };
    if (!(closes(Loaded<frmMbx>()) && closes(Loaded<frmAdvanced>()) && closes(Loaded<frmCallOut>())))
        return false;
    return Manager().CloseEditingWindows();
}

void EndProgram(int code) {
    if (g_ending) return;
    g_ending = true;
    g_exit_code = code;
    // No shutdown steps: the main window leaves without saving or Quit.
    if (frmMain* main = Loaded<frmMain>()) main->SkipShutdown();
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(code);
}

bool ProgramEnding() {
    return g_ending;
}

int ProgramExitCode() {
    return g_exit_code;
}

void DestroyAllWindows() {
    if (frmMain* main = Loaded<frmMain>()) main->SkipShutdown();
    delete Loaded<frmPIMSetup>();
    delete Loaded<frmAdvanced>();
    delete Loaded<frmAbout>();
    delete Loaded<frmCallControl>();
    delete Loaded<frmCallOut>();
    delete Loaded<frmConversionTable>();
    delete Loaded<frmGreeting>();
    delete Loaded<frmLogin>();
    delete Loaded<frmMain>();
    delete Loaded<frmMbx>();
    delete Loaded<frmProperties>();
    // Windows unloaded earlier may still wait for their deferred delete.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_ending = false;
    g_exit_code = 0;
}

}  // namespace q5::windows
