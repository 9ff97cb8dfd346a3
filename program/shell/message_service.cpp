#include "shell/message_service.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/log_categories.h"
#include "shell/shell_logic.h"

namespace q5::shell {

namespace {

MessageResponder& Responder() {
    static MessageResponder responder;
    return responder;
}

QMessageBox::StandardButton ButtonOf(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::ok:
            return QMessageBox::Ok;
        case MsgAnswer::cancel:
            return QMessageBox::Cancel;
        case MsgAnswer::yes:
            return QMessageBox::Yes;
        case MsgAnswer::no:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::none:
            return QMessageBox::NoIcon;
        case MsgIcon::information:
            return QMessageBox::Information;
        case MsgIcon::warning:
            return QMessageBox::Warning;
        case MsgIcon::critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Every box goes to the support log: a failure's box as a warning with the
// failure's code and description, any other warning or error box as a
// warning, the rest (questions, notices) at debug level.
void LogBox(const MessageRequest& request, const QWidget* parent) {
    const QWidget* window = parent ? parent->window() : nullptr;
    const LogArea area = AreaOfWindow(window ? window->metaObject()->className() : nullptr);
    // notr: the support log is written in English for whoever reads it.
    const QString box = QStringLiteral("message box \"%1\": %2").arg(request.title, request.text);
    if (const std::optional<ErrorDetails> failure = TakeLastFailure()) {
        qCWarning(area).noquote() << box << "| failed with" << CodeText(failure->number)
                                  << failure->description;
    } else if (request.icon == MsgIcon::warning || request.icon == MsgIcon::critical) {
        qCWarning(area).noquote() << box;
    } else {
        qCDebug(area).noquote() << box;
    }
}

}  // namespace

MsgAnswer MessageService::Show(const MessageRequest& request, QWidget* parent) {
    LogBox(request, parent);
    if (Responder()) return Responder()(request);
    QMessageBox box(parent);
    box.setWindowTitle(request.title.isEmpty() ? QString::fromLatin1(kAppTitle) : request.title);
    box.setText(request.text);
    box.setIcon(IconOf(request.icon));
    switch (request.buttons) {
        case MsgButtons::ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::ok_cancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::yes_no:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::yes_no_cancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    box.setDefaultButton(ButtonOf(request.default_button));
    // A long wait in a call made before this box must not leave it busy.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    switch (pressed) {
        case QMessageBox::Cancel:
            return MsgAnswer::cancel;
        case QMessageBox::Yes:
            return MsgAnswer::yes;
        case QMessageBox::No:
            return MsgAnswer::no;
        case QMessageBox::Ok:
            return MsgAnswer::ok;
        default:
            if (request.buttons == MsgButtons::yes_no) return MsgAnswer::no;
            return request.buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    }
}

void MessageService::Inform(const QString& text, MsgIcon icon, QWidget* parent) {
    MessageRequest request;
    request.text = text;
    request.title = QString::fromLatin1(kAppTitle);
    request.icon = icon;
    Show(request, parent);
}

MessageResponder MessageService::SetResponder(MessageResponder responder) {
    MessageResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

}  // namespace q5::shell
