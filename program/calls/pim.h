// The contact pop-up of the program: the calling number formatted with the
// number pattern in effect (the PIM setup window's pattern box, loaded
// through the window manager on first use), the contact's name for a new
// call, and the contact window for the "PopUp PIM" button. Contacts live in
// the vCard folder in effect: the PIM setup window's folder box, else
// <base>/contacts.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>

#include <memory>

#include "calls/contact_store.h"

namespace q5 {
class WindowManager;
}

namespace q5::calls {

class ContactWindows;

// The folder the contact store uses now.
QString ContactsFolder(WindowManager& windows);
std::unique_ptr<ContactStore> OpenContactStore(WindowManager& windows);

QString FormatCallerNumber(WindowManager& windows, const QString& number);
// The region the caller's and the contacts' national numbers are read in:
// the PIM setup window's region box, else the system locale's territory.
QString PhoneRegion(WindowManager& windows);
// The display name of the contact for the number, or empty (never fails).
QString LookupContactName(WindowManager& windows, const QString& number);
// Opens the contact's window, or a new contact's window with the formatted
// number as its business number, and keeps it in `open`. False with a
// reason when no window could be opened.
bool PopUpContact(WindowManager& windows, ContactWindows& open, const QString& number, QString* error);

}  // namespace q5::calls
