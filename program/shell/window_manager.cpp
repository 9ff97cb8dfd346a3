#include "shell/window_manager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMdiSubWindow>

#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "shell/log_categories.h"
#include "shell/message_service.h"
#include "shell/session.h"

namespace q5 {

namespace {

size_t Index(WindowKind kind) {
    return static_cast<size_t>(kind);
}

}  // namespace

WindowManager::WindowManager(Session& session, QObject* parent) : QObject(parent), session_(session) {}

WindowManager::~WindowManager() = default;

void WindowManager::Register(WindowKind kind, Factory factory) {
    factories_[Index(kind)] = std::move(factory);
}

void WindowManager::AddEditingWindows(std::function<bool()> close_all) {
    editing_windows_.push_back(std::move(close_all));
}

QWidget* WindowManager::Loaded(WindowKind kind) const {
    return slots_[Index(kind)].data();
}

QWidget& WindowManager::Load(WindowKind kind) {
    QPointer<QWidget>& slot = slots_[Index(kind)];
    if (!slot) {
        const Factory& factory = factories_[Index(kind)];
        if (!factory) qFatal("q5client: no window registered for kind %d", static_cast<int>(kind));
        if (loading_[Index(kind)])
            qFatal("q5client: window kind %d loaded while it loads", static_cast<int>(kind));
        loading_[Index(kind)] = true;
        QWidget* made = factory();
        loading_[Index(kind)] = false;
        slot = made;
    }
    return *slot;
}

void WindowManager::Unload(WindowKind kind) {
    QPointer<QWidget>& slot = slots_[Index(kind)];
    if (QWidget* form = slot.data()) {
        slot = nullptr;
        Dispose(form);
    }
}

void WindowManager::Dispose(QWidget* form) {
    // A child of the main window's MDI area goes with its frame.
    QWidget* outer = form;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())) outer = frame;
    outer->hide();
    if (session_.IsWaiting(form)) {
        // Its code is still on the stack below the wait: delete it after.
        QPointer<QWidget> later(outer);
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            connect(&session_, &Session::waitEnded, this, [this, form, later, connection](QObject*) {
                if (session_.IsWaiting(form)) return;
                disconnect(*connection);
                if (later) later->deleteLater();
            });
        return;
    }
    outer->deleteLater();
}

void WindowManager::UnloadAllWindows() {
    Unload(WindowKind::Advanced);
    Unload(WindowKind::About);
    Unload(WindowKind::CallControl);
    Unload(WindowKind::CallOut);
    Unload(WindowKind::ConversionTable);
    Unload(WindowKind::Greeting);
    Unload(WindowKind::Login);
    if (auto* main = Loaded<frmMain>()) main->Form_Unload();
    Unload(WindowKind::Main);
    Unload(WindowKind::Mbx);
    Unload(WindowKind::Properties);
    Unload(WindowKind::DesktopSettings);
}

void WindowManager::OfferReconnect(QWidget* parent) {
    // A dead session fails every call of a poll or a save, and calls keep
    // coming: one question at a time, and none while the user is logging
    // in again.
    if (asking_reconnect_ || ending_) return;
    if (auto* login = Loaded<frmLogin>(); login && login->isVisible()) return;
    // Logged out until the login dialog succeeds again.
    session_.setLoggedIn(false);
    qCWarning(shell::lcSession) << "the connection to the server was lost";
    emit sessionLost();
    asking_reconnect_ = true;
    shell::MessageRequest request;
    request.text = QCoreApplication::translate(
        "WindowManager",
        "Connection To Q5Server has been lost. Press OK to reconnect or Cancel to terminate you session.");
    request.title = QCoreApplication::translate("WindowManager", "Disconnected...");
    request.buttons = shell::MsgButtons::ok_cancel;
    const shell::MsgAnswer answer = shell::MessageService::Show(request, parent);
    asking_reconnect_ = false;
    if (answer == shell::MsgAnswer::ok) {
        qCInfo(shell::lcSession) << "reconnecting: the login dialog is shown again";
        if (!ending_) Load<frmLogin>().ShowNonModal();
    } else {
        qCInfo(shell::lcSession) << "the user ended the session instead of reconnecting";
        EndProgram(0);
    }
}

bool WindowManager::CloseEditingWindows() {
    const auto closes = [this](WindowKind kind) {
        QWidget* window = Loaded(kind);
        return window == nullptr || window->close();
    };
    if (!(closes(WindowKind::Mbx) && closes(WindowKind::Advanced) && closes(WindowKind::CallOut)))
        return false;
    for (const auto& close_all : editing_windows_) {
        if (!close_all()) return false;
    }
    return true;
}

void WindowManager::EndProgram(int code) {
    if (ending_) return;
    ending_ = true;
    exit_code_ = code;
    // No shutdown steps: the main window leaves without saving or Quit.
    if (auto* main = Loaded<frmMain>()) main->SkipShutdown();
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(code);
}

void WindowManager::DestroyAllWindows() {
    if (auto* main = Loaded<frmMain>()) main->SkipShutdown();
    for (WindowKind kind :
         {WindowKind::PIMSetup, WindowKind::Advanced, WindowKind::About, WindowKind::CallControl,
          WindowKind::CallOut, WindowKind::ConversionTable, WindowKind::Greeting, WindowKind::Login,
          WindowKind::Main, WindowKind::Mbx, WindowKind::Properties, WindowKind::DesktopSettings}) {
        delete Loaded(kind);
    }
    // Windows unloaded earlier may still wait for their deferred delete.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ending_ = false;
    exit_code_ = 0;
}

}  // namespace q5
