#include "mailbox/activation.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

namespace q5::mailbox {

ActivationWatch::ActivationWatch(QWidget* form, std::function<void()> on_activate)
    : QObject(form), form_(form), on_activate_(std::move(on_activate)) {
    form->installEventFilter(this);
}

void ActivationWatch::HookFrame() {
    auto* frame = qobject_cast<QMdiSubWindow*>(form_->parentWidget());
    if (!frame || frame == frame_) return;
    frame_ = frame;
    connect(frame, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (!(before & Qt::WindowActive) && (now & Qt::WindowActive)) on_activate_();
            });
}

bool ActivationWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::ParentChange:
                HookFrame();
                break;
            case QEvent::WindowActivate:
                if (!frame_) on_activate_();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace q5::mailbox
