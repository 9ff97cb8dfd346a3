// The contact store behind the contact pop-up: contacts with eleven
// telephone fields, searched by one field with exact text equality, and
// saved one at a time. VCardFolderStore keeps one vCard file (.vcf) per
// contact in a folder, the layout address-book programs and CardDAV sync
// tools share; cards are read and written with libebook-contacts.
//
// A store that cannot be read never fails a search: a missing folder has no
// contacts, and a card that cannot be parsed is skipped (and left alone).
//
// Thread rule: a store object is used by one thread at a time; the program
// uses it on the UI thread only. No widgets.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace q5::calls {

// The telephone fields, in the order the lookup and the pop-up search them.
inline constexpr int kPhoneFieldCount = 11;
enum PhoneField : int {
    BusinessTelephoneNumber = 0,
    Business2TelephoneNumber,
    BusinessFaxNumber,
    CallbackTelephoneNumber,
    CompanyMainTelephoneNumber,
    HomeFaxNumber,
    HomeTelephoneNumber,
    Home2TelephoneNumber,
    MobileTelephoneNumber,
    OtherTelephoneNumber,
    RadioTelephoneNumber,
};
// "BusinessTelephoneNumber" … "RadioTelephoneNumber".
QString PhoneFieldName(int field);
// A short label for the contact window ("Business", "Mobile", …).
QString PhoneFieldLabel(int field);

struct Contact {
    QString id;  // file name inside the store's folder; empty for a new contact
    QString fullName;
    QString organisation;
    QString email;
    QString notes;
    std::array<QString, kPhoneFieldCount> phones;
    QByteArray vcard;  // the card as read, so saving keeps what is not shown

    // The contact as text: its full name, else organisation, else e-mail.
    QString DisplayName() const;
};

class ContactStore {
public:
    virtual ~ContactStore() = default;
    // Every readable contact, in store order (by file name).
    virtual std::vector<Contact> Contacts() = 0;
    // Writes the contact (a new one gets an id); false with a reason on failure.
    virtual bool Save(Contact& contact, QString* error) = 0;
    // The first contact, in store order, whose `field` equals `text` exactly.
    virtual std::optional<Contact> FindFirst(int field, const QString& text);
};

class VCardFolderStore : public ContactStore {
public:
    explicit VCardFolderStore(QString folder) : folder_(std::move(folder)) {}
    const QString& folder() const { return folder_; }

    std::vector<Contact> Contacts() override;
    // Writes <folder>/<id> (mode 0600) through a temporary file renamed over
    // the old one, creating the folder (0700) when missing. A new contact gets a fresh UID and
    // the file name <uid>.vcf.
    bool Save(Contact& contact, QString* error) override;

    // Parses one card; nullopt when it is not a vCard.
    static std::optional<Contact> Parse(const QByteArray& text);
    // The card text of `contact`: its source card with the shown fields
    // replaced, such that every shown field reads back as it is (a field
    // the source card's attributes would lose is written afresh, and a card
    // that still loses one is replaced by a plain card with the same UID).
    static QByteArray Serialize(const Contact& contact);

private:
    QString folder_;
};

}  // namespace q5::calls
