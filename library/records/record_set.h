// RecordSet: the session's record objects, one per table name, made with the
// set and never replaced. "BOX_TRANS", "BOX_GREET" and "BOX_CONV" share the
// class SceduleTable but each has its own object. Values stay in an object
// until a fetch or a SetField replaces them.
//
// Thread rule: belongs to one session; one thread at a time.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>

#include "records/table_record.h"

namespace q5::records {

class RecordSet {
public:
    static constexpr std::size_t kTableCount = 20;

    RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    // The record of `table`, compared byte for byte and whole (so "box" or
    // "BOX " find nothing); null for any other name.
    TableRecord* Find(std::string_view table) noexcept;

    // The table names, in the order of the set.
    static const std::array<std::string_view, kTableCount>& TableNames() noexcept;

private:
    std::array<std::unique_ptr<TableRecord>, kTableCount> records_;
};

}  // namespace q5::records
