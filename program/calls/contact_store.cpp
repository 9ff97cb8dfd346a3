// The vCard library's headers come first: GLib names struct members
// "signals", which Qt defines as a keyword macro.
#include <libebook-contacts/libebook-contacts.h>

#include "calls/contact_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

#include <memory>
#include <utility>
#include <vector>

namespace q5::calls {
namespace {

constexpr EContactField kPhoneFields[kPhoneFieldCount] = {
    E_CONTACT_PHONE_BUSINESS, E_CONTACT_PHONE_BUSINESS_2, E_CONTACT_PHONE_BUSINESS_FAX,
    E_CONTACT_PHONE_CALLBACK, E_CONTACT_PHONE_COMPANY,    E_CONTACT_PHONE_HOME_FAX,
    E_CONTACT_PHONE_HOME,     E_CONTACT_PHONE_HOME_2,     E_CONTACT_PHONE_MOBILE,
    E_CONTACT_PHONE_OTHER,    E_CONTACT_PHONE_RADIO,
};

constexpr const char* kFieldNames[kPhoneFieldCount] = {
    "BusinessTelephoneNumber", "Business2TelephoneNumber",   "BusinessFaxNumber",
    "CallbackTelephoneNumber", "CompanyMainTelephoneNumber", "HomeFaxNumber",
    "HomeTelephoneNumber",     "Home2TelephoneNumber",       "MobileTelephoneNumber",
    "OtherTelephoneNumber",    "RadioTelephoneNumber",
};

constexpr const char* kFieldLabels[kPhoneFieldCount] = {
    QT_TRANSLATE_NOOP("Contacts", "Business"),     QT_TRANSLATE_NOOP("Contacts", "Business 2"),
    QT_TRANSLATE_NOOP("Contacts", "Business fax"), QT_TRANSLATE_NOOP("Contacts", "Callback"),
    QT_TRANSLATE_NOOP("Contacts", "Company main"), QT_TRANSLATE_NOOP("Contacts", "Home fax"),
    QT_TRANSLATE_NOOP("Contacts", "Home"),         QT_TRANSLATE_NOOP("Contacts", "Home 2"),
    QT_TRANSLATE_NOOP("Contacts", "Mobile"),       QT_TRANSLATE_NOOP("Contacts", "Other"),
    QT_TRANSLATE_NOOP("Contacts", "Radio"),
};

struct ObjectUnref {
    void operator()(EContact* contact) const { g_object_unref(contact); }
};
using ContactPtr = std::unique_ptr<EContact, ObjectUnref>;

QString Text(EContact* contact, EContactField field) {
    gchar* value = static_cast<gchar*>(e_contact_get(contact, field));
    QString text = value ? QString::fromUtf8(value) : QString();
    g_free(value);
    return text;
}

void SetText(EContact* contact, EContactField field, const QString& value) {
    if (value.isEmpty()) {
        e_contact_set(contact, field, nullptr);
    } else {
        const QByteArray utf8 = value.toUtf8();
        e_contact_set(contact, field, utf8.constData());
    }
}

// The card as the library is given it: from the start up to its last
// END:VCARD; empty when the text is not a card. The library reads a C
// string, so a NUL before that end would hide the end from it, and its
// quoted-printable decoder reads past the end of a string that stops right
// after a '=': such a card is refused.
QByteArray CardPart(const QByteArray& text) {
    const QByteArray upper = text.toUpper();
    if (!upper.trimmed().startsWith("BEGIN:VCARD")) return {};
    const qsizetype end = upper.lastIndexOf("END:VCARD");
    if (end < 0) return {};
    QByteArray card = text.left(end + qsizetype(sizeof "END:VCARD") - 1);
    return card.contains('\0') ? QByteArray() : card;
}

// Makes every value and parameter value of the card valid UTF-8 (each bad
// byte becomes U+FFFD). The library's writer folds long lines by stepping
// over UTF-8 characters and reads past the end of a value that stops inside
// one; a value can hold such bytes from the file itself or from decoding
// quoted-printable text.
void MakeValidUtf8(GList* strings) {
    for (GList* item = strings; item != nullptr; item = item->next) {
        auto* value = static_cast<gchar*>(item->data);
        if (value == nullptr || g_utf8_validate(value, -1, nullptr)) continue;
        item->data = g_utf8_make_valid(value, -1);
        g_free(value);
    }
}

ContactPtr ParseCard(const QByteArray& text) {
    // Bytes that are not UTF-8 are read as U+FFFD, as QString reads them.
    const QByteArray card = QString::fromUtf8(CardPart(text)).toUtf8();
    if (card.isEmpty()) return nullptr;
    ContactPtr contact(e_contact_new_from_vcard(card.constData()));
    if (!contact) return nullptr;
    for (GList* item = e_vcard_get_attributes(E_VCARD(contact.get())); item != nullptr; item = item->next) {
        auto* attribute = static_cast<EVCardAttribute*>(item->data);
        MakeValidUtf8(e_vcard_attribute_get_values(attribute));
        for (GList* param = e_vcard_attribute_get_params(attribute); param != nullptr; param = param->next) {
            MakeValidUtf8(
                e_vcard_attribute_param_get_values(static_cast<EVCardAttributeParam*>(param->data)));
        }
    }
    return contact;
}

struct SecondPhone {
    EContactField field;
    EContactField first;
    const char* type;
};
constexpr SecondPhone kSecondPhones[] = {
    {E_CONTACT_PHONE_BUSINESS_2, E_CONTACT_PHONE_BUSINESS, "WORK"},
    {E_CONTACT_PHONE_HOME_2, E_CONTACT_PHONE_HOME, "HOME"},
};

// Appends "TEL;TYPE=<type>,VOICE:" with no number.
void AddEmptyPhone(EContact* card, const char* type) {
    EVCardAttribute* attribute = e_vcard_attribute_new(nullptr, EVC_TEL);
    e_vcard_attribute_add_param_with_values(attribute, e_vcard_attribute_param_new(EVC_TYPE), type, "VOICE",
                                            nullptr);
    e_vcard_attribute_add_value(attribute, "");
    e_vcard_append_attribute(E_VCARD(card), attribute);  // the card takes the attribute
}

// Removes attributes until the field reads empty; at most as many as the
// card holds, so a removal that does nothing cannot loop.
void ClearField(EContact* card, EContactField field) {
    guint left = g_list_length(e_vcard_get_attributes(E_VCARD(card)));
    while (left-- > 0 && !Text(card, field).isEmpty()) e_contact_set(card, field, nullptr);
}

// The card as saved: every line ends with CR LF, the last one too (the
// library stops right after END:VCARD, so cards written one after the other
// would run together). A bare LF, which the library reads as a line end
// too, is written as CR LF.
QByteArray CardText(EContact* card) {
    gchar* text = e_vcard_to_string(E_VCARD(card), EVC_FORMAT_VCARD_30);
    const QByteArray written(text);
    g_free(text);
    QByteArray out;
    out.reserve(written.size() + 8);
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (written[i] == '\n' && (i == 0 || written[i - 1] != '\r')) out += '\r';
        out += written[i];
    }
    if (!out.endsWith("\r\n")) out += "\r\n";
    return out;
}

// The fields the contact window shows, each with its value.
using ShownField = std::pair<EContactField, const QString*>;
std::vector<ShownField> ShownFields(const Contact& contact) {
    std::vector<ShownField> shown = {
        {E_CONTACT_FULL_NAME, &contact.fullName},
        {E_CONTACT_ORG, &contact.organisation},
        {E_CONTACT_EMAIL_1, &contact.email},
        {E_CONTACT_NOTE, &contact.notes},
    };
    for (int i = 0; i < kPhoneFieldCount; ++i)
        shown.emplace_back(kPhoneFields[i], &contact.phones[static_cast<std::size_t>(i)]);
    return shown;
}

// The field reads back as `value`. A card without a full name gets one made
// from its structured name, which is not a loss.
bool Kept(EContact* reread, EContactField field, const QString& value) {
    return Text(reread, field) == value || (field == E_CONTACT_FULL_NAME && value.isEmpty());
}

bool ReadsBack(const QByteArray& text, const std::vector<ShownField>& shown) {
    const ContactPtr reread = ParseCard(text);
    if (!reread) return false;
    for (const auto& [field, value] : shown) {
        if (!Kept(reread.get(), field, *value)) return false;
    }
    return true;
}

// SetText, except that the second business and home numbers, which are the
// second TEL line of their type, get an empty TEL line of the type in the
// first place when the first number is empty; without it the library would
// write the second number as the first.
void SetPhoneOrText(EContact* card, EContactField field, const QString& value) {
    for (const SecondPhone& second : kSecondPhones) {
        if (field == second.field && !value.isEmpty() && Text(card, second.first).isEmpty()) {
            AddEmptyPhone(card, second.type);
        }
    }
    SetText(card, field, value);
}

}  // namespace

