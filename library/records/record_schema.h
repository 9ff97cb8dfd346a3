// The layout of a record class as data: its fields in declared order, and
// for each field how transfers carry it and the key that reaches it by name.
//
// Transfer order is declared order. The unprivileged form carries the fields
// marked `both`; the privileged form carries `both` and `privileged` fields.
// So "privileged fields first" or "privileged fields last" is simply where
// those rows stand in the table.
//
// Thread rule: immutable data; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace q5::records {

enum class Carry : std::uint8_t {
    both,        // in both transfer forms
    privileged,  // only in the privileged form
    none         // in no transfer: only the client's copy holds it
};

enum class FieldType : std::uint8_t {
    text,  // 8-bit string
    int32  // signed 32-bit number; never carried nor reachable by name
};

// The declared width, in characters, of every text column of the server's
// database. The library neither enforces nor truncates a value against it.
inline constexpr std::size_t kTextColumnWidth = 255;

struct FieldDef {
    std::string_view name;  // the column name, without brackets
    std::string_view key;   // the name SetField/GetField match; empty: unreachable
    Carry carry = Carry::both;
    std::uint8_t copies = 1;  // strings per transfer; on reading the last one stays
    FieldType type = FieldType::text;

    // The field is reached by another name than its column name.
    constexpr FieldDef KeyedAs(std::string_view other) const {
        FieldDef f = *this;
        f.key = other;
        return f;
    }
    // Transfers carry the field twice in a row.
    constexpr FieldDef Twice() const {
        FieldDef f = *this;
        f.copies = 2;
        return f;
    }
};

// A field of both forms.
constexpr FieldDef Both(std::string_view name) {
    return {name, name, Carry::both};
}
// A field of the privileged form only.
constexpr FieldDef Priv(std::string_view name) {
    return {name, name, Carry::privileged};
}
// A field that no transfer carries but that is reached by name.
constexpr FieldDef LocalOnly(std::string_view name) {
    return {name, name, Carry::none};
}
// A field that no transfer carries and no name reaches.
constexpr FieldDef Hidden(std::string_view name, FieldType type = FieldType::text) {
    return {name, {}, Carry::none, 1, type};
}

struct RecordSchema {
    std::string_view class_name;
    std::span<const FieldDef> fields;
};

constexpr bool Carried(const FieldDef& field, bool privileged) {
    return field.carry == Carry::both || (privileged && field.carry == Carry::privileged);
}

// Number of strings one transfer of the form carries.
constexpr std::size_t StringCount(const RecordSchema& schema, bool privileged) {
    std::size_t n = 0;
    for (const FieldDef& f : schema.fields) {
        if (Carried(f, privileged)) n += f.copies;
    }
    return n;
}

constexpr char FoldAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Key comparison: whole strings, ASCII letters without regard to case
// (every key is ASCII, so no other byte can fold onto one of its letters).
constexpr bool KeyEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// The rules every schema keeps: no key reaches two fields, numbers are
// neither carried nor reached, every carried field has one or two copies.
constexpr bool IsConsistent(const RecordSchema& schema) {
    const auto& fields = schema.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        if (f.name.empty() || f.copies < 1 || f.copies > 2) return false;
        if (f.type == FieldType::int32 && (f.carry != Carry::none || !f.key.empty())) return false;
        if (f.carry == Carry::none && f.copies != 1) return false;
        for (std::size_t j = i + 1; j < fields.size(); ++j) {
            if (!f.key.empty() && KeyEquals(f.key, fields[j].key)) return false;
            if (f.name == fields[j].name) return false;
        }
    }
    return true;
}

}  // namespace q5::records
