#include "shell/server_wait.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QWindow>

#include <algorithm>

#include "shell/log_categories.h"
#include "shell/session.h"

namespace q5 {

struct ServerWaitIndicator::Wait {
    QObject* waiter = nullptr;  // identity only: compared, never used
    QPointer<QWidget> window;   // whose input is held (top-level window or MDI frame)
    QPointer<QWidget> host;     // where the panel goes (the window, or the MDI frame's form)
    QPointer<QFrame> panel;
    QPointer<QPushButton> cancel;
    QPointer<QWidget> focus_before;  // the window's focus when the panel came
    QTimer delay;
};

namespace {

// True for the events by which the user acts on a window.
bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Gesture:
        case QEvent::NativeGesture:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

ServerWaitIndicator::ServerWaitIndicator(Session& session, QObject* parent)
    : QObject(parent), session_(session) {
    connect(&session_, &Session::waitStarted, this, &ServerWaitIndicator::OnWaitStarted);
    connect(&session_, &Session::waitEnded, this, &ServerWaitIndicator::OnWaitEnded);
    QCoreApplication::instance()->installEventFilter(this);
}

ServerWaitIndicator::~ServerWaitIndicator() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
    for (const auto& wait : waits_) delete wait->panel.data();
}

void ServerWaitIndicator::OnWaitStarted(QObject* waiter) {
    auto wait = std::make_unique<Wait>();
    wait->waiter = waiter;
    // The nearest widget at or above the waiter.
    QObject* object = waiter;
    while (object && !object->isWidgetType()) object = object->parent();
    for (auto* widget = static_cast<QWidget*>(object); widget; widget = widget->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(widget)) {
            wait->window = frame;
            wait->host = frame->widget() ? frame->widget() : frame;
            break;
        }
        if (widget->isWindow()) {
            wait->window = widget;
            wait->host = widget;
            break;
        }
    }
    Wait& added = *wait;
    waits_.push_back(std::move(wait));
    if (!added.window) return;
    added.delay.setSingleShot(true);
    added.delay.setInterval(kShowDelayMs);
    connect(&added.delay, &QTimer::timeout, this, [this, &added] { ShowPanel(added); });
    added.delay.start();
}

void ServerWaitIndicator::OnWaitEnded(QObject* waiter) {
    // Nested waits end innermost first.
    const auto it = std::find_if(waits_.rbegin(), waits_.rend(),
                                 [waiter](const auto& wait) { return wait->waiter == waiter; });
    if (it == waits_.rend()) return;
    std::unique_ptr<Wait> wait = std::move(*it);
    waits_.erase(std::next(it).base());
    wait->delay.stop();
    if (QFrame* panel = wait->panel.data()) {
        // A click on Cancel took the focus: give it back to where it was.
        if (QWidget* window = wait->window.data(); window && wait->focus_before) {
            if (QWidget* focused = window->focusWidget(); focused && panel->isAncestorOf(focused)) {
                wait->focus_before->setFocus(Qt::OtherFocusReason);
            }
        }
        panel->hide();
        // The panel may be on the stack (its button's click).
        panel->deleteLater();
    }
}

