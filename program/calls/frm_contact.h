// frmContact: a contact's window, opened by the contact pop-up without
// blocking the program: name, organisation, the eleven telephone fields,
// e-mail and notes. Save writes the contact's vCard file (atomically) into
// the store the window was opened on. Any number of contact windows may be
// open; each deletes itself when closed.
//
// Thread rule: UI thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "calls/contact_store.h"

class QLineEdit;

namespace Ui {
class frmContact;
}

namespace q5 {

class frmContact : public QWidget {
    Q_OBJECT

public:
    // Shows `contact` from `store` (a new contact when its id is empty).
    frmContact(std::unique_ptr<calls::ContactStore> store, calls::Contact contact);
    ~frmContact() override;
    Ui::frmContact* ui() const { return ui_; }
    const calls::Contact& contact() const { return contact_; }
    bool isNewContact() const { return contact_.id.isEmpty(); }

    std::array<QLineEdit*, calls::kPhoneFieldCount> txtPhone{};

    // The contact windows open now, oldest first.
    static std::vector<frmContact*> OpenWindows();
    // Closes (and deletes) every contact window.
    static void CloseAll();

public slots:
    // Writes the shown fields; false (and the reason in the window) on failure.
    bool cmdSave_Click();

private:
    void ShowContact();
    std::unique_ptr<calls::ContactStore> store_;
    calls::Contact contact_;
    Ui::frmContact* ui_;
};

}  // namespace q5
