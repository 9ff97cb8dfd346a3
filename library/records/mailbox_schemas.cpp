// Layouts of the mailbox tables. Each table lists the class's fields in
// declared order, which is also transfer order; see record_schema.h for how
// the two transfer forms follow from the Carry marks. Spellings are the
// server's, misspellings included.
#include "records/schemas.h"

namespace q5::records::schemas {

// clang-format off

// ---- "BOX": the mailbox itself ---------------------------------------------------------
// Unprivileged 59 strings, privileged 63 (the four leading privileged fields).
constexpr FieldDef kBoxFields[] = {
    Priv("NUM"), Priv("TYPE"),
    LocalOnly("NETWORK_LOGID"),  // declared with the key fields; no transfer carries it
    Priv("CLASS"), Priv("DEPARTMENT"),
    Both("EXT1"), Both("EXT2"), Both("EXT3"),
    Both("COPY_TO"), Both("DELAY"), Both("DELAY_DAYS"), Both("DELAY_MSGS"),
    Both("PASS"), Both("LAST_N"), Both("FIRST_N"), Both("GUEST_PASSWORD"),
    Both("MWI"), Both("SCREEN"), Both("PA_PAGING"),
    // Weekday: NUM before ON; weekend: ON before NUM. WAKE_UP / WAKEUP as the server spells them.
    Both("WAKEUP_MODE"),
    Both("WAKE_UP_WEEK_NUM"), Both("WAKEUP_WEEK_ON"), Both("WAKE_UP_WEEK_HOUR"),
    Both("WAKEUP_WEEKEND_ON"), Both("WAKE_UP_WEEKEND_NUM"), Both("WAKE_UP_WEEKEND_HOUR"),
    Both("GREET"), Both("TRANS_CALL"), Both("MWI_OPTIONAL"), Both("MWI_OPTIONAL_TYPE"),
    Both("NAME_REC"), Both("GREET_REC"),
    Both("CALL_OUT_ACTIVE"), Both("CALL_OUT_NUMBER"), Both("CALL_SCHEDUALE"),
    Both("FAX_DID"), Both("SAVE_TRANSFER_FLAG"), Both("RESERVED3"),
    Both("SPELL_BY_LAST_NAME"), Both("SPELL_BY_FIRST_NAME"),
    Both("FIRST_TIME_ENTERED"), Both("MWI_ON"), Both("DEP_OVER"),
    Both("CON_TBL_1"), Both("CON_TBL_2"), Both("CON_TBL_3"), Both("CON_TBL_4"), Both("CON_TBL_5"),
    Both("CON_TBL_6"), Both("CON_TBL_7"), Both("CON_TBL_8"), Both("CON_TBL_9"), Both("CON_TBL_0"),
    Both("CALL_STATUS"), Both("CALL_LINK"), Both("COPY_TO_DELAY"), Both("TE_MM_TIMER"),
    Both("CR_TIMER"), Both("COPY_TO_TYPE"), Both("AUTO_CALL_RECORD"), Both("BOX_LANG"),
    Both("SPEC_MWI"), Both("SPEC_MWI_ON"), Both("SPEC_MWI_OFF"),
};
constexpr RecordSchema kBoxTable{"BoxTable", kBoxFields};

// ---- "BOX_BIN": call-out numbers and their seven schedules ------------------------------
// Unprivileged 112 strings, privileged 113. ATTEMP has no final T.
constexpr FieldDef kBoxBinFields[] = {
    Priv("BOX"),
    Both("NUM0"), Both("TYPE0"), Both("NUM1"), Both("TYPE1"), Both("NUM2"), Both("TYPE2"),
    Both("NUM3"), Both("TYPE3"), Both("NUM4"), Both("TYPE4"), Both("NUM5"), Both("TYPE5"),
    Both("NUM6"), Both("TYPE6"),
    Both("SCHED0_DAY"), Both("SCHED0_ACTIVE"), Both("SCHED0_NM"), Both("SCHED0_PM"),
    Both("SCHED0_FROM"), Both("SCHED0_UNTIL"), Both("SCHED0_BIN1"), Both("SCHED0_ATTEMP1"),
    Both("SCHED0_BIN2"), Both("SCHED0_ATTEMP2"), Both("SCHED0_BIN3"), Both("SCHED0_ATTEMP3"),
    Both("SCHED1_DAY"), Both("SCHED1_ACTIVE"), Both("SCHED1_NM"), Both("SCHED1_PM"),
    Both("SCHED1_FROM"), Both("SCHED1_UNTIL"), Both("SCHED1_BIN1"), Both("SCHED1_ATTEMP1"),
    Both("SCHED1_BIN2"), Both("SCHED1_ATTEMP2"), Both("SCHED1_BIN3"), Both("SCHED1_ATTEMP3"),
    Both("SCHED2_DAY"), Both("SCHED2_ACTIVE"), Both("SCHED2_NM"), Both("SCHED2_PM"),
    Both("SCHED2_FROM"), Both("SCHED2_UNTIL"), Both("SCHED2_BIN1"), Both("SCHED2_ATTEMP1"),
    Both("SCHED2_BIN2"), Both("SCHED2_ATTEMP2"), Both("SCHED2_BIN3"), Both("SCHED2_ATTEMP3"),
    Both("SCHED3_DAY"), Both("SCHED3_ACTIVE"), Both("SCHED3_NM"), Both("SCHED3_PM"),
    Both("SCHED3_FROM"), Both("SCHED3_UNTIL"), Both("SCHED3_BIN1"), Both("SCHED3_ATTEMP1"),
    Both("SCHED3_BIN2"), Both("SCHED3_ATTEMP2"), Both("SCHED3_BIN3"), Both("SCHED3_ATTEMP3"),
    Both("SCHED4_DAY"), Both("SCHED4_ACTIVE"), Both("SCHED4_NM"), Both("SCHED4_PM"),
    Both("SCHED4_FROM"), Both("SCHED4_UNTIL"), Both("SCHED4_BIN1"), Both("SCHED4_ATTEMP1"),
    Both("SCHED4_BIN2"), Both("SCHED4_ATTEMP2"), Both("SCHED4_BIN3"), Both("SCHED4_ATTEMP3"),
    Both("SCHED5_DAY"), Both("SCHED5_ACTIVE"), Both("SCHED5_NM"), Both("SCHED5_PM"),
    Both("SCHED5_FROM"), Both("SCHED5_UNTIL"), Both("SCHED5_BIN1"), Both("SCHED5_ATTEMP1"),
    Both("SCHED5_BIN2"), Both("SCHED5_ATTEMP2"), Both("SCHED5_BIN3"), Both("SCHED5_ATTEMP3"),
    Both("SCHED6_DAY"), Both("SCHED6_ACTIVE"), Both("SCHED6_NM"), Both("SCHED6_PM"),
    Both("SCHED6_FROM"), Both("SCHED6_UNTIL"), Both("SCHED6_BIN1"), Both("SCHED6_ATTEMP1"),
    Both("SCHED6_BIN2"), Both("SCHED6_ATTEMP2"), Both("SCHED6_BIN3"), Both("SCHED6_ATTEMP3"),
    Both("SCHED0_EXM"), Both("SCHED0_EMM"), Both("SCHED1_EXM"), Both("SCHED1_EMM"),
    Both("SCHED2_EXM"), Both("SCHED2_EMM"), Both("SCHED3_EXM"), Both("SCHED3_EMM"),
    Both("SCHED4_EXM"), Both("SCHED4_EMM"), Both("SCHED5_EXM"), Both("SCHED5_EMM"),
    Both("SCHED6_EXM"), Both("SCHED6_EMM"),
};
constexpr RecordSchema kBoxBinTable{"BoxBinTable", kBoxBinFields};

// ---- "BOX_EMAIL": e-mail settings and five POP accounts ---------------------------------
// Unprivileged 38 strings, privileged 42. The accounts are numbered 1 to 5 on
// the server and reached by name with 0 to 4.
constexpr FieldDef kBoxEmailFields[] = {
    Priv("NUM"), Priv("CANPOP"), Priv("CANQ5CLIENT"), Priv("CANTTS"),
    Both("POP3PASS"), Both("DELTYPE"), Both("MWI"), Both("MWI_ADDRESS"), Both("TIMEINT"),
    Both("POPSRV1").KeyedAs("POPSRV0"), Both("USER1").KeyedAs("USER0"), Both("PASS1").KeyedAs("PASS0"),
    Both("DEL1").KeyedAs("DEL0"), Both("TIMEOUT1").KeyedAs("TIMEOUT0"), Both("POPPORT1").KeyedAs("POPPORT0"),
    Both("POPSRV2").KeyedAs("POPSRV1"), Both("USER2").KeyedAs("USER1"), Both("PASS2").KeyedAs("PASS1"),
    Both("DEL2").KeyedAs("DEL1"), Both("TIMEOUT2").KeyedAs("TIMEOUT1"), Both("POPPORT2").KeyedAs("POPPORT1"),
    Both("POPSRV3").KeyedAs("POPSRV2"), Both("USER3").KeyedAs("USER2"), Both("PASS3").KeyedAs("PASS2"),
    Both("DEL3").KeyedAs("DEL2"), Both("TIMEOUT3").KeyedAs("TIMEOUT2"), Both("POPPORT3").KeyedAs("POPPORT2"),
    Both("POPSRV4").KeyedAs("POPSRV3"), Both("USER4").KeyedAs("USER3"), Both("PASS4").KeyedAs("PASS3"),
    Both("DEL4").KeyedAs("DEL3"), Both("TIMEOUT4").KeyedAs("TIMEOUT3"), Both("POPPORT4").KeyedAs("POPPORT3"),
    Both("POPSRV5").KeyedAs("POPSRV4"), Both("USER5").KeyedAs("USER4"), Both("PASS5").KeyedAs("PASS4"),
    Both("DEL5").KeyedAs("DEL4"), Both("TIMEOUT5").KeyedAs("TIMEOUT4"), Both("POPPORT5").KeyedAs("POPPORT4"),
    Both("REPLY_ADDRESS"), Both("SYNCHRONIZE_TTSMSGS"), Both("EMAIL_LAYOUT"),
};
constexpr RecordSchema kBoxEmailTable{"BoxEmailTable", kBoxEmailFields};

// ---- "BOX_EMAIL2": five e-mail entries -------------------------------------------------
// 21 strings in both forms; the key NUM travels unprivileged too.
constexpr FieldDef kBoxEmail2Fields[] = {
    Both("NUM"),
    Both("SUBJECT1"), Both("TXT1"), Both("ATTACH1"),
    Both("SUBJECT2"), Both("TXT2"), Both("ATTACH2"),
    Both("SUBJECT3"), Both("TXT3"), Both("ATTACH3"),
    Both("SUBJECT4"), Both("TXT4"), Both("ATTACH4"),
    Both("SUBJECT5"), Both("TXT5"), Both("ATTACH5"),
    Both("RCPT1"), Both("RCPT2"), Both("RCPT3"), Both("RCPT4"), Both("RCPT5"),
};
constexpr RecordSchema kBoxEmail2Table{"BoxEmail2Table", kBoxEmail2Fields};

// ---- "BOX_TRANS", "BOX_GREET", "BOX_CONV": seven schedule entries ------------------------
// Unprivileged 42 strings, privileged 43.
constexpr FieldDef kSceduleFields[] = {
    Priv("BOX"),
    Both("NUM0"), Both("ACTION0"), Both("ACTIVE0"), Both("DAY0"), Both("FROM0"), Both("UNTIL0"),
    Both("NUM1"), Both("ACTION1"), Both("ACTIVE1"), Both("DAY1"), Both("FROM1"), Both("UNTIL1"),
    Both("NUM2"), Both("ACTION2"), Both("ACTIVE2"), Both("DAY2"), Both("FROM2"), Both("UNTIL2"),
    Both("NUM3"), Both("ACTION3"), Both("ACTIVE3"), Both("DAY3"), Both("FROM3"), Both("UNTIL3"),
    Both("NUM4"), Both("ACTION4"), Both("ACTIVE4"), Both("DAY4"), Both("FROM4"), Both("UNTIL4"),
    Both("NUM5"), Both("ACTION5"), Both("ACTIVE5"), Both("DAY5"), Both("FROM5"), Both("UNTIL5"),
    Both("NUM6"), Both("ACTION6"), Both("ACTIVE6"), Both("DAY6"), Both("FROM6"), Both("UNTIL6"),
};
constexpr RecordSchema kSceduleTable{"SceduleTable", kSceduleFields};

// ---- "CONV_TABLE": a conversion table ---------------------------------------------------
// Unprivileged 2 strings, privileged 12: here the privileged fields come last.
constexpr FieldDef kConvFields[] = {
    Both("BOX"), Both("NUM"),
    Priv("CON_TBL_1"), Priv("CON_TBL_2"), Priv("CON_TBL_3"), Priv("CON_TBL_4"), Priv("CON_TBL_5"),
    Priv("CON_TBL_6"), Priv("CON_TBL_7"), Priv("CON_TBL_8"), Priv("CON_TBL_9"), Priv("CON_TBL_0"),
};
constexpr RecordSchema kConvTable{"ConvTable", kConvFields};

// ---- "BOX_STAT": message counters -------------------------------------------------------
// Unprivileged: nothing; privileged 15 strings.
constexpr FieldDef kBoxStatFields[] = {
    Priv("NAME"), Priv("C_O_S"), Priv("TOTAL"), Priv("NEW"), Priv("SAVED"),
    Priv("FUTURE"), Priv("SYSTEM"), Priv("DELETED"), Priv("PRIORITY"),
    Priv("BROADCAST_DATE"), Priv("BROADCAST_TIME"), Priv("RESERVED"),
    Priv("OWNER_USE"), Priv("USED_TOTAL"), Priv("PRG_VAR"),
};
constexpr RecordSchema kBoxStatTable{"BoxStatTable", kBoxStatFields};

// ---- "BOX_MSGS": one message ----------------------------------------------------------
// Unprivileged: nothing; privileged 10 strings, TYPE twice.
constexpr FieldDef kBoxMsgsFields[] = {
    Priv("MAILED_TO"), Priv("MAILED_BY"), Priv("STATUS"), Priv("DATE"), Priv("TIME"),
    Priv("DAY"), Priv("MSG_NAME"), Priv("CALLER_ID"),
    Priv("TYPE").Twice(),
    Hidden("UID", FieldType::int32), Hidden("FLAGS"), Hidden("TAG", FieldType::int32),
    Hidden("DUR", FieldType::int32),
};
constexpr RecordSchema kBoxMsgsTable{"BoxMsgsTable", kBoxMsgsFields};

// clang-format on

static_assert(IsConsistent(kBoxTable));
static_assert(IsConsistent(kBoxBinTable));
static_assert(IsConsistent(kBoxEmailTable));
static_assert(IsConsistent(kBoxEmail2Table));
static_assert(IsConsistent(kSceduleTable));
static_assert(IsConsistent(kConvTable));
static_assert(IsConsistent(kBoxStatTable));
static_assert(IsConsistent(kBoxMsgsTable));

}  // namespace q5::records::schemas
