// The contact store, the number pattern, the contact lookup, the call
// control window's rules and the call notifications' bookkeeping, without
// widgets.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <deque>

#include "calls/call_logic.h"
#include "calls/call_notifier.h"
#include "calls/contact_store.h"
#include "calls/pim_logic.h"

namespace {

using namespace q5::calls;

void WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray Card(const char* name, const char* phones) {
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + name + "\r\n" + phones + "END:VCARD\r\n";
}

class ContactStoreTest : public ::testing::Test {
protected:
    void Add(const QString& file, const QByteArray& card) { WriteFile(dir_.filePath(file), card); }
    QTemporaryDir dir_;
};

// ---- the number pattern -------------------------------------------------

TEST(FormatWithPatternTest, TenDigitsTakeTheAreaCodeForm) {
    EXPECT_EQ(FormatWithPattern(QStringLiteral("  2125550142 "), QStringLiteral("(###) ###-####")),
              QStringLiteral("(212) 555-0142"));
}

TEST(FormatWithPatternTest, EmptyPatternOrNonNumberGivesTheTrimmedTextUnchanged) {
    EXPECT_EQ(FormatWithPattern(QStringLiteral(" 2125550142 "), QString()), QStringLiteral("2125550142"));
    EXPECT_EQ(FormatWithPattern(QStringLiteral(" +1 555 123 "), QStringLiteral("###-###")),
              QStringLiteral("+1 555 123"));
    EXPECT_EQ(FormatWithPattern(QStringLiteral("-12"), QStringLiteral("###")), QStringLiteral("-12"));
}

TEST(FormatWithPatternTest, ShortNumberDropsLeftPlaceholdersButKeepsLiterals) {
    EXPECT_EQ(FormatWithPattern(QStringLiteral("5550142"), QStringLiteral("(###) ###-####")),
              QStringLiteral("() 555-0142"));
}

TEST(FormatWithPatternTest, ExtraDigitsGoInFrontOfTheFirstPlacedDigit) {
    EXPECT_EQ(FormatWithPattern(QStringLiteral("15551234567"), QStringLiteral("(###) ###-####")),
              QStringLiteral("(1555) 123-4567"));
    EXPECT_EQ(FormatWithPattern(QStringLiteral("0042"), QStringLiteral("x##")), QStringLiteral("x0042"));
}

// ---- the vCard folder -----------------------------------------------------

TEST_F(ContactStoreTest, ReadsTheElevenTelephoneFieldsFromTheirVCardTypes) {
    Add(QStringLiteral("a.vcf"),
        Card("Ann",
             "TEL;TYPE=WORK,VOICE:1\r\nTEL;TYPE=WORK,FAX:3\r\nTEL;TYPE=X-EVOLUTION-CALLBACK:4\r\n"
             "TEL;TYPE=X-EVOLUTION-COMPANY:5\r\nTEL;TYPE=HOME,FAX:6\r\nTEL;TYPE=HOME,VOICE:7\r\n"
             "TEL;TYPE=CELL:9\r\nTEL;TYPE=VOICE:10\r\nTEL;TYPE=X-EVOLUTION-RADIO:11\r\n"));
    VCardFolderStore store(dir_.path());
    const std::vector<Contact> contacts = store.Contacts();
    ASSERT_EQ(contacts.size(), 1u);
    const Contact& c = contacts[0];
    EXPECT_EQ(c.id, QStringLiteral("a.vcf"));
    EXPECT_EQ(c.DisplayName(), QStringLiteral("Ann"));
    EXPECT_EQ(c.phones[BusinessTelephoneNumber], QStringLiteral("1"));
    EXPECT_EQ(c.phones[BusinessFaxNumber], QStringLiteral("3"));
    EXPECT_EQ(c.phones[CallbackTelephoneNumber], QStringLiteral("4"));
    EXPECT_EQ(c.phones[CompanyMainTelephoneNumber], QStringLiteral("5"));
    EXPECT_EQ(c.phones[HomeFaxNumber], QStringLiteral("6"));
    EXPECT_EQ(c.phones[HomeTelephoneNumber], QStringLiteral("7"));
    EXPECT_EQ(c.phones[MobileTelephoneNumber], QStringLiteral("9"));
    EXPECT_EQ(c.phones[OtherTelephoneNumber], QStringLiteral("10"));
    EXPECT_EQ(c.phones[RadioTelephoneNumber], QStringLiteral("11"));
}

TEST_F(ContactStoreTest, EveryTelephoneFieldSurvivesSaveAndReadBackOnItsOwn) {
    VCardFolderStore store(dir_.path());
    Contact contact;
    contact.fullName = QStringLiteral("All Fields");
    for (int i = 0; i < kPhoneFieldCount; ++i)
        contact.phones[static_cast<std::size_t>(i)] = QString::number(100 + i);
    ASSERT_TRUE(store.Save(contact, nullptr));
    const Contact back = store.Contacts().at(0);
    for (int i = 0; i < kPhoneFieldCount; ++i) {
        EXPECT_EQ(back.phones[static_cast<std::size_t>(i)], QString::number(100 + i))
            << PhoneFieldName(i).toStdString();
    }
}

// A card the fuzzer found, with bytes that are not UTF-8 (raw and from
// quoted-printable) and folded lines: the vCard library's writer read past
// the end of one of its values (seen by AddressSanitizer). Those bytes now
// read as U+FFFD before the library sees the card, and saving keeps it.
TEST_F(ContactStoreTest, CardWithBytesThatAreNotUtf8SavesWithoutTheWriterReadingPastAValue) {
    const QByteArray card(
        "\x62\x65\x67\x69\x6e\x3a\x76\x63\x61\x72\x64\x0a\x76\x65\x72\x73\x69\x6f\x6e\x3a\x33\x2e"
        "\x30\x0a\x66\x6e\x3a\x46\x6f\x6c\x64\x65\x64\x0a\x20\x20\x4e\x61\x6d\x65\x0a\x74\x65\x6c"
        "\x3b\x74\x79\x70\x65\x3d\x77\x6f\x72\x6b\x3a\x35\x35\x35\x0a\x20\x30\x33\x30\x30\x0a\x74"
        "\x65\x6c\x3b\x74\x79\x70\x65\x3d\x68\x6f\x6d\x65\x3a\x35\x35\x35\x30\x41\x6e\x6e\x61\x20"
        "\x53\x6d\x69\x74\x68\x0e\x4f\x52\x47\x3a\x41\x63\xff\x45\x47\x49\x4e\x3a\x56\x43\x41\x52"
        "\x44\x0a\x3b\xff\xff\xff\xff\x0a\x76\x0a\x4e\x4f\x54\x45\x3a\x3b\x43\x41\x52\x0d\x0a\x30"
        "\x52\x45\x4e\x44\x3a\x56\x43\xc6\x52\x44\x0d\x0a\x30\x33\x0a\x6e\x6f\x74\x65\x3b\x65\x6e"
        "\x63\x6f\x64\x69\x6e\x67\x3d\x51\x55\x4f\x54\x45\x44\x2d\x50\x52\x49\x4e\x54\x41\x42\x4c"
        "\x45\x3a\x33\x61\x3d\x44\x62\x0a\x65\x6e\x64\x3a\x76\x63\x61\x72\x64\x0a",
        194);
    const std::optional<Contact> read = VCardFolderStore::Parse(card);
    ASSERT_TRUE(read);
    const std::optional<Contact> back = VCardFolderStore::Parse(VCardFolderStore::Serialize(*read));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->phones, read->phones);
    EXPECT_EQ(back->organisation, read->organisation);
    EXPECT_EQ(back->notes, read->notes);
}

