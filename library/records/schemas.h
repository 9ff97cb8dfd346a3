// The layouts of the eighteen record classes, one table each. The mailbox
// tables are in mailbox_schemas.cpp, the system tables in system_schemas.cpp.
//
// Thread rule: immutable data; any thread.
#pragma once

#include "records/record_schema.h"

namespace q5::records::schemas {

// Tables of one mailbox.
extern const RecordSchema kBoxTable;        // "BOX"
extern const RecordSchema kBoxBinTable;     // "BOX_BIN"
extern const RecordSchema kBoxEmailTable;   // "BOX_EMAIL"
extern const RecordSchema kBoxEmail2Table;  // "BOX_EMAIL2"
extern const RecordSchema kSceduleTable;    // "BOX_TRANS", "BOX_GREET", "BOX_CONV"
extern const RecordSchema kConvTable;       // "CONV_TABLE"
extern const RecordSchema kBoxStatTable;    // "BOX_STAT"
extern const RecordSchema kBoxMsgsTable;    // "BOX_MSGS"

// Tables of the whole system; only the privileged form carries fields.
extern const RecordSchema kCOSTable;             // "CLASS"
extern const RecordSchema kDepartTable;          // "DEPART"
extern const RecordSchema kDepListTable;         // "DEP_LIST"
extern const RecordSchema kDepListMembersTable;  // "DEP_LIST_MEMBERS"
extern const RecordSchema kScriptTable;          // "SCRIPT"
extern const RecordSchema kLineSetup;            // "LINE_SETUP"
extern const RecordSchema kDirAssistTable;       // "DASSIST"
extern const RecordSchema kCidRouteTable;        // "CIDROUTE"
extern const RecordSchema kForwardTable;         // "FORWARD"
extern const RecordSchema kFaxLinesTable;        // "FAX_LINES"

}  // namespace q5::records::schemas
