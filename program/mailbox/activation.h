// ActivationWatch: calls a window's activation handler each time the window
// becomes the active one, whether it stands alone (WindowActivate) or is a
// child of the main window's MDI area (its frame turning active).
//
// Thread rule: UI thread only.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QMdiSubWindow;
class QWidget;

namespace q5::mailbox {

class ActivationWatch : public QObject {
    Q_OBJECT

public:
    ActivationWatch(QWidget* form, std::function<void()> on_activate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookFrame();

    QWidget* form_;
    std::function<void()> on_activate_;
    QPointer<QMdiSubWindow> frame_;
};

}  // namespace q5::mailbox