TEST_F(ContactStoreTest, MissingFolderHasNoContactsAndBrokenCardsAreSkippedNotDeleted) {
    VCardFolderStore missing(dir_.filePath(QStringLiteral("nowhere")));
    EXPECT_TRUE(missing.Contacts().empty());
    EXPECT_FALSE(FindContact(missing, QStringLiteral("2125550142")).has_value());

    Add(QStringLiteral("a-broken.vcf"), "this is not a card\n");
    Add(QStringLiteral("b-empty.vcf"), "");
    Add(QStringLiteral("c-good.vcf"), Card("Bob", "TEL;TYPE=WORK:2125550142\r\n"));
    VCardFolderStore store(dir_.path());
    const std::optional<ContactMatch> match = FindContact(store, QStringLiteral("2125550142"));
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->contact.DisplayName(), QStringLiteral("Bob"));
    EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("a-broken.vcf"))));
    EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("b-empty.vcf"))));
}

TEST_F(ContactStoreTest, SavingANewContactWritesACardThatReadsBackAndLeavesNoTempFiles) {
    VCardFolderStore store(dir_.filePath(QStringLiteral("made/here")));
    Contact contact;
    contact.fullName = QStringLiteral("Zoë Ng");
    contact.phones[BusinessTelephoneNumber] = QStringLiteral("(212) 555-0199");
    contact.notes = QStringLiteral("line one\nline; two, three");
    QString error;
    ASSERT_TRUE(store.Save(contact, &error)) << error.toStdString();
    EXPECT_TRUE(contact.id.endsWith(QStringLiteral(".vcf")));
    const QStringList files = QDir(store.folder()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList{contact.id});
    const std::vector<Contact> contacts = store.Contacts();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].fullName, QStringLiteral("Zoë Ng"));
    EXPECT_EQ(contacts[0].notes, contact.notes);
    EXPECT_EQ(contacts[0].phones[BusinessTelephoneNumber], QStringLiteral("(212) 555-0199"));
}

