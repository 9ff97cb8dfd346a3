// Fuzzes the contact store's reading of one vCard into a Contact, and its
// saving: a card that was read, written back with its shown fields and read
// again must keep every telephone number and the other shown fields (an
// empty full name may be filled in from the structured name), and every
// line of the saved card, the last one too, ends with CR LF. Line breaks
// count as kept whatever their form: the vCard library writes a lone CR as
// the card's line-break escape, so it reads back as LF.
#include <glib.h>

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "calls/contact_store.h"

namespace {

using q5::calls::Contact;
using q5::calls::kPhoneFieldCount;
using q5::calls::VCardFolderStore;

// The text with every CR LF and lone CR made LF.
QString UnixLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Reports which field was not kept, with both values, then stops.
void CheckSame(const char* what, const QString& read, const QString& reread) {
    if (UnixLines(read) == UnixLines(reread)) return;
    std::fprintf(stderr, "%s changed by saving: \"%s\" became \"%s\"\n", what, read.toUtf8().constData(),
                 reread.toUtf8().constData());
    std::abort();
}

void Quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

}  // namespace

// The vCard library warns on stderr about every malformed line; at fuzzing
// rates that output costs more than the parsing.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_log_set_handler("libebook-contacts",
                      static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE), Quiet, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<Contact> contact = VCardFolderStore::Parse(text);
    if (!contact) return 0;
    if (contact->vcard != text) std::abort();

    const QByteArray saved = VCardFolderStore::Serialize(*contact);
    if (!saved.endsWith("\r\n")) std::abort();
    for (qsizetype i = 0; i < saved.size(); ++i) {
        if (saved[i] == '\n' && (i == 0 || saved[i - 1] != '\r')) std::abort();
    }
    const std::optional<Contact> again = VCardFolderStore::Parse(saved);
    if (!again) std::abort();
    for (int i = 0; i < kPhoneFieldCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        CheckSame(q5::calls::PhoneFieldName(i).toUtf8().constData(), contact->phones[at], again->phones[at]);
    }
    // A card without a full name gets one made from its structured name.
    if (!contact->fullName.isEmpty()) CheckSame("full name", contact->fullName, again->fullName);
    CheckSame("organisation", contact->organisation, again->organisation);
    CheckSame("e-mail", contact->email, again->email);
    CheckSame("notes", contact->notes, again->notes);
    return 0;
}
