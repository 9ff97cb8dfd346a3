#include "calls/pim_logic.h"

namespace q5::calls {
namespace {

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' ')) ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

bool AllDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

}  // namespace

QString FormatWithPattern(const QString& number, const QString& pattern) {
    const QString trimmed = TrimBlanks(number);
    if (pattern.isEmpty() || !AllDigits(trimmed)) return trimmed;
    QString out;
    qsizetype next = trimmed.size();  // digits still to place, from the right
    qsizetype first_placeholder = -1;
    for (qsizetype i = pattern.size() - 1; i >= 0; --i) {
        if (pattern[i] == QLatin1Char('#')) {
            if (next == 0) continue;  // no digit left for this position
            out.prepend(trimmed[--next]);
            first_placeholder = i;
        } else {
            out.prepend(pattern[i]);
        }
    }
    if (next > 0) {
        // Insert the remaining digits where the leftmost digit went: count
        // the literal characters left of it in the output.
        qsizetype literals_before = 0;
        for (qsizetype i = 0; i < first_placeholder; ++i) {
            if (pattern[i] != QLatin1Char('#')) ++literals_before;
        }
        if (first_placeholder < 0) literals_before = out.size();
        out.insert(literals_before, trimmed.left(next));
    }
    return out;
}

QString DigitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits.append(c);
    }
    return digits;
}

std::optional<ContactMatch> FindContact(ContactStore& store, const QString& formatted) {
    for (int field = 0; field < kPhoneFieldCount; ++field) {
        if (std::optional<Contact> found = store.FindFirst(field, formatted)) {
            return ContactMatch{std::move(*found), field, MatchKind::exact};
        }
    }
    const QString digits = DigitsOf(formatted);
    if (digits.isEmpty()) return std::nullopt;
    const std::vector<Contact> contacts = store.Contacts();
    for (int field = 0; field < kPhoneFieldCount; ++field) {
        for (const Contact& contact : contacts) {
            if (DigitsOf(contact.phones[static_cast<std::size_t>(field)]) == digits) {
                return ContactMatch{contact, field, MatchKind::digits};
            }
        }
    }
    return std::nullopt;
}

}  // namespace q5::calls