TEST_F(ContactStoreTest, SavedCardsEndEveryLineWithCrLfSoCardsPutTogetherStayApart) {
    // One card read with bare LF line ends, one new with a long folded note.
    Add(QStringLiteral("lf.vcf"), "BEGIN:VCARD\nVERSION:3.0\nFN:Lee\nTEL;TYPE=CELL:5550601\nEND:VCARD\n");
    VCardFolderStore store(dir_.path());
    Contact lee = store.Contacts().at(0);
    lee.notes = QStringLiteral("first line\n") + QString(120, QLatin1Char('x'));
    Contact fresh;
    fresh.fullName = QStringLiteral("Fay");
    fresh.phones[HomeTelephoneNumber] = QStringLiteral("5550602");
    ASSERT_TRUE(store.Save(lee, nullptr));
    ASSERT_TRUE(store.Save(fresh, nullptr));
    QByteArray both;
    for (const Contact* contact : {&lee, &fresh}) {
        QFile file(dir_.filePath(contact->id));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.endsWith("END:VCARD\r\n")) << text.constData();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool lf_alone = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
            const bool cr_alone = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
            EXPECT_FALSE(lf_alone || cr_alone)
                << "line end without CR LF at " << i << ": " << text.constData();
        }
        both += text;
    }
    EXPECT_TRUE(both.contains("END:VCARD\r\nBEGIN:VCARD\r\n"));
    for (const Contact& back : store.Contacts()) {
        if (back.id == lee.id) {
            EXPECT_EQ(back.notes, lee.notes);
        }
    }
}

TEST_F(ContactStoreTest, SavedCardsAndTheFolderMadeForThemAreTheUsersAlone) {
    const auto mode = [](const QString& path) {
        struct stat info {};
        return stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_mode & 0777 : 01000u;
    };
    const mode_t old_umask = umask(022);
    const QString folder = dir_.filePath(QStringLiteral("made"));
    VCardFolderStore store(folder);
    Contact fresh;
    ASSERT_TRUE(store.Save(fresh, nullptr));
    // A card left readable by others is put right when saved over.
    Contact old = fresh;
    ASSERT_EQ(chmod(QFile::encodeName(folder + QLatin1Char('/') + old.id).constData(), 0644), 0);
    old.notes = QStringLiteral("edited");
    ASSERT_TRUE(store.Save(old, nullptr));
    umask(old_umask);
    EXPECT_EQ(mode(folder), 0700u);
    EXPECT_EQ(mode(folder + QLatin1Char('/') + old.id), 0600u);
}

