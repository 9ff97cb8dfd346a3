#include "calls/frm_contact.h"

#include <QApplication>
#include <QCloseEvent>

#include "shell/dialog_keys.h"
#include "shell/program.h"
#include "ui_frm_contact.h"

namespace q5 {

frmContact::frmContact(std::unique_ptr<calls::ContactStore> store, calls::Contact contact)
    : QWidget(nullptr, Qt::Window),
      store_(std::move(store)),
      contact_(std::move(contact)),
      ui_(new Ui::frmContact) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    for (int i = 0; i < calls::kPhoneFieldCount; ++i) {
        txtPhone[static_cast<std::size_t>(i)] = findChild<QLineEdit*>(QStringLiteral("txtPhone_%1").arg(i));
    }
    connect(ui_->cmdSave, &QPushButton::clicked, this, &frmContact::cmdSave_Click);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    shell::SetDialogButtons(this, ui_->cmdSave, ui_->cmdClose);
    ShowContact();
}

frmContact::~frmContact() {
    delete ui_;
}

void frmContact::ShowContact() {
    ui_->txtFullName->setText(contact_.fullName);
    ui_->txtOrganisation->setText(contact_.organisation);
    for (int i = 0; i < calls::kPhoneFieldCount; ++i) {
        txtPhone[static_cast<std::size_t>(i)]->setText(contact_.phones[static_cast<std::size_t>(i)]);
    }
    ui_->txtEmail->setText(contact_.email);
    ui_->txtNotes->setPlainText(contact_.notes);
    shown_ = Edited();
    const QString name = contact_.DisplayName();
    setWindowTitle(isNewContact() ? tr("New Contact")
                                  : (name.isEmpty() ? tr("Contact") : tr("%1 - Contact").arg(name)));
}

calls::Contact frmContact::Edited() const {
    calls::Contact edited = contact_;
    edited.fullName = ui_->txtFullName->text();
    edited.organisation = ui_->txtOrganisation->text();
    for (int i = 0; i < calls::kPhoneFieldCount; ++i) {
        edited.phones[static_cast<std::size_t>(i)] = txtPhone[static_cast<std::size_t>(i)]->text();
    }
    edited.email = ui_->txtEmail->text();
    edited.notes = ui_->txtNotes->toPlainText();
    return edited;
}

bool frmContact::HasUnsavedEdits() const {
    // Against the fields as shown, which may differ from the card's text
    // (the notes box turns every line end into LF).
    const calls::Contact edited = Edited();
    return edited.fullName != shown_.fullName || edited.organisation != shown_.organisation ||
           edited.phones != shown_.phones || edited.email != shown_.email || edited.notes != shown_.notes;
}

void frmContact::closeEvent(QCloseEvent* event) {
    // A save that fails keeps the window, its edits and the reason.
    if (HasUnsavedEdits() && !MayCloseAfterAskingToSave([this] { return cmdSave_Click(); }, false)) {
        event->ignore();
        return;
    }
    event->accept();
}

bool frmContact::cmdSave_Click() {
    calls::Contact edited = Edited();
    QString error;
    if (!store_ || !store_->Save(edited, &error)) {
        ui_->lblStatus->setText(tr("Not saved: ") + error);
        return false;
    }
    contact_ = std::move(edited);
    ShowContact();
    ui_->lblStatus->setText(tr("Saved"));
    return true;
}

namespace calls {

ContactWindows::ContactWindows(QObject* parent) : QObject(parent) {}

ContactWindows::~ContactWindows() {
    DestroyAll();
}

void ContactWindows::Add(frmContact* window) {
    std::erase_if(open_, [](const QPointer<frmContact>& p) { return !p; });
    open_.emplace_back(window);
}

std::vector<frmContact*> ContactWindows::OpenWindows() const {
    std::vector<frmContact*> windows;
    for (const QPointer<frmContact>& p : open_) {
        if (p) windows.push_back(p.data());
    }
    return windows;
}

bool ContactWindows::CloseAll() {
    for (frmContact* window : OpenWindows()) {
        if (!window->close()) return false;
    }
    return true;
}

void ContactWindows::DestroyAll() {
    for (frmContact* window : OpenWindows()) delete window;
    open_.clear();
}

}  // namespace calls
}  // namespace q5
