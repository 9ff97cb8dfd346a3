// TrayIcon: the program's icon in the desktop's tray (the status notifier
// where the desktop has one). Its picture and tooltip say whether the
// session is logged in and how many calls wait; its menu shows the main
// window, the call control, the mailbox editor and the greeting manager, or
// quits. While it is shown and the user keeps the program in the tray
// (Setting::KeepInTray), closing the main window only hides it: the session
// and the call control's event log keep running. The user is told so once.
//
// Without a tray nothing of this happens: the icon stays hidden and the main
// window's close ends the program as before.
//
// Thread rule: UI thread only.
#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

class QAction;
class QMenu;

namespace q5 {

class Session;
class WindowManager;

namespace shell {

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // Says whether the desktop has a tray; by default Qt's answer.
    using Availability = std::function<bool()>;

    TrayIcon(Session& session, WindowManager& windows, Availability available = {});
    ~TrayIcon() override;

    bool Available() const;
    // Shows the icon when there is a tray (the main window has opened).
    void Show();
    bool Shown() const { return shown_; }
    // A tray is there and the user keeps the program in it.
    bool KeepsRunning() const;
    // Asked as the main window closes: true when it is to hide instead. The
    // first time it says so it tells the user why the program goes on.
    bool HideMainWindowOnClose();

    QSystemTrayIcon& icon() { return icon_; }
    QMenu* menu() const { return menu_; }
    QAction* showAction() const { return show_; }
    QAction* callControlAction() const { return call_control_; }
    QAction* mailboxAction() const { return mailbox_; }
    QAction* greetingsAction() const { return greetings_; }
    QAction* quitAction() const { return quit_; }

    // Brings the main window back (or the login dialog before a login).
    void ShowMainWindow();
    // Ends the program as closing the main window always did: windows with
    // unsaved edits ask first, and Cancel keeps it running.
    void Quit();

    // When the main window is hidden in the tray: shows it and says true.
    bool ShowIfHidden();

private:
    void Update();
    QIcon Picture(bool logged_in, int waiting) const;

    Session& session_;
    WindowManager& windows_;
    Availability available_;
    QSystemTrayIcon icon_;
    QMenu* menu_;
    QAction* show_;
    QAction* call_control_;
    QAction* mailbox_;
    QAction* greetings_;
    QAction* quit_;
    bool shown_ = false;
};

}  // namespace shell
}  // namespace q5