TEST_F(ContactStoreTest, SavingAnEditedContactKeepsPropertiesTheWindowDoesNotShow) {
    Add(QStringLiteral("k.vcf"), Card("Kim", "TEL;TYPE=CELL:1\r\nBDAY:1990-01-02\r\nUID:kim-1\r\n"));
    VCardFolderStore store(dir_.path());
    Contact kim = store.Contacts().at(0);
    kim.phones[MobileTelephoneNumber] = QStringLiteral("2");
    ASSERT_TRUE(store.Save(kim, nullptr));
    EXPECT_EQ(kim.id, QStringLiteral("k.vcf"));
    QFile file(dir_.filePath(QStringLiteral("k.vcf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("BDAY")) << text.constData();
    EXPECT_TRUE(text.contains("kim-1"));
    EXPECT_EQ(store.Contacts().at(0).phones[MobileTelephoneNumber], QStringLiteral("2"));
}

TEST_F(ContactStoreTest, FieldsWhoseTypeParameterCannotBeReadBackOnceWrittenSurviveSaving) {
    // The library reads "TYPE=Sales desk=2" (and TYPE values with bytes that
    // are not UTF-8) but writes it in a form that it then drops on reading,
    // or misreads together with the line after it. The second odd TEL line
    // is the one the field would fall back to.
    Add(QStringLiteral("d.vcf"),
        Card("Dee",
             "TEL;TYPE=Sales desk=2:5550302\r\nTEL;TYPE=Front desk=1:5550304\r\n"
             "TEL;TYPE=CELL:5550303\r\nEMAIL;TYPE=Home mail=1:dee@example.invalid\r\n"
             "NOTE:Mornings\r\n"));
    VCardFolderStore store(dir_.path());
    Contact dee = store.Contacts().at(0);
    ASSERT_EQ(dee.phones[OtherTelephoneNumber], QStringLiteral("5550302"));
    ASSERT_EQ(dee.email, QStringLiteral("dee@example.invalid"));
    ASSERT_TRUE(store.Save(dee, nullptr));
    const Contact back = store.Contacts().at(0);
    EXPECT_EQ(back.phones[OtherTelephoneNumber], QStringLiteral("5550302"));
    EXPECT_EQ(back.phones[MobileTelephoneNumber], QStringLiteral("5550303"));
    EXPECT_EQ(back.email, QStringLiteral("dee@example.invalid"));
    EXPECT_EQ(back.notes, QStringLiteral("Mornings"));
    EXPECT_EQ(back.fullName, QStringLiteral("Dee"));
}

TEST_F(ContactStoreTest, ASecondBusinessOrHomeNumberWithoutAFirstStaysSecondWhenSaved) {
    VCardFolderStore store(dir_.path());
    Contact contact;
    contact.fullName = QStringLiteral("Seconds");
    contact.phones[Business2TelephoneNumber] = QStringLiteral("5550402");
    contact.phones[Home2TelephoneNumber] = QStringLiteral("5550404");
    ASSERT_TRUE(store.Save(contact, nullptr));
    const Contact back = store.Contacts().at(0);
    EXPECT_EQ(back.phones[BusinessTelephoneNumber], QString());
    EXPECT_EQ(back.phones[Business2TelephoneNumber], QStringLiteral("5550402"));
    EXPECT_EQ(back.phones[HomeTelephoneNumber], QString());
    EXPECT_EQ(back.phones[Home2TelephoneNumber], QStringLiteral("5550404"));
}

TEST_F(ContactStoreTest, AnUnshownPropertyThatBreaksTheNextLineOnRereadingCostsNoShownField) {
    Add(QStringLiteral("o.vcf"),
        Card("Oli", "X-DESK;TYPE=Sales desk=2:7\r\nORG:Acme Sales\r\nTEL;TYPE=CELL:5550501\r\n"));
    VCardFolderStore store(dir_.path());
    Contact oli = store.Contacts().at(0);
    ASSERT_EQ(oli.organisation, QStringLiteral("Acme Sales"));
    ASSERT_TRUE(store.Save(oli, nullptr));
    const Contact back = store.Contacts().at(0);
    EXPECT_EQ(back.organisation, QStringLiteral("Acme Sales"));
    EXPECT_EQ(back.phones[MobileTelephoneNumber], QStringLiteral("5550501"));
    EXPECT_EQ(back.fullName, QStringLiteral("Oli"));
}

TEST_F(ContactStoreTest, TheVCardLibraryNeverSeesACardThatDoesNotEndWithItsEndLine) {
    // A NUL hides the end line from the library, and a text ending in a
    // quoted-printable '=' makes its decoder read past the string.
    const char nul[] = "BEGIN:VCARD\r\nFN:Nul\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\0\r\nEND:VCARD\r\n";
    Add(QStringLiteral("a.vcf"), QByteArray(nul, sizeof nul - 1));
    Add(QStringLiteral("b.vcf"), "BEGIN:VCARD\r\nFN:END:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=");
    VCardFolderStore store(dir_.path());
    const std::vector<Contact> contacts = store.Contacts();
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].id, QStringLiteral("b.vcf"));
    EXPECT_EQ(contacts[0].fullName, QStringLiteral("END:VCARD"));
    EXPECT_EQ(contacts[0].notes, QString());
}

// ---- the lookup -------------------------------------------------------------

TEST_F(ContactStoreTest, FieldOrderWinsOverContactOrder) {
    Add(QStringLiteral("a.vcf"), Card("Mobile Match", "TEL;TYPE=CELL:(212) 555-0142\r\n"));
    Add(QStringLiteral("b.vcf"), Card("Business Match", "TEL;TYPE=WORK,VOICE:(212) 555-0142\r\n"));
    VCardFolderStore store(dir_.path());
    const std::optional<ContactMatch> match = FindContact(store, QStringLiteral("(212) 555-0142"));
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->contact.DisplayName(), QStringLiteral("Business Match"));
    EXPECT_EQ(match->field, BusinessTelephoneNumber);
}

