#include "tables.h"

#include <array>

#include "records/record_set.h"
#include "records/schema_record.h"

namespace q5sim {

namespace {

namespace records = q5::records;

// The tables that belong to one mailbox, keyed by the mailbox number in
// their first field; the first list may hold one row per mailbox only.
constexpr std::array<std::string_view, 8> kOnePerMailbox = {
    "BOX", "BOX_BIN", "BOX_EMAIL", "BOX_EMAIL2", "BOX_TRANS", "BOX_GREET", "BOX_CONV", "BOX_STAT"};
constexpr std::array<std::string_view, 2> kManyPerMailbox = {"CONV_TABLE", "BOX_MSGS"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view name) {
    for (std::string_view entry : list) {
        if (entry == name) return true;
    }
    return false;
}

std::vector<TableDef> BuildCatalog() {
    // The library's record set binds each table name to its record class;
    // its schema is the layout to store.
    records::RecordSet set;
    std::vector<TableDef> tables;
    for (std::string_view name : records::RecordSet::TableNames()) {
        const auto* record = dynamic_cast<const records::SchemaRecord*>(set.Find(name));
        if (!record) continue;
        TableDef table;
        table.name = std::string(name);
        table.schema = &record->schema();
        for (const records::FieldDef& field : table.schema->fields) {
            table.columns.push_back({std::string(field.name), field.type == records::FieldType::int32});
        }
        table.key_column = 0;
        table.one_per_mailbox = Contains(kOnePerMailbox, name);
        table.mailbox_table = table.one_per_mailbox || Contains(kManyPerMailbox, name);
        tables.push_back(std::move(table));
    }
    return tables;
}

}  // namespace

std::size_t TableDef::ColumnIndex(std::string_view column) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == column) return i;
    }
    return columns.size();
}

const std::vector<TableDef>& Catalog() {
    static const std::vector<TableDef> catalog = BuildCatalog();
    return catalog;
}

const TableDef* FindTable(std::string_view name) {
    for (const TableDef& table : Catalog()) {
        if (table.name == name) return &table;
    }
    return nullptr;
}

std::vector<bool> CarriedColumns(const TableDef& table, bool privileged) {
    std::vector<bool> carried;
    for (const records::FieldDef& field : table.schema->fields)
        carried.push_back(records::Carried(field, privileged));
    return carried;
}

bool ReadRecord(const TableDef& table, bool privileged, records::RecordReader& in, Row& row) {
    Row incoming = row;
    incoming.resize(table.columns.size());
    std::size_t index = 0;
    for (const records::FieldDef& field : table.schema->fields) {
        if (records::Carried(field, privileged)) {
            // A field sent twice keeps the second string.
            for (unsigned copy = 0; copy < field.copies; ++copy) {
                if (!in.ReadString(incoming[index])) return false;
            }
        }
        ++index;
    }
    row = std::move(incoming);
    return true;
}

bool WriteRecord(const TableDef& table, bool privileged, const Row& row, records::RecordWriter& out) {
    std::size_t index = 0;
    for (const records::FieldDef& field : table.schema->fields) {
        if (records::Carried(field, privileged)) {
            const std::string_view value =
                index < row.size() ? std::string_view(row[index]) : std::string_view();
            for (unsigned copy = 0; copy < field.copies; ++copy) {
                if (!out.WriteString(value)) return false;
            }
        }
        ++index;
    }
    return true;
}

}  // namespace q5sim
