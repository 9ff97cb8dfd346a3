// Rules of the contact pop-up that need no window: formatting a calling
// number with the number pattern, and finding the contact for a number.
//
// Thread rule: any thread (the store passed in follows its own rule).
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

#include "calls/contact_store.h"

namespace q5::calls {

// The number with its digits placed into the pattern's "#" positions from
// the right; literal characters stay, "#" positions left of the first digit
// go, and digits beyond the placeholders come in front of the first one. A
// trimmed text that is not all digits, and any text with an empty pattern,
// come back trimmed and otherwise unchanged.
QString FormatWithPattern(const QString& number, const QString& pattern);

// The region national numbers are read in: the chosen two-letter code
// (any case, blanks ignored) when the number library knows it, else the
// territory of `locale`; empty when neither is a known region.
QString PhoneRegionFor(const QString& chosen, const QLocale& locale);

// Whether two telephone numbers reach the same line, national forms read as
// numbers of `region` (empty: none; then only equal national digits match).
// International forms ("+", the region's exit code such as "00"),
// punctuation and the trunk prefix do not matter; extensions must agree.
// Numbers that share only their tail (the subscriber number without its area
// code, or the same number with an extension on one side only) are not the
// same line: the tail alone cannot tell which area it belongs to.
bool SameNumber(const QString& a, const QString& b, const QString& region);

enum class MatchKind {
    exact,  // the field's text equals the formatted number
    number  // the same number in another form (SameNumber)
};

struct ContactMatch {
    Contact contact;
    int field = 0;
    MatchKind kind = MatchKind::exact;
};

// The contact for a formatted calling number: the first field, in field
// order, in which some contact holds exactly that text; failing that, the
// first field and contact holding the same number (SameNumber in `region`).
// Numbers that share only their last digits (another area code) do not match.
std::optional<ContactMatch> FindContact(ContactStore& store, const QString& formatted,
                                        const QString& region = QString());

}  // namespace q5::calls
