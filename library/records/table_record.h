// TableRecord: the common base of the record classes, the client's copy of
// one row of one server table.
//
// Every field is 8-bit text, empty when the record is made. The privileged
// flag, which the session stores before every transfer, chooses between the
// record's two transfer forms (the privileged form adds fields).
//
// Thread rule: a record belongs to the session that owns it; one thread at a
// time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "records/record_stream.h"

namespace q5::records {

class TableRecord {
public:
    virtual ~TableRecord() = default;
    TableRecord(const TableRecord&) = delete;
    TableRecord& operator=(const TableRecord&) = delete;

    // The flag that the next transfer obeys (0 = unprivileged form).
    virtual void SetPrivileged(std::uint32_t flag) noexcept = 0;
    virtual std::uint32_t GetPrivileged() const noexcept = 0;

    // Sets the field whose key matches `name` (ASCII case ignored, nothing
    // trimmed). An empty value is stored as a single blank, so a missing
    // value (passed as empty) is stored as a blank as well. False, and
    // nothing changed, when no key matches.
    virtual bool SetField(std::string_view name, std::string_view value) = 0;
    // Copies the matching field's value as stored into `value`. False, and
    // `value` untouched, when no key matches.
    virtual bool GetField(std::string_view name, std::string& value) const = 0;

    // Writes the fields of the form the flag selects, in transfer order.
    // False (the writer then holds a partial record) when a value is longer
    // than the stream allows.
    virtual bool Serialize(RecordWriter& out) const = 0;
    // Reads the fields of the form the flag selects, in transfer order. All
    // or nothing: on failure (see in.error()) every field keeps its value.
    virtual bool Serialize(RecordReader& in) = 0;

protected:
    TableRecord() = default;
};

}  // namespace q5::records