TEST_F(ContactStoreTest, ExactTextWinsOverAnEarlierFieldWithTheSameDigits) {
    Add(QStringLiteral("a.vcf"), Card("Digits Only", "TEL;TYPE=WORK,VOICE:212.555.0142\r\n"));
    Add(QStringLiteral("b.vcf"), Card("Exact Radio", "TEL;TYPE=X-EVOLUTION-RADIO:(212) 555-0142\r\n"));
    VCardFolderStore store(dir_.path());
    const std::optional<ContactMatch> match = FindContact(store, QStringLiteral("(212) 555-0142"));
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->contact.DisplayName(), QStringLiteral("Exact Radio"));
    EXPECT_EQ(match->kind, MatchKind::exact);
}

TEST_F(ContactStoreTest, DifferentlyFormattedNumbersFindTheSameContact) {
    Add(QStringLiteral("a.vcf"), Card("Pat", "TEL;TYPE=HOME,VOICE:(555) 123-4567\r\n"));
    Add(QStringLiteral("b.vcf"), Card("Short", "TEL;TYPE=HOME,VOICE:4567\r\n"));
    VCardFolderStore store(dir_.path());
    for (const char* number : {"(555) 123-4567", "5551234567", "555.123.4567"}) {
        const std::optional<ContactMatch> match = FindContact(store, QString::fromLatin1(number));
        ASSERT_TRUE(match.has_value()) << number;
        EXPECT_EQ(match->contact.DisplayName(), QStringLiteral("Pat")) << number;
    }
    EXPECT_EQ(FindContact(store, QStringLiteral("555-123-4567"))->kind, MatchKind::number);
    EXPECT_FALSE(FindContact(store, QStringLiteral("unknown")).has_value());
}

TEST_F(ContactStoreTest, ACallerSharingOnlyTheLastDigitsGetsNoOtherPersonsName) {
    Add(QStringLiteral("a.vcf"), Card("Ann in 212", "TEL;TYPE=WORK,VOICE:(212) 555-0142\r\n"));
    VCardFolderStore store(dir_.path());
    // The same last eight digits in another area code: another person.
    for (const char* number : {"(312) 555-0142", "3125550142", "(912) 555-0142"}) {
        EXPECT_FALSE(FindContact(store, QString::fromLatin1(number), QStringLiteral("US")).has_value())
            << number;
        EXPECT_FALSE(FindContact(store, QString::fromLatin1(number)).has_value()) << number;
    }
    const std::optional<ContactMatch> match =
        FindContact(store, QStringLiteral("+1 212 555 0142"), QStringLiteral("US"));
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->kind, MatchKind::number);
}

