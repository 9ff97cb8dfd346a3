// The eighteen record classes. Each is its table's layout (schemas.h) bound
// to the common engine (schema_record.h); nothing about a table lives here.
//
// Thread rule: as TableRecord (one thread at a time).
#pragma once

#include "records/schema_record.h"

namespace q5::records {

// clang-format off
// Mailbox tables.
class BoxTable final : public SchemaRecord { public: BoxTable(); };
class BoxBinTable final : public SchemaRecord { public: BoxBinTable(); };
class BoxEmailTable final : public SchemaRecord { public: BoxEmailTable(); };
class BoxEmail2Table final : public SchemaRecord { public: BoxEmail2Table(); };
class SceduleTable final : public SchemaRecord { public: SceduleTable(); };
class ConvTable final : public SchemaRecord { public: ConvTable(); };
class BoxStatTable final : public SchemaRecord { public: BoxStatTable(); };
class BoxMsgsTable final : public SchemaRecord { public: BoxMsgsTable(); };

// System tables.
class COSTable final : public SchemaRecord { public: COSTable(); };
class DepartTable final : public SchemaRecord { public: DepartTable(); };
class DepListTable final : public SchemaRecord { public: DepListTable(); };
class DepListMembersTable final : public SchemaRecord { public: DepListMembersTable(); };
class ScriptTable final : public SchemaRecord { public: ScriptTable(); };
class LineSetup final : public SchemaRecord { public: LineSetup(); };
class DirAssistTable final : public SchemaRecord { public: DirAssistTable(); };
class CidRouteTable final : public SchemaRecord { public: CidRouteTable(); };
class ForwardTable final : public SchemaRecord { public: ForwardTable(); };
class FaxLinesTable final : public SchemaRecord { public: FaxLinesTable(); };

// clang-format on

}  // namespace q5::records
