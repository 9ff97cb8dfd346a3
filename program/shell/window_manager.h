// WindowManager: the program's windows, each loaded at most once, on first
// use (as a form of the program), and kept loaded while hidden until it is
// unloaded. Unloading hides a window and deletes it once control is back in
// the event loop; the next Load makes a fresh one. Where the program is put
// together, each kind of window is registered with a function that makes
// one; the shell opens windows by kind and never includes their classes.
//
// A window whose call waits for the server (Session::Call) is not deleted
// while it waits: unloading hides it at once and deletes it when the wait is
// over.
//
// Thread rule: UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

namespace q5 {

class Session;

enum class WindowKind {
    About,
    Advanced,
    CallControl,
    CallOut,
    ConversionTable,
    Greeting,
    Login,
    Main,
    Mbx,
    PIMSetup,
    Properties,
    DesktopSettings,
    Count_
};

class WindowManager : public QObject {
    Q_OBJECT

public:
    using Factory = std::function<QWidget*()>;

    explicit WindowManager(Session& session, QObject* parent = nullptr);
    ~WindowManager() override;

    Session& session() const { return session_; }

    // The function that makes a window of this kind (replaces any earlier).
    void Register(WindowKind kind, Factory factory);
    // Windows that may hold unsaved edits but are not kinds of their own
    // (contact windows): `close_all` closes them as the user would and says
    // whether all went.
    void AddEditingWindows(std::function<bool()> close_all);

    // The loaded window of this kind, or nullptr.
    QWidget* Loaded(WindowKind kind) const;
    // The loaded window, loading it (not showing it) when needed. A kind
    // nobody registered is a programming error (fatal).
    QWidget& Load(WindowKind kind);
    // True while the window of this kind is being made: its constructor
    // may wait for the server, and Load must not be asked for it again.
    bool Loading(WindowKind kind) const { return loading_[static_cast<size_t>(kind)]; }
    // Unloads the window of this kind if it is loaded.
    void Unload(WindowKind kind);

    // Typed forms of the above for classes that name their kind
    // (`static constexpr WindowKind kWindowKind`).
    template <class Form>
    Form* Loaded() const {
        return qobject_cast<Form*>(Loaded(Form::kWindowKind));
    }
    template <class Form>
    Form& Load() {
        return *qobject_cast<Form*>(&Load(Form::kWindowKind));
    }
    template <class Form>
    void Unload() {
        Unload(Form::kWindowKind);
    }

    // Unloads every window except the PIM setup window, in the order:
    // advanced settings, About, call control, call-out settings, conversion
    // table, greeting manager, login, main, mailbox editor, properties,
    // desktop settings. The main window saves its geometry and ends the
    // server session as it goes.
    void UnloadAllWindows();

    // Closes the loaded windows that may hold unsaved edits (mailbox editor,
    // advanced settings, call-out settings, contact windows) as the user
    // would, so each offers to save while the session can still take it.
    // False as soon as one stays open (Cancel), leaving the rest as they are.
    bool CloseEditingWindows();

    // The lost-connection question "Disconnected...": OK opens the login
    // dialog for a re-login, Cancel ends the program. The session counts as
    // logged out until that login succeeds (sessionLost is emitted first).
    // Asked once: nothing is asked while the question or the login dialog is
    // open, or once the program ends.
    void OfferReconnect(QWidget* parent);

    // Ends the program: every window goes (without the main window's
    // shutdown) and the event loops return `code`.
    void EndProgram(int code = 0);
    // True once EndProgram ran (until DestroyAllWindows).
    bool ProgramEnding() const { return ending_; }
    int ProgramExitCode() const { return exit_code_; }
    // Deletes every window at once and clears the ending state (tests, and
    // the program's own exit after its event loop returned).
    void DestroyAllWindows();

signals:
    // The connection to the server was found lost (before the question).
    void sessionLost();

private:
    void Dispose(QWidget* form);

    Session& session_;
    std::array<Factory, static_cast<size_t>(WindowKind::Count_)> factories_;
    std::array<QPointer<QWidget>, static_cast<size_t>(WindowKind::Count_)> slots_;
    std::array<bool, static_cast<size_t>(WindowKind::Count_)> loading_{};
    std::vector<std::function<bool()>> editing_windows_;
    bool asking_reconnect_ = false;
    bool ending_ = false;
    int exit_code_ = 0;
};

}  // namespace q5
