// SchemaRecord: the one implementation of TableRecord. A record class is a
// schema (record_schema.h) plus this engine; the engine serializes the
// fields of the selected form in order and matches names against the keys.
//
// Thread rule: as TableRecord (one thread at a time).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_schema.h"
#include "records/table_record.h"

namespace q5::records {

class SchemaRecord : public TableRecord {
public:
    void SetPrivileged(std::uint32_t flag) noexcept override { privileged_ = flag; }
    std::uint32_t GetPrivileged() const noexcept override { return privileged_; }
    bool SetField(std::string_view name, std::string_view value) override;
    bool GetField(std::string_view name, std::string& value) const override;
    bool Serialize(RecordWriter& out) const override;
    bool Serialize(RecordReader& in) override;

    const RecordSchema& schema() const noexcept { return schema_; }

protected:
    explicit SchemaRecord(const RecordSchema& schema);

private:
    // Index of the field whose key matches `name`, or -1.
    std::ptrdiff_t Find(std::string_view name) const noexcept;

    const RecordSchema& schema_;
    std::uint32_t privileged_ = 0;
    // One text per declared field; the slots of number fields stay empty, as
    // nothing reads or writes them.
    std::vector<std::string> values_;
};

}  // namespace q5::records
