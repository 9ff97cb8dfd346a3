#include "records/schema_record.h"

#include <utility>

namespace q5::records {

SchemaRecord::SchemaRecord(const RecordSchema& schema) : schema_(schema), values_(schema.fields.size()) {}

std::ptrdiff_t SchemaRecord::Find(std::string_view name) const noexcept {
    for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
        const FieldDef& field = schema_.fields[i];
        if (!field.key.empty() && KeyEquals(name, field.key)) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

bool SchemaRecord::SetField(std::string_view name, std::string_view value) {
    const std::ptrdiff_t index = Find(name);
    if (index < 0) return false;
    // An empty or missing value is stored as one blank: no field is set empty by name.
    values_[static_cast<std::size_t>(index)].assign(value.empty() ? std::string_view(" ") : value);
    return true;
}

bool SchemaRecord::GetField(std::string_view name, std::string& value) const {
    const std::ptrdiff_t index = Find(name);
    if (index < 0) return false;
    value = values_[static_cast<std::size_t>(index)];
    return true;
}

bool SchemaRecord::Serialize(RecordWriter& out) const {
    const bool privileged = privileged_ != 0;
    for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
        const FieldDef& field = schema_.fields[i];
        if (!Carried(field, privileged)) continue;
        for (int copy = 0; copy < field.copies; ++copy) {
            if (!out.WriteString(values_[i])) return false;
        }
    }
    return true;
}

bool SchemaRecord::Serialize(RecordReader& in) {
    // Read the whole form first, so a stream that fails halfway leaves the
    // record as it was.
    const bool privileged = privileged_ != 0;
    std::vector<std::string> incoming(schema_.fields.size());
    for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
        const FieldDef& field = schema_.fields[i];
        if (!Carried(field, privileged)) continue;
        for (int copy = 0; copy < field.copies; ++copy) {
            if (!in.ReadString(incoming[i])) return false;
        }
    }
    for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
        if (Carried(schema_.fields[i], privileged)) values_[i] = std::move(incoming[i]);
    }
    return true;
}

}  // namespace q5::records
