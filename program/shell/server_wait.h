// ServerWaitIndicator: what the user sees of a window's wait for the server
// (Session::Call). While a window waits, its input (mouse, keys, wheel,
// touch, drops and the window system's close requests) is held: an
// application event filter swallows it, so the window's code does not run
// again under its own wait, while every other window keeps working. Half a
// second into the wait the window shows a small panel, "Waiting for the
// server..." with a "Cancel" button, the one control of that window that
// takes input; Cancel ends the session's call (Session::Cancel). The panel
// goes when the wait ends.
//
// The waiting window is the waiter's top-level window, or the frame of the
// main window's MDI child that holds the waiter. Waits nest: each waiting
// window shows its own panel.
//
// Thread rule: UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class QEvent;
class QFrame;
class QPushButton;
class QWidget;
class QWindow;

namespace q5 {

class Session;

class ServerWaitIndicator : public QObject {
    Q_OBJECT

public:
    // Half a second: shorter waits pass without a panel.
    static constexpr int kShowDelayMs = 500;

    explicit ServerWaitIndicator(Session& session, QObject* parent = nullptr);
    ~ServerWaitIndicator() override;

    ServerWaitIndicator(const ServerWaitIndicator&) = delete;
    ServerWaitIndicator& operator=(const ServerWaitIndicator&) = delete;

    // The panel a waiting window shows, or null before the delay and for
    // windows that do not wait (tests and the latency benchmark look for its
    // Cancel button).
    QWidget* PanelOf(const QWidget* window) const;
    // True while input to `widget` is held.
    bool IsHeld(const QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Wait;

    void OnWaitStarted(QObject* waiter);
    void OnWaitEnded(QObject* waiter);
    void ShowPanel(Wait& wait);
    void PlacePanel(Wait& wait) const;
    // The wait whose window holds `widget` (innermost first), or null.
    Wait* HoldingWait(const QWidget* widget) const;
    // True for mouse input to a top-level window that lands on a held widget.
    bool HoldsAtWindow(QWindow* window, QEvent* event) const;

    Session& session_;
    std::vector<std::unique_ptr<Wait>> waits_;  // in the order they began
};

}  // namespace q5