// Whether a caller's number and a contact's number reach the same line, as
// the lookup's second step decides it.
TEST(SameNumberTest, FormsOfOneNumberMatchAndNeighboursDoNot) {
    struct Row {
        const char* region;
        const char* caller;
        const char* contact;
        bool same;
    };
    const Row rows[] = {
        // national and international forms, punctuation
        {"US", "2125550142", "(212) 555-0142", true},
        {"US", "+1 212 555 0142", "(212) 555-0142", true},
        {"US", "011 1 212 555 0142", "212.555.0142", true},
        {"US", "1-212-555-0142", "+12125550142", true},
        {"DE", "030 1234567", "+49 30 1234567", true},
        {"DE", "0049 30 1234567", "030/123 45-67", true},
        {"DE", "+49 (0)30 1234567", "030 1234567", true},
        // the same last eight digits, another area code or country
        {"US", "(312) 555-0142", "(212) 555-0142", false},
        {"DE", "040 1234567", "030 1234567", false},
        {"DE", "+43 30 1234567", "030 1234567", false},
        // national forms belong to the region they are read in
        {"US", "030 1234567", "+49 30 1234567", false},
        // the subscriber number alone could be any area's
        {"US", "555-0142", "(212) 555-0142", false},
        // extensions
        {"US", "212 555 0142 ext. 12", "(212) 555-0142 x12", true},
        {"US", "212 555 0142 ext. 13", "(212) 555-0142 x12", false},
        {"US", "2125550142", "(212) 555-0142 x12", false},
        // without a region only the same national digits match
        {"", "0301234567", "030 123 45 67", true},
        {"", "0301234567", "0401234567", false},
        // nothing to compare
        {"US", "unknown", "unknown", false},
        {"US", "2125550142", "", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SameNumber(QString::fromLatin1(row.caller), QString::fromLatin1(row.contact),
                             QString::fromLatin1(row.region)),
                  row.same)
            << row.region << ": " << row.caller << " / " << row.contact;
    }
}

TEST(PhoneRegionTest, ChosenRegionElseTheLocalesTerritory) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(PhoneRegionFor(QString(), german), QStringLiteral("DE"));
    EXPECT_EQ(PhoneRegionFor(QStringLiteral(" us "), german), QStringLiteral("US"));
    EXPECT_EQ(PhoneRegionFor(QStringLiteral("XQ"), german), QStringLiteral("DE"));  // no such region
    EXPECT_EQ(PhoneRegionFor(QString(), QLocale::c()), QString());
}

// ---- call control rules -------------------------------------------------------

TEST(CallKeyTest, OnlyLettersAndDigitsUpTo32MakeFileNames) {
    EXPECT_TRUE(IsSafeCallKey(QStringLiteral("00712345")));
    EXPECT_TRUE(IsSafeCallKey(QString(32, QLatin1Char('a'))));
    EXPECT_FALSE(IsSafeCallKey(QString(33, QLatin1Char('a'))));
    EXPECT_FALSE(IsSafeCallKey(QString()));
    for (const char* bad : {"../../x", "a/b", "a b", "a.wav", "k\\e", "ключ"}) {
        EXPECT_FALSE(IsSafeCallKey(QString::fromUtf8(bad))) << bad;
    }
}

TEST(CallKeyTest, RecordingNumberIsTheValueOfTheFirstThreeCharacters) {
    EXPECT_EQ(NameRecordingFile(QStringLiteral("00712345")), QStringLiteral("VS7"));
    EXPECT_EQ(NameRecordingFile(QStringLiteral("12345678")), QStringLiteral("VS123"));
    EXPECT_EQ(NameRecordingFile(QStringLiteral("0a9")), QStringLiteral("VS0"));
}

TEST(ElapsedTest, EachTickAddsOneSecondAndSixtyFiveTicksGiveOneMinuteFive) {
    QString elapsed = QStringLiteral("00:00:00");
    for (int i = 0; i < 65; ++i) elapsed = NextElapsed(elapsed).value();
    EXPECT_EQ(elapsed, QStringLiteral("00:01:05"));
    EXPECT_EQ(NextElapsed(QStringLiteral("00:59:59")), QStringLiteral("01:00:00"));
    EXPECT_EQ(NextElapsed(QStringLiteral("23:59:59")), QStringLiteral("00:00:00"));
    EXPECT_FALSE(NextElapsed(QStringLiteral("")).has_value());
    EXPECT_FALSE(NextElapsed(QStringLiteral("1:99:00")).has_value());
}

TEST(CallLogTest, LineHasHashedDateThenThreeQuotedFieldsAndCrLf) {
    const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(CallLogLine(at, QStringLiteral("(212) 555-0142"), QStringLiteral("09:10:11"),
                          QStringLiteral("00:01:05")),
              QByteArray("#2026-03-04 05:06:07#,\"(212) 555-0142\",\"09:10:11\",\"00:01:05\"\r\n"));
}

