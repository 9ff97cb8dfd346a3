// Layouts of the system tables. Every field here is privileged: a session
// that has not logged in with SU transfers none of them. Declared order is
// transfer order; spellings are the server's.
#include "records/schemas.h"

namespace q5::records::schemas {

// clang-format off

// ---- "CLASS": a class of service, 35 strings --------------------------------------------
constexpr FieldDef kCOSFields[] = {
    Priv("CLASS_NO"), Priv("DESCRIPTION"), Priv("LIFE_SAVED"), Priv("LIFE_NEW"), Priv("LIFE_DELETE"),
    Priv("MAX_MSGS"), Priv("MAX_LEN"), Priv("MIN_MSG_LEN"), Priv("MAX_SILENCE_RECORD"),
    Priv("GREAT_MAX_LEN"), Priv("AUTO_ALERT_ERASE"), Priv("END_REC_ALERT"), Priv("MAX_ON_HOLD"),
    Priv("AUTO_HOLD"), Priv("TRANSFER_SUPERVISION"), Priv("CALL_SCREEN"), Priv("REMOTE_CONFR"),
    Priv("WAKEUP"), Priv("GROUP_MSG"), Priv("NO_RINGS_BEFORE_NA"),
    Priv("MSG_REMINDER_FROM"), Priv("MSG_REMINDER_TO"), Priv("MSG_REMINDER_INT"), Priv("MSG_REMINDER_RINGS"),
    Priv("PLAY_MSG_ORDER"), Priv("CHANGE_DATE"), Priv("PLAY_ORIGIN"), Priv("PLAY_NEW"),
    Priv("CALLOUT_LEN"), Priv("CONTINUE"), Priv("LIFE_DELETE2"), Priv("DELETE_CONFIRM"),
    Priv("AFTER_GREET_MENU"), Priv("AUTO_SAVE"), Priv("ENVELOP_ORDER"),
};
constexpr RecordSchema kCOSTable{"COSTable", kCOSFields};

// ---- "DEPART": a department, 58 strings ---------------------------------------------------
constexpr FieldDef kDepartFields[] = {
    Priv("NUM"), Priv("MODE"), Priv("HOLIDAY_MODE"), Priv("DAY"), Priv("NIGHT"), Priv("LUNCH"),
    Priv("DAY_RINGS"), Priv("NIGHT_RINGS"), Priv("LANG"), Priv("LANG_ALT"), Priv("ALT_PRE"),
    Priv("DIREC_MODE"),
    Priv("SCRIPT_D"), Priv("SCRIPT_L"), Priv("SCRIPT_N"),
    Priv("DEST_D"), Priv("DEST_L"), Priv("DEST_N"),
    Priv("NO_TT_D"), Priv("NO_TT_L"), Priv("NO_TT_N"),
    Priv("O_MON"), Priv("O_TUE"), Priv("O_WED"), Priv("O_THU"), Priv("O_FRI"), Priv("O_SAT"), Priv("O_SUN"),
    Priv("LB_MON"), Priv("LB_TUE"), Priv("LB_WED"), Priv("LB_THU"), Priv("LB_FRI"), Priv("LB_SAT"), Priv("LB_SUN"),
    Priv("LO_MON"), Priv("LO_TUE"), Priv("LO_WED"), Priv("LO_THU"), Priv("LO_FRI"), Priv("LO_SAT"), Priv("LO_SUN"),
    Priv("C_MON"), Priv("C_TUE"), Priv("C_WED"), Priv("C_THU"), Priv("C_FRI"), Priv("C_SAT"), Priv("C_SUN"),
    Priv("TBL1"), Priv("TBL2"), Priv("TBL3"), Priv("TBL4"), Priv("TBL5"),
    Priv("TBL6"), Priv("TBL7"), Priv("TBL8"), Priv("TBL9"),
};
constexpr RecordSchema kDepartTable{"DepartTable", kDepartFields};

// ---- "DEP_LIST": an entry of a department's directory list, 5 strings --------------------
constexpr FieldDef kDepListFields[] = {
    Priv("BOX_NAME"), Priv("NUM"), Priv("NAME"), Priv("NAME_RECORDED"), Priv("LINK"),
};
constexpr RecordSchema kDepListTable{"DepListTable", kDepListFields};

// ---- "DEP_LIST_MEMBERS": a member mailbox of a directory list, 3 strings -----------------
constexpr FieldDef kDepListMembersFields[] = {
    Priv("BOX_NAME"), Priv("NUM"), Priv("BOX"),
};
constexpr RecordSchema kDepListMembersTable{"DepListMembersTable", kDepListMembersFields};

// ---- "SCRIPT": one step of a call-handling script, 19 strings; lower-case columns ----------
constexpr FieldDef kScriptFields[] = {
    Priv("mailbox"), Priv("line"), Priv("msg_01"), Priv("action_01"), Priv("param_01"),
    Priv("next_ok_01"), Priv("next_err_01"),
    Priv("g1_01"), Priv("g2_01"), Priv("g3_01"), Priv("g4_01"), Priv("g5_01"), Priv("g6_01"),
    Priv("g7_01"), Priv("g8_01"), Priv("g9_01"), Priv("g0_01"), Priv("gs_01"), Priv("gp_01"),
};
constexpr RecordSchema kScriptTable{"ScriptTable", kScriptFields};

// ---- "LINE_SETUP": one telephone line, 32 strings -------------------------------------------
// The week starts on Sunday, Wednesday is WEN, the reserved fields start at 3.
constexpr FieldDef kLineSetupFields[] = {
    Priv("LINE"), Priv("VOICE_PATH"), Priv("GEN_FILE"), Priv("MENU_FILE"), Priv("START_TASK"),
    Priv("START_LINE"), Priv("ACCEPT_DID"), Priv("ACCEPT_DNIS"), Priv("FAX_LINK"),
    Priv("ACTIVATE_TIME"), Priv("TIME_SCREEN"), Priv("TIME_START_LINE"),
    Priv("SUN_START"), Priv("SUN_END"), Priv("MON_START"), Priv("MON_END"),
    Priv("TUE_START"), Priv("TUE_END"), Priv("WEN_START"), Priv("WEN_END"),
    Priv("THU_START"), Priv("THU_END"), Priv("FRI_START"), Priv("FRI_END"),
    Priv("SAT_START"), Priv("SAT_END"),
    Priv("RSV3"), Priv("RSV4"), Priv("RSV5"), Priv("RSV6"), Priv("RSV7"), Priv("RSV8"),
};
constexpr RecordSchema kLineSetup{"LineSetup", kLineSetupFields};

// ---- "DASSIST": an entry of the directory assistance, 7 strings ---------------------------
constexpr FieldDef kDirAssistFields[] = {
    Priv("DEP"), Priv("OPMODE"), Priv("NAME"), Priv("MAILBOX"), Priv("OPENTYPE"),
    Priv("FIRST_NAME"), Priv("LAST_NAME"),
};
constexpr RecordSchema kDirAssistTable{"DirAssistTable", kDirAssistFields};

// ---- "CIDROUTE": routing by caller ID, 3 strings; reached by member-style names -----------
constexpr FieldDef kCidRouteFields[] = {
    Priv("CID").KeyedAs("m_cid"), Priv("MAILBOX").KeyedAs("m_mailbox"), Priv("OPENTYPE").KeyedAs("m_opentype"),
};
constexpr RecordSchema kCidRouteTable{"CidRouteTable", kCidRouteFields};

// ---- "FORWARD": a forwarding rule, 7 strings --------------------------------------------
constexpr FieldDef kForwardFields[] = {
    Priv("MAILBOX"), Priv("TIME_MODE"), Priv("INTEG_MODE"), Priv("CPC_RESULT"), Priv("ACTION_MODE"),
    Priv("PARAM_1"), Priv("PARAM_2"),
};
constexpr RecordSchema kForwardTable{"ForwardTable", kForwardFields};

// ---- "FAX_LINES": a fax line, 5 strings: RSV2 twice ---------------------------------------
constexpr FieldDef kFaxLinesFields[] = {
    Priv("DEV"), Priv("EXT"), Priv("RSV1"), Priv("RSV2").Twice(),
};
constexpr RecordSchema kFaxLinesTable{"FaxLinesTable", kFaxLinesFields};

// clang-format on

static_assert(IsConsistent(kCOSTable));
static_assert(IsConsistent(kDepartTable));
static_assert(IsConsistent(kDepListTable));
static_assert(IsConsistent(kDepListMembersTable));
static_assert(IsConsistent(kScriptTable));
static_assert(IsConsistent(kLineSetup));
static_assert(IsConsistent(kDirAssistTable));
static_assert(IsConsistent(kCidRouteTable));
static_assert(IsConsistent(kForwardTable));
static_assert(IsConsistent(kFaxLinesTable));

}  // namespace q5::records::schemas
