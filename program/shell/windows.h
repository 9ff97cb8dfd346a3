// The program's windows: each is loaded at most once, on first use (as a
// form of the program), and stays loaded while hidden until it is unloaded.
// Unloading hides a window and deletes it once control is back in the event
// loop; the next Load makes a fresh one.
//
// Thread rule: UI thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include <type_traits>

#include "shell/window_manager.h"

namespace q5 {

class frmAbout;
class frmAdvanced;
class frmCallControl;
class frmCallOut;
class frmConversionTable;
class frmGreeting;
class frmLogin;
class frmMain;
class frmMbx;
class frmPIMSetup;
class frmProperties;

namespace windows {

// Interim, until the program is put together around WindowManager: the
// windows that take the session and the window manager in their
// constructor are made by this manager (its own session, not logged in).
WindowManager& Manager();

namespace detail {
// Hands the logged-in session's values to the manager's session.
void ShareSessionValues();
template <class Form>
constexpr bool kManaged = !std::is_default_constructible_v<Form>;
template <class Form>
QPointer<Form>& Slot() {
    static QPointer<Form> slot;
    return slot;
}
void Dispose(QWidget* form);
}  // namespace detail

// The loaded window of this kind, or nullptr.
template <class Form>
Form* Loaded() {
    return detail::Slot<Form>().data();
}

// The loaded window, loading it (not showing it) when needed.
template <class Form>
Form& Load() {
    QPointer<Form>& slot = detail::Slot<Form>();
    if (!slot) {
        if constexpr (detail::kManaged<Form>) {
            detail::ShareSessionValues();
            slot = &Manager().Load<Form>();
        } else {
            slot = new Form();
        }
    }
    return *slot;
}

// Unloads the window of this kind if it is loaded.
template <class Form>
void Unload() {
    QPointer<Form>& slot = detail::Slot<Form>();
    if (Form* form = slot.data()) {
        slot = nullptr;
        if constexpr (detail::kManaged<Form>) {
            Manager().Unload<Form>();
        } else {
            detail::Dispose(form);
        }
    }
}

// Unloads every window except the PIM setup window, in the order: advanced
// settings, About, call control, call-out settings, conversion table,
// greeting manager, login, main, mailbox editor, properties. The main
// window saves its geometry and ends the server session as it goes.
void UnloadAllWindows();

// Closes the loaded windows that may hold unsaved edits (mailbox editor,
// advanced settings, call-out settings, contact windows) as the user
// would, so each offers to save while the session can still take it. False
// as soon as one stays open (Cancel), leaving the rest as they are.
bool CloseEditingWindows();

// The lost-connection question "Disconnected...": OK opens the login
// dialog for a re-login, Cancel ends the program. The session counts as
// logged out (gLoggedIn) until that login succeeds. Asked once: nothing is
// asked while the question or the login dialog is open.
void OfferReconnect(QWidget* parent);

// Ends the program: every window goes (without the main window's
// shutdown) and the event loops return `code`.
void EndProgram(int code = 0);
// True once EndProgram ran (until DestroyAllWindows).
bool ProgramEnding();
int ProgramExitCode();
// Unloads every window at once and clears the ending state (tests, and the
// program's own exit after its event loop returned).
void DestroyAllWindows();

}  // namespace windows
}  // namespace q5