TEST(CallEventTest, StatusesOfEventsTwoToFiveAndTenOnly) {
    EXPECT_EQ(StatusForEvent(2), QStringLiteral("On Hold"));
    EXPECT_EQ(StatusForEvent(3), QStringLiteral("Transfer"));
    EXPECT_EQ(StatusForEvent(4), QStringLiteral("In Transit"));
    EXPECT_EQ(StatusForEvent(5), QStringLiteral("Leaving Message"));
    EXPECT_EQ(StatusForEvent(10), QStringLiteral("Disconnect"));
    for (int other : {0, 1, 6, 9, 11, 100}) EXPECT_FALSE(StatusForEvent(other).has_value()) << other;
}

TEST(RestartBackOffTest, DoublesFromOneSecondUpToAMinuteAndResets) {
    RestartBackOff back_off;
    std::vector<int> delays;
    for (int i = 0; i < 9; ++i) delays.push_back(back_off.NextDelaySeconds());
    EXPECT_EQ(delays, (std::vector<int>{1, 2, 4, 8, 16, 32, 60, 60, 60}));
    back_off.Reset();
    EXPECT_EQ(back_off.NextDelaySeconds(), 1);
}

// The event queue of a log started without a sink, as GetQ5Event serves it.
class QueueEvents : public ICoEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE BeginStatusLog(BSTR, LONG, LONG, BSTR, BSTR, ISupportEvents*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BeginQ5Log(BSTR, LONG, LONG, BSTR, BSTR, ISupportEvents*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EndStatusLog() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndQ5Log() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG* id, BSTR* data1, BSTR* data2, BSTR* data3) override {
        ++polls;
        if (fail_after >= 0 && polls > fail_after) return E_CONNECTION_LOST;
        *id = 0;
        if (queue.empty()) return S_OK;
        const int n = queue.front();
        queue.pop_front();
        *id = n % 2 == 0 ? 1 : 10;
        const std::u16string key = u"K" + QString::number(n).toStdU16String();
        *data1 = SysAllocString(key.c_str());
        *data2 = SysAllocString(u"5550142");
        *data3 = SysAllocString(u"");
        return S_OK;
    }
    std::deque<int> queue;
    int polls = 0;
    int fail_after = -1;  // polls that succeed before every poll fails
};

TEST(DrainTest, TakesEventsOldestFirstUpToTheCapAndStopsWhenEmptyFailedOrTold) {
    struct Case {
        const char* what;
        int queued, cap, fail_after, stop_at;
        int taken;
        HRESULT failure;
        std::size_t left;
    };
    const Case cases[] = {
        {"empty queue", 0, 500, -1, -1, 0, S_OK, 0},
        {"short burst, all of it", 3, 500, -1, -1, 3, S_OK, 0},
        {"flood, the cap", 1200, kMaxEventsPerTick, -1, -1, 500, S_OK, 700},
        {"poll fails midway", 10, 500, 4, -1, 4, E_CONNECTION_LOST, 6},
        {"handler says stop", 10, 500, -1, 2, 3, S_OK, 7},
    };
    for (const Case& c : cases) {
        QueueEvents events;
        for (int i = 0; i < c.queued; ++i) events.queue.push_back(i);
        events.fail_after = c.fail_after;
        std::vector<QString> keys;
        const DrainResult result = DrainQ5Events(
            events,
            [&](const Q5Event& event) {
                EXPECT_EQ(event.id, keys.size() % 2 == 0 ? 1 : 10) << c.what;
                EXPECT_EQ(event.number, QStringLiteral("5550142")) << c.what;
                keys.push_back(event.key);
                return static_cast<int>(keys.size()) - 1 != c.stop_at;
            },
            c.cap);
        EXPECT_EQ(result.taken, c.taken) << c.what;
        EXPECT_EQ(result.failure, c.failure) << c.what;
        EXPECT_EQ(events.queue.size(), c.left) << c.what;
        ASSERT_EQ(keys.size(), static_cast<std::size_t>(c.taken)) << c.what;
        for (int i = 0; i < c.taken; ++i) EXPECT_EQ(keys[i], QStringLiteral("K%1").arg(i)) << c.what;
    }
}

