#include "records/record_set.h"

#include "records/record_classes.h"

namespace q5::records {

namespace {

template <class Record>
std::unique_ptr<TableRecord> Make() {
    return std::make_unique<Record>();
}

struct Binding {
    std::string_view table;
    std::unique_ptr<TableRecord> (*make)();
};

// Table name to record class; each row makes its own object.
constexpr Binding kBindings[RecordSet::kTableCount] = {
    {"BOX", Make<BoxTable>},
    {"BOX_BIN", Make<BoxBinTable>},
    {"BOX_CONV", Make<SceduleTable>},
    {"BOX_EMAIL", Make<BoxEmailTable>},
    {"BOX_EMAIL2", Make<BoxEmail2Table>},
    {"BOX_GREET", Make<SceduleTable>},
    {"BOX_MSGS", Make<BoxMsgsTable>},
    {"BOX_STAT", Make<BoxStatTable>},
    {"BOX_TRANS", Make<SceduleTable>},
    {"CIDROUTE", Make<CidRouteTable>},
    {"CLASS", Make<COSTable>},
    {"CONV_TABLE", Make<ConvTable>},
    {"DASSIST", Make<DirAssistTable>},
    {"DEPART", Make<DepartTable>},
    {"DEP_LIST", Make<DepListTable>},
    {"DEP_LIST_MEMBERS", Make<DepListMembersTable>},
    {"FAX_LINES", Make<FaxLinesTable>},
    {"FORWARD", Make<ForwardTable>},
    {"LINE_SETUP", Make<LineSetup>},
    {"SCRIPT", Make<ScriptTable>},
};

}  // namespace

RecordSet::RecordSet() {
    for (std::size_t i = 0; i < kTableCount; ++i) records_[i] = kBindings[i].make();
}

TableRecord* RecordSet::Find(std::string_view table) noexcept {
    for (std::size_t i = 0; i < kTableCount; ++i) {
        if (kBindings[i].table == table) return records_[i].get();
    }
    return nullptr;
}

const std::array<std::string_view, RecordSet::kTableCount>& RecordSet::TableNames() noexcept {
    static const std::array<std::string_view, kTableCount> names = [] {
        std::array<std::string_view, kTableCount> out{};
        for (std::size_t i = 0; i < kTableCount; ++i) out[i] = kBindings[i].table;
        return out;
    }();
    return names;
}

}  // namespace q5::records
