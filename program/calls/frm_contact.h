// frmContact: a contact's window, opened by the contact pop-up without
// blocking the program: name, organisation, the eleven telephone fields,
// e-mail and notes. Save writes the contact's vCard file (atomically) into
// the store the window was opened on. Closing a window whose fields were
// changed asks to save first, as the mailbox windows do: Yes saves (and a
// failed save keeps the window open), No drops the edits, Cancel stays.
// Any number of contact windows may be open; each deletes itself when
// closed. ContactWindows keeps the open ones for the program (it belongs to
// the window manager and closes them when the program ends).
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
    // A shown field differs from the contact as opened or last saved.
    bool HasUnsavedEdits() const;

    std::array<QLineEdit*, calls::kPhoneFieldCount> txtPhone{};

public slots:
    // Writes the shown fields; false (and the reason in the window) on failure.
    bool cmdSave_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    calls::Contact Edited() const;
    void ShowContact();
    std::unique_ptr<calls::ContactStore> store_;
    calls::Contact contact_;
    calls::Contact shown_;  // the fields as ShowContact put them in the boxes
    Ui::frmContact* ui_;
};

namespace calls {

// The open contact windows of the program.
class ContactWindows : public QObject {
    Q_OBJECT

public:
    explicit ContactWindows(QObject* parent = nullptr);
    // Deletes the windows still open.
    ~ContactWindows() override;

    // Keeps `window` until it goes.
    void Add(frmContact* window);
    // The contact windows open now, oldest first.
    std::vector<frmContact*> OpenWindows() const;
    // Closes every window as the user would (each may ask to save); false
    // as soon as one stays open.
    bool CloseAll();
    // Deletes every window at once, without asking.
    void DestroyAll();

private:
    std::vector<QPointer<frmContact>> open_;
};

}  // namespace calls
}  // namespace q5
