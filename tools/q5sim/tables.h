// The twenty server tables as q5sim stores them: one database table per
// server table, one column per field that the table's record class declares
// (columns and transfer forms come from the records layer's schemas, so the
// emulator and the library cannot disagree about a layout), and the record
// stream of one row in either transfer form.
//
// Thread rule: immutable catalog; the codec functions are stateless.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/record_schema.h"
#include "records/record_stream.h"

namespace q5sim {

struct ColumnDef {
    std::string name;
    bool integer = false;  // a number field (never carried)
};

struct TableDef {
    std::string name;  // as the protocol spells it, e.g. "BOX_EMAIL2"
    const q5::records::RecordSchema* schema = nullptr;
    std::vector<ColumnDef> columns;  // the schema's fields, declared order
    std::size_t key_column = 0;      // OPEN's key: the first field
    bool mailbox_table = false;      // the key column holds a mailbox number
    bool one_per_mailbox = false;    // at most one row per mailbox

    std::size_t ColumnIndex(std::string_view column) const;  // columns.size() when absent
};

// One row: a value per column, in column order.
using Row = std::vector<std::string>;

const std::vector<TableDef>& Catalog();
// Exact, case-sensitive match; null for other names.
const TableDef* FindTable(std::string_view name);

// Columns that a transfer in the given form carries.
std::vector<bool> CarriedColumns(const TableDef& table, bool privileged);

// Reads one record of the form into `row` (carried columns only; the others
// keep their values). False when the stream failed; `row` is then unchanged.
bool ReadRecord(const TableDef& table, bool privileged, q5::records::RecordReader& in, Row& row);
// Writes the row in the form. False when a value is too long for the stream.
bool WriteRecord(const TableDef& table, bool privileged, const Row& row, q5::records::RecordWriter& out);

}  // namespace q5sim
