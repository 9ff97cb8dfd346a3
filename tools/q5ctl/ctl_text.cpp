#include "ctl_text.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "records/record_schema.h"
#include "records/record_set.h"
#include "records/schema_record.h"

namespace q5ctl {

std::optional<std::u16string> FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = 0;
        std::size_t extra = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1Fu;
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0Fu;
            extra = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07u;
            extra = 3;
        } else {
            return std::nullopt;
        }
        if (i + extra >= text.size()) return std::nullopt;  // cut short
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return std::nullopt;
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FFu)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += 1 + extra;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                    out += escaped;
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
    return out;
}

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0) out += ",";
        out += JsonString(members[i].first) + ":" + JsonString(members[i].second);
    }
    return out + "}";
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<HostPort> ParseHost(std::string_view text, int default_port) {
    HostPort out;
    if (text.size() > 6 && (text.substr(0, 6) == "tls://" || text.substr(0, 6) == "TLS://")) {
        // The library reads the port and the pin of a TLS host itself.
        out.host = std::string(text);
        out.port = default_port;
        return out;
    }
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        out.host = std::string(text);
        out.port = default_port;
    } else {
        out.host = std::string(text.substr(0, colon));
        const std::optional<int> port = ParseInt(text.substr(colon + 1));
        if (!port || *port < 1 || *port > 65535) return std::nullopt;
        out.port = *port;
    }
    if (out.host.empty() || out.host.find(':') != std::string::npos) return std::nullopt;
    return out;
}

std::optional<std::pair<std::string, std::string>> ParseAssignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0) return std::nullopt;
    return std::make_pair(std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)));
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::vector<std::string> TableNames() {
    std::vector<std::string> out;
    for (const std::string_view name : q5::records::RecordSet::TableNames()) out.emplace_back(name);
    return out;
}

namespace {

const q5::records::RecordSchema* SchemaOf(q5::records::RecordSet& set, std::string_view table) {
    const auto* record = dynamic_cast<const q5::records::SchemaRecord*>(set.Find(table));
    return record ? &record->schema() : nullptr;
}

}  // namespace

std::optional<std::vector<std::string>> TableFields(std::string_view table, bool privileged) {
    q5::records::RecordSet set;
    const q5::records::RecordSchema* schema = SchemaOf(set, table);
    if (!schema) return std::nullopt;
    std::vector<std::string> out;
    for (const q5::records::FieldDef& field : schema->fields) {
        if (!field.key.empty() && q5::records::Carried(field, privileged)) out.emplace_back(field.key);
    }
    return out;
}

bool IsField(std::string_view table, std::string_view field) {
    q5::records::RecordSet set;
    const q5::records::RecordSchema* schema = SchemaOf(set, table);
    if (!schema) return false;
    for (const q5::records::FieldDef& def : schema->fields) {
        if (!def.key.empty() && q5::records::KeyEquals(def.key, field)) return true;
    }
    return false;
}

}  // namespace q5ctl
