// Pieces the mailbox windows share: the toolbar with its "Save" button,
// control arrays found by name ("Text16_3" is Text16(3)), option groups
// and an OK box.
//
// Thread rule: UI thread only.
#pragma once

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QRadioButton>
#include <QString>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

#include <array>

#include "shell/message_service.h"

namespace q5::mailbox {

// A toolbar on top of the form with one button, key and tool tip "Save";
// the platform's save keys (Ctrl+S) press it.
inline QAction* AddSaveToolBar(QWidget* form, QToolBar*& toolbar) {
    toolbar = new QToolBar(form);
    toolbar->setObjectName(QStringLiteral("tbToolBar"));
    QAction* save = toolbar->addAction(QCoreApplication::translate("Mailbox", "Save"));
    save->setObjectName(QStringLiteral("Save"));
    save->setToolTip(QCoreApplication::translate("Mailbox", "Save"));
    save->setShortcut(QKeySequence::Save);
    static_cast<QVBoxLayout*>(form->layout())->insertWidget(0, toolbar);
    return save;
}

template <class T, size_t N>
void Collect(QWidget* form, std::array<T*, N>& into, const QString& name) {
    for (size_t i = 0; i < N; ++i) into[i] = form->findChild<T*>(name + QStringLiteral("_%1").arg(i));
}

template <size_t N>
QButtonGroup* Group(QObject* owner, const std::array<QRadioButton*, N>& buttons) {
    auto* group = new QButtonGroup(owner);
    for (size_t i = 0; i < N; ++i) group->addButton(buttons[i], static_cast<int>(i));
    return group;
}

inline void Inform(const QString& text, QWidget* parent) {
    shell::MessageRequest request;
    request.text = text;
    shell::MessageService::Show(request, parent);
}

}  // namespace q5::mailbox
