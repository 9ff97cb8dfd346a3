// Fuzzes the record stream reader: the first byte picks a table (all twenty,
// so all eighteen record classes) and the transfer form (any non-zero flag
// is the privileged form; selectors 220 to 239 use a high-bit flag), the
// rest is the stream. Whatever the bytes, reading must not crash, must keep
// every string within the limit, must change only the fields its form
// carries, and a record that was read must come out of a write and a second
// read with the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "records/record_schema.h"
#include "records/record_set.h"
#include "records/record_stream.h"
#include "records/schema_record.h"

namespace {

using q5::records::Carried;
using q5::records::FieldDef;
using q5::records::kMaxStringBytes;
using q5::records::MemorySource;
using q5::records::RecordReader;
using q5::records::RecordSet;
using q5::records::RecordWriter;
using q5::records::SchemaRecord;
using q5::records::StreamError;
using q5::records::TableRecord;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string Written(const TableRecord& record) {
    RecordWriter writer;
    Check(record.Serialize(writer));
    return writer.bytes();
}

// A value no stream of the fuzzer's size can set: what a field keeps when the
// read does not carry it.
std::string Marker(std::string_view key) {
    return "\x7f unread " + std::string(key);
}

// A key that reaches exactly one field (the first match wins on a shared key).
bool Unique(std::span<const FieldDef> fields, std::string_view key) {
    if (key.empty()) return false;
    int matches = 0;
    for (const FieldDef& field : fields) matches += q5::records::KeyEquals(field.key, key) ? 1 : 0;
    return matches == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t selector = data[0];
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view table = RecordSet::TableNames()[selector % RecordSet::kTableCount];
    const bool privileged_form = (selector / RecordSet::kTableCount) % 2 != 0;
    const std::uint32_t privileged = privileged_form ? (selector >= 200 ? 0x80000000u : 1u) : 0u;

    RecordSet first;
    TableRecord* record = first.Find(table);
    Check(record != nullptr);
    const auto* schema_record = dynamic_cast<const SchemaRecord*>(record);
    Check(schema_record != nullptr);
    const auto fields = schema_record->schema().fields;
    for (const FieldDef& field : fields) {
        if (!field.key.empty()) Check(record->SetField(field.key, Marker(field.key)));
    }
    record->SetPrivileged(privileged);
    const std::string before = Written(*record);

    MemorySource source(stream);
    RecordReader reader(source);
    if (record->Serialize(reader)) {
        Check(reader.error() == StreamError::none);
        // Write, read into a fresh set, write again: the same bytes.
        const std::string once = Written(*record);
        RecordSet second;
        TableRecord* copy = second.Find(table);
        copy->SetPrivileged(privileged);
        MemorySource again(once);
        RecordReader again_reader(again);
        Check(copy->Serialize(again_reader));
        Check(again.remaining() == 0);
        Check(Written(*copy) == once);
        // Field by field: the form's fields as read and re-read, the others
        // as they were.
        for (const FieldDef& field : fields) {
            if (!Unique(fields, field.key)) continue;
            std::string value, again_value;
            Check(record->GetField(field.key, value));
            Check(copy->GetField(field.key, again_value));
            if (Carried(field, privileged_form)) {
                Check(value == again_value && value.size() <= kMaxStringBytes);
            } else {
                Check(value == Marker(field.key));
            }
        }
    } else {
        Check(reader.error() != StreamError::none);
        Check(Written(*record) == before);  // a failed read changes nothing
    }

    // Whatever follows, as plain strings.
    std::string text;
    while (reader.ReadString(text)) Check(text.size() <= kMaxStringBytes);
    Check(reader.error() != StreamError::none);
    return 0;
}