void ServerWaitIndicator::ShowPanel(Wait& wait) {
    QWidget* host = wait.host.data();
    if (!host || wait.panel) return;
    auto* panel = new QFrame(host);
    panel->setObjectName(QStringLiteral("serverWaitPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Window);
    auto* layout = new QBoxLayout(QBoxLayout::LeftToRight, panel);
    auto* label = new QLabel(tr("Waiting for the server..."), panel);
    label->setObjectName(QStringLiteral("serverWaitLabel"));
    auto* cancel = new QPushButton(tr("Cancel"), panel);
    cancel->setObjectName(QStringLiteral("serverWaitCancel"));
    cancel->setAutoDefault(false);
    layout->addWidget(label);
    layout->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, [this] {
        qCInfo(shell::lcSession) << "the user cancelled the wait for the server";
        session_.Cancel();
    });
    wait.panel = panel;
    wait.cancel = cancel;
    wait.focus_before = wait.window ? wait.window->focusWidget() : nullptr;
    PlacePanel(wait);
    panel->show();
    panel->raise();
}

void ServerWaitIndicator::PlacePanel(Wait& wait) const {
    QWidget* host = wait.host.data();
    QFrame* panel = wait.panel.data();
    if (!host || !panel) return;
    const QRect area = host->rect();
    // Side by side where the window is wide enough, else the text wraps
    // above the button.
    auto* layout = static_cast<QBoxLayout*>(panel->layout());
    auto* label = panel->findChild<QLabel*>(QStringLiteral("serverWaitLabel"));
    layout->setDirection(QBoxLayout::LeftToRight);
    label->setWordWrap(false);
    layout->activate();
    QSize hint = panel->sizeHint();
    if (hint.width() > area.width()) {
        layout->setDirection(QBoxLayout::TopToBottom);
        label->setWordWrap(true);
        layout->activate();
        hint = panel->sizeHint();
        hint.setWidth(std::min(hint.width(), area.width()));
        if (panel->hasHeightForWidth()) hint.setHeight(panel->heightForWidth(hint.width()));
    }
    const int width = std::min(hint.width(), std::max(area.width(), 1));
    const int height = std::min(hint.height(), std::max(area.height(), 1));
    panel->setGeometry(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2, width,
                       height);
}

QWidget* ServerWaitIndicator::PanelOf(const QWidget* window) const {
    for (auto it = waits_.rbegin(); it != waits_.rend(); ++it) {
        const Wait& wait = **it;
        if (wait.panel && (wait.window == window || wait.host == window)) return wait.panel.data();
    }
    return nullptr;
}

ServerWaitIndicator::Wait* ServerWaitIndicator::HoldingWait(const QWidget* widget) const {
    for (const QWidget* at = widget; at; at = at->parentWidget()) {
        for (auto it = waits_.rbegin(); it != waits_.rend(); ++it) {
            Wait& wait = **it;
            // The panel is the one part of a waiting window that takes input.
            if (wait.panel == at) return nullptr;
            if (wait.window == at) return &wait;
        }
        if (at->isWindow()) break;
    }
    return nullptr;
}

bool ServerWaitIndicator::IsHeld(const QWidget* widget) const {
    return HoldingWait(widget) != nullptr;
}

bool ServerWaitIndicator::HoldsAtWindow(QWindow* window, QEvent* event) const {
    // Mouse input is stopped before the window hands it to a widget: a press
    // there would already move the focus (and a text box losing it runs
    // its window's code).
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            break;
        default:
            return false;
    }
    QWidget* top = nullptr;
    for (const auto& wait : waits_) {
        if (wait->window && wait->window->window()->windowHandle() == window) {
            top = wait->window->window();
            break;
        }
    }
    if (!top) return false;
    const QPoint at = static_cast<QSinglePointEvent*>(event)->position().toPoint();
    QWidget* under = top->childAt(at);
    return HoldingWait(under ? under : top) != nullptr;
}

bool ServerWaitIndicator::eventFilter(QObject* watched, QEvent* event) {
    if (waits_.empty()) return false;
    if (watched->isWindowType()) {
        if (!HoldsAtWindow(static_cast<QWindow*>(watched), event)) return false;
        event->accept();
        return true;
    }
    if (!watched->isWidgetType()) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::Resize) {
        for (const auto& wait : waits_) {
            if (wait->host == watched) PlacePanel(*wait);
        }
        return false;
    }
    if (!IsInput(type)) return false;
    auto* widget = static_cast<QWidget*>(watched);
    Wait* wait = HoldingWait(widget);
    if (!wait) return false;
    switch (type) {
        case QEvent::Close:
            // Only the window system's request: the program's own closing
            // (its end, a re-login) goes on.
            if (!event->spontaneous()) return false;
            event->ignore();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            event->ignore();
            return true;
        case QEvent::KeyPress:
            // Escape is the Cancel button's key once the panel shows.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && wait->cancel &&
                !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
                wait->cancel->click();
            }
            break;
        default:
            break;
    }
    // Accepted, so neither the parents nor the shortcuts see it.
    event->accept();
    return true;
}

}  // namespace q5