QString PhoneFieldName(int field) {
    return field >= 0 && field < kPhoneFieldCount ? QString::fromLatin1(kFieldNames[field]) : QString();
}

QString PhoneFieldLabel(int field) {
    return field >= 0 && field < kPhoneFieldCount
               ? QCoreApplication::translate("Contacts", kFieldLabels[field])
               : QString();
}

QString Contact::DisplayName() const {
    if (!fullName.trimmed().isEmpty()) return fullName.trimmed();
    if (!organisation.trimmed().isEmpty()) return organisation.trimmed();
    return email.trimmed();
}

std::optional<Contact> ContactStore::FindFirst(int field, const QString& text) {
    if (field < 0 || field >= kPhoneFieldCount) return std::nullopt;
    for (Contact& contact : Contacts()) {
        if (contact.phones[static_cast<std::size_t>(field)] == text) return std::move(contact);
    }
    return std::nullopt;
}

std::optional<Contact> VCardFolderStore::Parse(const QByteArray& text) {
    const ContactPtr card = ParseCard(text);
    if (!card) return std::nullopt;
    Contact contact;
    contact.fullName = Text(card.get(), E_CONTACT_FULL_NAME);
    contact.organisation = Text(card.get(), E_CONTACT_ORG);
    contact.email = Text(card.get(), E_CONTACT_EMAIL_1);
    contact.notes = Text(card.get(), E_CONTACT_NOTE);
    for (int i = 0; i < kPhoneFieldCount; ++i) {
        contact.phones[static_cast<std::size_t>(i)] = Text(card.get(), kPhoneFields[i]);
    }
    contact.vcard = text;
    return contact;
}

