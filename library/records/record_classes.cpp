#include "records/record_classes.h"

#include "records/schemas.h"

namespace q5::records {

BoxTable::BoxTable() : SchemaRecord(schemas::kBoxTable) {}
BoxBinTable::BoxBinTable() : SchemaRecord(schemas::kBoxBinTable) {}
BoxEmailTable::BoxEmailTable() : SchemaRecord(schemas::kBoxEmailTable) {}
BoxEmail2Table::BoxEmail2Table() : SchemaRecord(schemas::kBoxEmail2Table) {}
SceduleTable::SceduleTable() : SchemaRecord(schemas::kSceduleTable) {}
ConvTable::ConvTable() : SchemaRecord(schemas::kConvTable) {}
BoxStatTable::BoxStatTable() : SchemaRecord(schemas::kBoxStatTable) {}
BoxMsgsTable::BoxMsgsTable() : SchemaRecord(schemas::kBoxMsgsTable) {}

COSTable::COSTable() : SchemaRecord(schemas::kCOSTable) {}
DepartTable::DepartTable() : SchemaRecord(schemas::kDepartTable) {}
DepListTable::DepListTable() : SchemaRecord(schemas::kDepListTable) {}
DepListMembersTable::DepListMembersTable() : SchemaRecord(schemas::kDepListMembersTable) {}
ScriptTable::ScriptTable() : SchemaRecord(schemas::kScriptTable) {}
LineSetup::LineSetup() : SchemaRecord(schemas::kLineSetup) {}
DirAssistTable::DirAssistTable() : SchemaRecord(schemas::kDirAssistTable) {}
CidRouteTable::CidRouteTable() : SchemaRecord(schemas::kCidRouteTable) {}
ForwardTable::ForwardTable() : SchemaRecord(schemas::kForwardTable) {}
FaxLinesTable::FaxLinesTable() : SchemaRecord(schemas::kFaxLinesTable) {}

}  // namespace q5::records
