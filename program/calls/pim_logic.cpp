#include "calls/pim_logic.h"

#include <phonenumbers/phonenumberutil.h>

#include <set>
#include <string>

namespace q5::calls {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

const std::set<std::string>& KnownRegions() {
    static const std::set<std::string> regions = [] {
        std::set<std::string> all;
        PhoneNumberUtil::GetInstance()->GetSupportedRegions(&all);
        return all;
    }();
    return regions;
}

// One number, parsed once, compared with many. The number library's
// verdicts: EXACT_MATCH and NSN_MATCH are the same line; SHORT_NSN_MATCH
// (one national number is the tail of the other, or only one side has an
// extension) is not, since "555-0142" is as much (312) 555-0142 as
// (212) 555-0142.
class CallerNumber {
public:
    CallerNumber(const QString& text, const QString& region)
        : text_(text.trimmed().toStdString()), region_(region.toStdString()) {
        parsed_ = !region_.empty() && !text_.empty() &&
                  Util().Parse(text_, region_, &number_) == PhoneNumberUtil::NO_PARSING_ERROR;
    }

    bool Usable() const { return !text_.empty(); }

    bool Matches(const QString& other_text) const {
        const std::string other = other_text.trimmed().toStdString();
        if (text_.empty() || other.empty()) return false;
        PhoneNumberUtil::MatchType verdict;
        PhoneNumber theirs;
        if (parsed_ && Util().Parse(other, region_, &theirs) == PhoneNumberUtil::NO_PARSING_ERROR) {
            verdict = Util().IsNumberMatch(number_, theirs);
        } else {
            // Without a region (or a number it cannot read) the library
            // compares what it can: the national digits of both.
            verdict = Util().IsNumberMatchWithTwoStrings(text_, other);
        }
        return verdict == PhoneNumberUtil::EXACT_MATCH || verdict == PhoneNumberUtil::NSN_MATCH;
    }

private:
    static const PhoneNumberUtil& Util() { return *PhoneNumberUtil::GetInstance(); }

    std::string text_;
    std::string region_;
    PhoneNumber number_;
    bool parsed_ = false;
};

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

QString PhoneRegionFor(const QString& chosen, const QLocale& locale) {
    const std::set<std::string>& known = KnownRegions();
    const QString typed = chosen.trimmed().toUpper();
    if (known.count(typed.toStdString())) return typed;
    const QString own = QLocale::territoryToCode(locale.territory()).toUpper();
    if (known.count(own.toStdString())) return own;
    return QString();
}

bool SameNumber(const QString& a, const QString& b, const QString& region) {
    return CallerNumber(a, region).Matches(b);
}

std::optional<ContactMatch> FindContact(ContactStore& store, const QString& formatted,
                                        const QString& region) {
    for (int field = 0; field < kPhoneFieldCount; ++field) {
        if (std::optional<Contact> found = store.FindFirst(field, formatted)) {
            return ContactMatch{std::move(*found), field, MatchKind::exact};
        }
    }
    const CallerNumber caller(formatted, region);
    if (!caller.Usable()) return std::nullopt;
    const std::vector<Contact> contacts = store.Contacts();
    for (int field = 0; field < kPhoneFieldCount; ++field) {
        for (const Contact& contact : contacts) {
            if (caller.Matches(contact.phones[static_cast<std::size_t>(field)])) {
                return ContactMatch{contact, field, MatchKind::number};
            }
        }
    }
    return std::nullopt;
}

}  // namespace q5::calls
