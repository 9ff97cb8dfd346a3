#include "shell/dialog_keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace q5::shell {

namespace {

// Sees the keys the form's controls left unhandled: they reach the form
// after its children ignored them.
class DialogKeyFilter : public QObject {
public:
    DialogKeyFilter(QWidget* form, QAbstractButton* accept, QAbstractButton* reject)
        : QObject(form), form_(form), accept_(accept), reject_(reject) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != form_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers != Qt::NoModifier) return false;
        QAbstractButton* target = nullptr;
        if (key->key() == Qt::Key_Escape) {
            target = reject_;
        } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            target = focused && form_->isAncestorOf(focused) ? focused : accept_.data();
        }
        if (!target || !target->isEnabled() || !target->isVisible()) return false;
        target->click();
        return true;
    }

private:
    QWidget* form_;
    QPointer<QAbstractButton> accept_;
    QPointer<QAbstractButton> reject_;
};

}  // namespace

void SetDialogButtons(QWidget* form, QAbstractButton* accept, QAbstractButton* reject) {
    form->installEventFilter(new DialogKeyFilter(form, accept, reject));
}

}  // namespace q5::shell
