// frmMain: the main window, an MDI frame. It shows the call control,
// greeting manager, call-out settings, conversion table and advanced
// settings windows as its children (never smaller than their content; the
// area scrolls to a child larger than itself) and opens the mailbox editor,
// PIM setup and properties windows on their own; keeps the server session alive
// every 64 seconds; saves its geometry (in twips) and ends the server
// session when it closes.
//
// Thread rule: UI thread only.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <functional>

#include "q5client/com.h"
#include "shell/settings.h"
#include "shell/window_manager.h"

namespace Ui {
class frmMain;
}

class QMdiArea;
class QMdiSubWindow;

namespace q5 {

class Session;
struct SessionViews;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr WindowKind kWindowKind = WindowKind::Main;
    // The keep-alive's call on the session thread; by default the session
    // object's KeepAlive (tests put a failing one in place).
    using KeepAliveCall = std::function<HRESULT(const SessionViews&)>;

    frmMain(Session& session, WindowManager& windows, KeepAliveCall keep_alive = {});
    ~frmMain() override;

    Ui::frmMain* ui() const { return ui_; }
    QMdiArea* mdiArea() const;

    QTimer Timer1;  // keep-alive, every 64 s from load

    // Show operations: children of the MDI area, or windows of their own.
    void ShowCallControl();
    void ShowGreeting();
    void ShowCallOut();
    void ShowConversionTable();
    void ShowAdvanced();
    void ShowMbx();
    void ShowPIMSetup();
    void ShowProperties();
    void ShowAbout();
    void ShowDesktopSettings();

    // Asked when the user closes the window: true keeps the program running
    // with the window hidden (the tray's choice). Unset: the program ends.
    void SetHideOnClose(std::function<bool()> hide) { hide_on_close_ = std::move(hide); }
    // Ends the program as closing the window does without a tray: windows
    // with unsaved edits ask first (Cancel keeps everything), then the
    // unload steps. Works while the window is hidden.
    void QuitProgram();

    // The window's unload: geometry saved unless minimised, then Quit and
    // Close on the session. Runs once.
    void Form_Unload();
    // A keep-alive was sent and its answer is not handled yet.
    bool keepAliveInFlight() const { return in_keep_alive_; }
    // Leave without the unload steps (the program ends at once).
    void SkipShutdown() { unloaded_ = true; }

    // Geometry as stored: left, top, width, height in twips.
    static void StoredGeometry(int& left, int& top, int& width, int& height);

public slots:
    void Timer1_Timer();
    void mnuStartCallControl_Click() { ShowCallControl(); }
    void mnuPIMSetup_Click() { ShowPIMSetup(); }
    void mnuHelpAbout_Click() { ShowAbout(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void KeepAliveAnswered(HRESULT hr);
    // Loads the window of this kind and shows it in the MDI area (`own`:
    // as a window of its own). Nothing while it is still loading.
    void ShowKind(WindowKind kind, bool own);
    void ShowChild(QWidget* form);
    void ShowOwn(QWidget* form);
    void KeepChildrenInSight();
    void UpdateClock();
    void ReadScreening();
    double Dpi() const;

    Session& session_;
    WindowManager& windows_;
    KeepAliveCall keep_alive_;
    std::function<bool()> hide_on_close_;
    bool quitting_ = false;
    Ui::frmMain* ui_;
    QLabel* status_panel_ = nullptr;
    QLabel* date_panel_ = nullptr;
    QLabel* time_panel_ = nullptr;
    QTimer clock_;
    bool unloaded_ = false;
    bool destroying_ = false;
    bool in_keep_alive_ = false;
};

}  // namespace q5
