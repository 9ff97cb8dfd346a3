// Rules of the contact pop-up that need no window: formatting a calling
// number with the number pattern, and finding the contact for a number.
//
// Thread rule: any thread (the store passed in follows its own rule).
#pragma once

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

// The decimal digits of a text, in order.
QString DigitsOf(const QString& text);

enum class MatchKind {
    exact,  // the field's text equals the formatted number
    digits  // the same digits, formatting ignored
};

struct ContactMatch {
    Contact contact;
    int field = 0;
    MatchKind kind = MatchKind::exact;
};

// The contact for a formatted calling number: the first field, in field
// order, in which some contact holds exactly that text; failing that, the
// first field and contact with the same digits. Numbers that share only
// their tail (another area code, a country prefix) do not match.
std::optional<ContactMatch> FindContact(ContactStore& store, const QString& formatted);

}  // namespace q5::calls