TEST(NamePlayerTest, OnlyAplayIsToldToBeQuiet) {
    const QString file = QStringLiteral("/home/u/.local/share/q5client/temp/K1.wav");
    const struct {
        const char* program;
        QStringList arguments;
    } cases[] = {
        {"/usr/bin/paplay", {file}},
        {"/usr/bin/pw-play", {file}},
        {"/usr/bin/aplay", {QStringLiteral("-q"), file}},
        {"/usr/local/bin/aplay", {QStringLiteral("-q"), file}},
        {"/opt/sound/myaplay", {file}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NamePlayerArguments(QString::fromLatin1(c.program), file), c.arguments) << c.program;
    }
}

TEST(NameRecordingsTest, OnlyCallKeyWaveFilesAreRemoved) {
    QTemporaryDir dir;
    const QStringList recordings = {QStringLiteral("K1.wav"), QStringLiteral("00712345.wav")};
    const QStringList others = {QStringLiteral("notes.txt"), QStringLiteral("K1.wav.part"),
                                QStringLiteral("a b.wav"), QStringLiteral(".wav"), QStringLiteral("K1.WAV")};
    for (const QString& name : recordings + others) WriteFile(dir.filePath(name), "RIFF");
    QDir().mkpath(dir.filePath(QStringLiteral("K2.wav")));  // a folder of that name stays
    EXPECT_EQ(RemoveNameRecordings(dir.path()), 2);
    for (const QString& name : recordings)
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
    for (const QString& name : others) EXPECT_TRUE(QFile::exists(dir.filePath(name))) << name.toStdString();
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("K2.wav"))).exists());
}

// ---- call notifications ----------------------------------------------------------------

// A notification service that answers when the test says so.
class QueuedBus : public NotificationBus {
public:
    struct Sent {
        uint replaces;
        QString body;
    };
    void Notify(uint replaces, const QString&, const QString& body, const QStringList&,
                std::function<void(uint)> shown) override {
        sent.push_back({replaces, body});
        answers.push_back(std::move(shown));
    }
    void Close(uint id) override { closed.push_back(id); }
    void AnswerNext(uint id) {
        auto next = std::move(answers.front());
        answers.pop_front();
        next(id);
    }
    std::vector<Sent> sent;
    std::deque<std::function<void(uint)>> answers;
    std::vector<uint> closed;
};

// What happens while the service has not yet answered, or is gone, or the
// user dismissed the notification.
TEST(CallNotifierTest, ChangesAndEndsWaitForTheIdAndNoServiceOrADismissalStopsTheUpdates) {
    enum class Step { change, end, answer7, answer0, dismiss7 };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<uint> replaces;  // of every Notify sent, in order
        std::vector<uint> closed;
    };
    const Case cases[] = {
        {"changed before the answer: replaced once it comes",
         {Step::change, Step::change, Step::answer7},
         {0, 7},
         {}},
        {"ended before the answer: closed once it comes", {Step::change, Step::end, Step::answer7}, {0}, {7}},
        {"no service: nothing more is sent", {Step::answer0, Step::change, Step::end}, {0}, {}},
        {"dismissed: not brought back", {Step::answer7, Step::dismiss7, Step::change, Step::end}, {0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<QueuedBus>();
        QueuedBus& bus = *owned;
        CallNotifier notifier(std::move(owned), [] { return true; });
        notifier.CallArrived(QStringLiteral("K1"),
                             {QString(), QStringLiteral("555"), QStringLiteral("New Call")});
        int changes = 0;
        for (const Step step : c.steps) {
            switch (step) {
                case Step::change:
                    notifier.CallChanged(QStringLiteral("K1"), {QString(), QStringLiteral("555"),
                                                                QStringLiteral("On Hold %1").arg(++changes)});
                    break;
                case Step::end:
                    notifier.CallEnded(QStringLiteral("K1"));
                    break;
                case Step::answer7:
                case Step::answer0:
                    bus.AnswerNext(step == Step::answer7 ? 7 : 0);
                    break;
                case Step::dismiss7:
                    bus.onClosed(7);
                    break;
            }
        }
        std::vector<uint> replaces;
        for (const QueuedBus::Sent& sent : bus.sent) replaces.push_back(sent.replaces);
        EXPECT_EQ(replaces, c.replaces);
        EXPECT_EQ(bus.closed, c.closed);
        // A replacement says the latest status.
        if (bus.sent.size() > 1) {
            EXPECT_EQ(bus.sent.back().body, QStringLiteral("On Hold %1").arg(changes));
        }
    }
}

}  // namespace