QByteArray VCardFolderStore::Serialize(const Contact& contact) {
    ContactPtr card = ParseCard(contact.vcard);
    if (!card) card.reset(e_contact_new());
    QString uid = Text(card.get(), E_CONTACT_UID);
    if (uid.isEmpty()) {
        uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        SetText(card.get(), E_CONTACT_UID, uid);
    }
    const std::vector<ShownField> shown = ShownFields(contact);
    for (const auto& [field, value] : shown) SetText(card.get(), field, *value);
    QByteArray out = CardText(card.get());

    // Setting a field keeps the attribute the source card had for it, with
    // its parameters. The library reads some parameters that it cannot read
    // back once it has written them (a TYPE value holding '=' and a blank,
    // or bytes that are not UTF-8): the attribute is then dropped on reading,
    // or misread together with the line after it. A field that does not read
    // back is written afresh: every attribute it reads from removed (a card
    // may hold several that the field matches), a plain one added. Removing
    // attributes for one field can empty another that read from the same
    // ones, so the card is checked again after each round.
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        const ContactPtr reread = ParseCard(out);
        bool rewritten = false;
        for (const auto& [field, value] : shown) {
            if (reread && Kept(reread.get(), field, *value)) continue;
            ClearField(card.get(), field);
            SetPhoneOrText(card.get(), field, *value);
            rewritten = true;
        }
        if (!rewritten) return out;
        out = CardText(card.get());
    }
    if (ReadsBack(out, shown)) return out;

    // A property the window does not show can still break the line after it
    // on reading. Such a card is replaced by a plain one with the shown
    // fields and the same UID: what the window shows is never lost.
    ContactPtr plain(e_contact_new());
    SetText(plain.get(), E_CONTACT_UID, uid);
    for (const auto& [field, value] : shown) SetPhoneOrText(plain.get(), field, *value);
    return CardText(plain.get());
}

std::vector<Contact> VCardFolderStore::Contacts() {
    std::vector<Contact> contacts;
    const QDir dir(folder_);
    if (folder_.isEmpty() || !dir.exists()) return contacts;
    const QStringList names = dir.entryList({QStringLiteral("*.vcf"), QStringLiteral("*.VCF")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        // Cards are small; anything huge is not one of ours to parse.
        if (file.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly)) continue;
        std::optional<Contact> contact = Parse(file.readAll());
        if (!contact) continue;
        contact->id = name;
        contacts.push_back(std::move(*contact));
    }
    return contacts;
}

bool VCardFolderStore::Save(Contact& contact, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (folder_.isEmpty()) return fail(QCoreApplication::translate("Contacts", "No contacts folder is set"));
    const bool folder_existed = QDir(folder_).exists();
    if (!QDir().mkpath(folder_))
        return fail(
            QCoreApplication::translate("Contacts", "Cannot create the contacts folder %1").arg(folder_));
    // Contacts are the user's alone: a folder made here is 0700 and every
    // card written 0600 (a folder the user chose keeps its mode).
    if (!folder_existed)
        QFile::setPermissions(folder_,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QByteArray text = Serialize(contact);
    QString id = contact.id;
    if (id.isEmpty()) {
        ContactPtr card = ParseCard(text);
        QString uid = card ? Text(card.get(), E_CONTACT_UID) : QString();
        // The UID becomes a file name: keep it to safe characters.
        uid.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
        if (uid.isEmpty() || uid.startsWith(QLatin1Char('.')))
            uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        id = uid + QStringLiteral(".vcf");
    }
    if (id.contains(QLatin1Char('/')) || id.startsWith(QLatin1Char('.'))) {
        return fail(QCoreApplication::translate("Contacts", "Invalid contact file name %1").arg(id));
    }
    QSaveFile file(QDir(folder_).filePath(id));
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return fail(file.errorString());
    }
    if (!file.commit()) return fail(file.errorString());
    contact.id = id;
    contact.vcard = text;
    return true;
}

}  // namespace q5::calls
