// The record classes in memory: how many strings each transfer form
// carries and in which order, the names by which fields are reached, and
// the record set's lookup by table name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "records/record_classes.h"
#include "records/record_set.h"
#include "records/schemas.h"

namespace q5::records {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

Strings Decode(const std::string& bytes) {
    MemorySource source(bytes);
    RecordReader reader(source);
    Strings out;
    std::string text;
    while (source.remaining() > 0) {
        EXPECT_TRUE(reader.ReadString(text));
        out.push_back(text);
    }
    return out;
}

Strings Written(const TableRecord& record) {
    RecordWriter writer;
    EXPECT_TRUE(record.Serialize(writer));
    return Decode(writer.bytes());
}

std::string Encode(const Strings& strings) {
    RecordWriter writer;
    for (const std::string& s : strings) writer.WriteString(s);
    return writer.bytes();
}

// Reads `strings` into the record; true when the record took all of them.
bool Read(TableRecord& record, const Strings& strings) {
    const std::string bytes = Encode(strings);
    MemorySource source(bytes);
    RecordReader reader(source);
    return record.Serialize(reader) && source.remaining() == 0;
}

std::string Get(const TableRecord& record, const std::string& name) {
    std::string value = "<unreached>";
    record.GetField(name, value);
    return value;
}

// Every reachable field set to its own key, so a written record spells out
// its transfer order.
void FillWithKeys(TableRecord& record, const RecordSchema& schema) {
    for (const FieldDef& field : schema.fields) {
        if (!field.key.empty()) record.SetField(field.key, field.key);
    }
}

// ---- Number of strings per transfer form -----------------------------------------------------

struct FormCounts {
    std::string_view table;
    std::size_t unprivileged;
    std::size_t privileged;
};

// An empty field is the single byte 0x00, so a fresh record's stream length
// is its string count.
std::size_t FreshStreamLength(std::string_view table, bool privileged) {
    RecordSet set;
    TableRecord* record = set.Find(table);
    if (!record) return 9999;
    record->SetPrivileged(privileged ? 1 : 0);
    RecordWriter writer;
    EXPECT_TRUE(record->Serialize(writer));
    return writer.bytes().size();
}

TEST(TransferForms, EveryTableCarriesItsNumberOfStringsInEachForm) {
    const FormCounts expected[] = {
        {"BOX", 59, 63},        {"BOX_BIN", 112, 113}, {"BOX_CONV", 42, 43},  {"BOX_EMAIL", 38, 42},
        {"BOX_EMAIL2", 21, 21}, {"BOX_GREET", 42, 43}, {"BOX_MSGS", 0, 10},   {"BOX_STAT", 0, 15},
        {"BOX_TRANS", 42, 43},  {"CIDROUTE", 0, 3},    {"CLASS", 0, 35},      {"CONV_TABLE", 2, 12},
        {"DASSIST", 0, 7},      {"DEPART", 0, 58},     {"DEP_LIST", 0, 5},    {"DEP_LIST_MEMBERS", 0, 3},
        {"FAX_LINES", 0, 5},    {"FORWARD", 0, 7},     {"LINE_SETUP", 0, 32}, {"SCRIPT", 0, 19},
    };
    ASSERT_EQ(std::size(expected), RecordSet::kTableCount);
    for (const FormCounts& c : expected) {
        EXPECT_EQ(FreshStreamLength(c.table, false), c.unprivileged) << c.table;
        EXPECT_EQ(FreshStreamLength(c.table, true), c.privileged) << c.table;
    }
}

TEST(TransferForms, AnyFlagValueOtherThanZeroSelectsThePrivilegedForm) {
    BoxTable box;
    box.SetPrivileged(7);
    EXPECT_EQ(box.GetPrivileged(), 7u);
    EXPECT_EQ(Written(box).size(), 63u);
}

// ---- Transfer order ----------------------------------------------------------------------------

TEST(TransferOrder, BoxPutsItsFourKeyFieldsFirstAndWakeUpGroupsInTheirOddOrder) {
    BoxTable box;
    FillWithKeys(box, schemas::kBoxTable);
    const Strings common = {"EXT1",
                            "EXT2",
                            "EXT3",
                            "COPY_TO",
                            "DELAY",
                            "DELAY_DAYS",
                            "DELAY_MSGS",
                            "PASS",
                            "LAST_N",
                            "FIRST_N",
                            "GUEST_PASSWORD",
                            "MWI",
                            "SCREEN",
                            "PA_PAGING",
                            "WAKEUP_MODE",
                            "WAKE_UP_WEEK_NUM",
                            "WAKEUP_WEEK_ON",
                            "WAKE_UP_WEEK_HOUR",
                            "WAKEUP_WEEKEND_ON",
                            "WAKE_UP_WEEKEND_NUM",
                            "WAKE_UP_WEEKEND_HOUR",
                            "GREET",
                            "TRANS_CALL",
                            "MWI_OPTIONAL",
                            "MWI_OPTIONAL_TYPE",
                            "NAME_REC",
                            "GREET_REC",
                            "CALL_OUT_ACTIVE",
                            "CALL_OUT_NUMBER",
                            "CALL_SCHEDUALE",
                            "FAX_DID",
                            "SAVE_TRANSFER_FLAG",
                            "RESERVED3",
                            "SPELL_BY_LAST_NAME",
                            "SPELL_BY_FIRST_NAME",
                            "FIRST_TIME_ENTERED",
                            "MWI_ON",
                            "DEP_OVER",
                            "CON_TBL_1",
                            "CON_TBL_2",
                            "CON_TBL_3",
                            "CON_TBL_4",
                            "CON_TBL_5",
                            "CON_TBL_6",
                            "CON_TBL_7",
                            "CON_TBL_8",
                            "CON_TBL_9",
                            "CON_TBL_0",
                            "CALL_STATUS",
                            "CALL_LINK",
                            "COPY_TO_DELAY",
                            "TE_MM_TIMER",
                            "CR_TIMER",
                            "COPY_TO_TYPE",
                            "AUTO_CALL_RECORD",
                            "BOX_LANG",
                            "SPEC_MWI",
                            "SPEC_MWI_ON",
                            "SPEC_MWI_OFF"};
    EXPECT_EQ(Written(box), common);
    box.SetPrivileged(1);
    Strings privileged = {"NUM", "TYPE", "CLASS", "DEPARTMENT"};
    privileged.insert(privileged.end(), common.begin(), common.end());
    EXPECT_EQ(Written(box), privileged);
}

TEST(TransferOrder, BoxBinPairsThenTwelveFieldSchedulesThenTheirEmailPairs) {
    Strings expected = {"BOX"};
    for (int k = 0; k < 7; ++k) {
        expected.push_back("NUM" + std::to_string(k));
        expected.push_back("TYPE" + std::to_string(k));
    }
    for (int k = 0; k < 7; ++k) {
        const std::string s = "SCHED" + std::to_string(k) + "_";
        for (const char* f : {"DAY", "ACTIVE", "NM", "PM", "FROM", "UNTIL", "BIN1", "ATTEMP1", "BIN2",
                              "ATTEMP2", "BIN3", "ATTEMP3"}) {
            expected.push_back(s + f);
        }
    }
    for (int k = 0; k < 7; ++k) {
        expected.push_back("SCHED" + std::to_string(k) + "_EXM");
        expected.push_back("SCHED" + std::to_string(k) + "_EMM");
    }
    BoxBinTable bin;
    FillWithKeys(bin, schemas::kBoxBinTable);
    bin.SetPrivileged(1);
    EXPECT_EQ(Written(bin), expected);
}

TEST(TransferOrder, BoxEmailAccountsTravelNumberedFromOneAndAreReachedFromZero) {
    Strings expected = {"NUM",     "CANPOP", "CANQ5CLIENT", "CANTTS", "POP3PASS",
                        "DELTYPE", "MWI",    "MWI_ADDRESS", "TIMEINT"};
    for (int k = 0; k < 5; ++k) {
        for (const char* f : {"POPSRV", "USER", "PASS", "DEL", "TIMEOUT", "POPPORT"}) {
            expected.push_back(f + std::to_string(k));  // the key, in the place of column k + 1
        }
    }
    for (const char* f : {"REPLY_ADDRESS", "SYNCHRONIZE_TTSMSGS", "EMAIL_LAYOUT"}) expected.push_back(f);
    BoxEmailTable email;
    FillWithKeys(email, schemas::kBoxEmailTable);
    email.SetPrivileged(1);
    EXPECT_EQ(Written(email), expected);
}

TEST(TransferOrder, BoxEmail2CarriesItsKeyInBothFormsAndRecipientsLast) {
    Strings expected = {"NUM"};
    for (int k = 1; k <= 5; ++k) {
        for (const char* f : {"SUBJECT", "TXT", "ATTACH"}) expected.push_back(f + std::to_string(k));
    }
    for (int k = 1; k <= 5; ++k) expected.push_back("RCPT" + std::to_string(k));
    BoxEmail2Table email2;
    FillWithKeys(email2, schemas::kBoxEmail2Table);
    EXPECT_EQ(Written(email2), expected);
    email2.SetPrivileged(1);
    EXPECT_EQ(Written(email2), expected);
}

TEST(TransferOrder, ScheduleEntriesRunSixFieldsPerDay) {
    Strings expected = {"BOX"};
    for (int k = 0; k < 7; ++k) {
        for (const char* f : {"NUM", "ACTION", "ACTIVE", "DAY", "FROM", "UNTIL"}) {
            expected.push_back(f + std::to_string(k));
        }
    }
    SceduleTable schedule;
    FillWithKeys(schedule, schemas::kSceduleTable);
    schedule.SetPrivileged(1);
    EXPECT_EQ(Written(schedule), expected);
}

TEST(TransferOrder, ConvTablePutsItsPrivilegedFieldsAfterTheCommonOnes) {
    ConvTable conv;
    FillWithKeys(conv, schemas::kConvTable);
    EXPECT_EQ(Written(conv), (Strings{"BOX", "NUM"}));
    conv.SetPrivileged(1);
    EXPECT_EQ(Written(conv),
              (Strings{"BOX", "NUM", "CON_TBL_1", "CON_TBL_2", "CON_TBL_3", "CON_TBL_4", "CON_TBL_5",
                       "CON_TBL_6", "CON_TBL_7", "CON_TBL_8", "CON_TBL_9", "CON_TBL_0"}));
}

TEST(TransferOrder, DepartWeekdayGroupsRunMondayToSundayThenNineTables) {
    DepartTable depart;
    FillWithKeys(depart, schemas::kDepartTable);
    depart.SetPrivileged(1);
    const Strings written = Written(depart);
    ASSERT_EQ(written.size(), 58u);
    EXPECT_EQ(written[20], "NO_TT_N");
    Strings groups;
    for (const char* g : {"O_", "LB_", "LO_", "C_"}) {
        for (const char* d : {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"})
            groups.push_back(std::string(g) + d);
    }
    for (int k = 1; k <= 9; ++k) groups.push_back("TBL" + std::to_string(k));
    EXPECT_EQ(Strings(written.begin() + 21, written.end()), groups);
}

TEST(TransferOrder, LineSetupWeekStartsOnSundayAndReservedFieldsStartAtThree) {
    LineSetup line;
    FillWithKeys(line, schemas::kLineSetup);
    line.SetPrivileged(1);
    const Strings written = Written(line);
    ASSERT_EQ(written.size(), 32u);
    EXPECT_EQ(
        Strings(written.begin() + 12, written.end()),
        (Strings{"SUN_START", "SUN_END",   "MON_START", "MON_END",   "TUE_START", "TUE_END",   "WEN_START",
                 "WEN_END",   "THU_START", "THU_END",   "FRI_START", "FRI_END",   "SAT_START", "SAT_END",
                 "RSV3",      "RSV4",      "RSV5",      "RSV6",      "RSV7",      "RSV8"}));
}

TEST(TransferOrder, SystemTablesCarryNothingUnprivileged) {
    RecordSet set;
    for (const char* table : {"CLASS", "DEPART", "DEP_LIST", "DEP_LIST_MEMBERS", "SCRIPT", "LINE_SETUP",
                              "DASSIST", "CIDROUTE", "FORWARD", "FAX_LINES", "BOX_STAT", "BOX_MSGS"}) {
        TableRecord* record = set.Find(table);
        ASSERT_NE(record, nullptr) << table;
        record->SetField("NUM", "set");  // whatever the record holds, nothing goes out
        EXPECT_TRUE(Written(*record).empty()) << table;
        EXPECT_TRUE(Read(*record, {})) << table;
    }
}

// ---- Doubled strings and fields no transfer carries ---------------------------------------------

TEST(DoubledStrings, BoxMsgsWritesTypeTwiceAndKeepsTheLastOfTwoOnReading) {
    BoxMsgsTable msgs;
    msgs.SetPrivileged(1);
    ASSERT_TRUE(Read(msgs, {"to", "by", "st", "d", "t", "dy", "name", "cid", "first", "second"}));
    EXPECT_EQ(Get(msgs, "TYPE"), "second");
    EXPECT_EQ(Get(msgs, "CALLER_ID"), "cid");
    EXPECT_EQ(Written(msgs), (Strings{"to", "by", "st", "d", "t", "dy", "name", "cid", "second", "second"}));
}

TEST(DoubledStrings, FaxLinesWritesRsv2TwiceAndKeepsTheFifthString) {
    FaxLinesTable fax;
    fax.SetPrivileged(1);
    ASSERT_TRUE(Read(fax, {"dev", "ext", "r1", "r2a", "r2b"}));
    EXPECT_EQ(Get(fax, "RSV2"), "r2b");
    EXPECT_EQ(Written(fax), (Strings{"dev", "ext", "r1", "r2b", "r2b"}));
}

TEST(UntransferredFields, BoxNetworkLogidIsReachableButNeverSentNorFilled) {
    BoxTable box;
    box.SetPrivileged(1);
    ASSERT_TRUE(box.SetField("NETWORK_LOGID", "logid"));
    const Strings written = Written(box);
    EXPECT_EQ(std::count(written.begin(), written.end(), "logid"), 0);
    ASSERT_TRUE(Read(box, Strings(63, "x")));
    EXPECT_EQ(Get(box, "NETWORK_LOGID"), "logid");
}

TEST(UntransferredFields, BoxMsgsFlagsAndNumbersCannotBeReachedByName) {
    BoxMsgsTable msgs;
    for (const char* name : {"FLAGS", "UID", "TAG", "DUR"}) {
        EXPECT_FALSE(msgs.SetField(name, "1")) << name;
        EXPECT_EQ(Get(msgs, name), "<unreached>") << name;
    }
}

// ---- Field access by name ----------------------------------------------------------------------

TEST(FieldByName, CaseOfLettersIsIgnoredBothWays) {
    BoxTable box;
    ASSERT_TRUE(box.SetField("num", "100"));
    EXPECT_EQ(Get(box, "Num"), "100");
    ScriptTable script;
    ASSERT_TRUE(script.SetField("NEXT_OK_01", "3"));
    EXPECT_EQ(Get(script, "next_ok_01"), "3");
}

TEST(FieldByName, NamesAreNotTrimmedNorUnbracketed) {
    BoxTable box;
    for (const std::string& name : Strings{"[NUM]", "NUM ", " NUM", "NUM\0"s, "", "NUMBER", "NU"}) {
        EXPECT_FALSE(box.SetField(name, "x")) << name;
        std::string out = "kept";
        EXPECT_FALSE(box.GetField(name, out)) << name;
        EXPECT_EQ(out, "kept") << name;
    }
    EXPECT_EQ(Get(box, "NUM"), "");
}

TEST(NameKeys, BoxEmailAccountsAreReachedFromZeroAndFiveIsUnknown) {
    BoxEmailTable email;
    ASSERT_TRUE(Read(email, [] {
        Strings s(38, "");
        s[6] = "first-user";  // USER1 on the wire
        s[34] = "last-port";  // POPPORT5 on the wire
        return s;
    }()));
    EXPECT_EQ(Get(email, "USER0"), "first-user");
    EXPECT_EQ(Get(email, "POPPORT4"), "last-port");
    EXPECT_EQ(Get(email, "USER5"), "<unreached>");
    EXPECT_EQ(Get(email, "POPPORT5"), "<unreached>");
}

TEST(NameKeys, CidRouteIsReachedByMemberNamesNotColumnNames) {
    CidRouteTable route;
    route.SetPrivileged(1);
    ASSERT_TRUE(Read(route, {"5551234", "100", "O"}));
    EXPECT_EQ(Get(route, "m_cid"), "5551234");
    EXPECT_EQ(Get(route, "M_MAILBOX"), "100");
    EXPECT_EQ(Get(route, "m_opentype"), "O");
    EXPECT_EQ(Get(route, "CID"), "<unreached>");
    EXPECT_EQ(Get(route, "MAILBOX"), "<unreached>");
}

TEST(NameKeys, ScheduleReachesItsLastFieldInAnyCase) {
    SceduleTable schedule;
    ASSERT_TRUE(schedule.SetField("until6", "2359"));
    EXPECT_EQ(Written(schedule).back(), "2359");
    EXPECT_EQ(Get(schedule, "UNTIL6"), "2359");
    EXPECT_EQ(Get(schedule, "UNTIL7"), "<unreached>");
}

// ---- Reading into a record ------------------------------------------------------------------------

TEST(ReadingRecords, UnprivilegedReadLeavesThePrivilegedFieldsAlone) {
    BoxTable box;
    box.SetField("NUM", "100");
    box.SetField("DEPARTMENT", "7");
    Strings incoming(59, "v");
    incoming[0] = "ext1";
    ASSERT_TRUE(Read(box, incoming));
    EXPECT_EQ(Get(box, "NUM"), "100");
    EXPECT_EQ(Get(box, "DEPARTMENT"), "7");
    EXPECT_EQ(Get(box, "EXT1"), "ext1");
}

TEST(ReadingRecords, StreamThatEndsHalfwayChangesNoField) {
    BoxTable box;
    box.SetField("EXT1", "before");
    const std::string bytes = Encode(Strings(30, "after"));
    MemorySource source(bytes);
    RecordReader reader(source);
    EXPECT_FALSE(box.Serialize(reader));
    EXPECT_EQ(reader.error(), StreamError::ended);
    EXPECT_EQ(Get(box, "EXT1"), "before");
}

TEST(ReadingRecords, ReaderTakesExactlyOneRecordAndLeavesWhatFollows) {
    ConvTable conv;
    const std::string bytes = Encode({"b", "n"}) + "+OK next\r\n";
    MemorySource source(bytes);
    RecordReader reader(source);
    ASSERT_TRUE(conv.Serialize(reader));
    EXPECT_EQ(source.remaining(), 10u);
}

TEST(WritingRecords, ValueTooLongForTheStreamFailsTheWrite) {
    ConvTable conv;
    conv.SetField("NUM", std::string(kMaxStringBytes + 1, 'n'));
    RecordWriter writer;
    EXPECT_FALSE(conv.Serialize(writer));
}

// ---- Record set -------------------------------------------------------------------------------------

TEST(RecordSetLookup, TableNamesMatchCaseSensitivelyAndWhole) {
    RecordSet set;
    EXPECT_NE(set.Find("BOX"), nullptr);
    EXPECT_EQ(set.Find("box"), nullptr);
    EXPECT_EQ(set.Find("BOX "), nullptr);
    EXPECT_EQ(set.Find("BO"), nullptr);
    EXPECT_EQ(set.Find(""), nullptr);
    EXPECT_EQ(set.Find("BOX\0"s), nullptr);
}

TEST(RecordSetLookup, EachNameHasItsOwnObjectOfItsClass) {
    RecordSet set;
    const auto& names = RecordSet::TableNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_NE(set.Find(names[i]), nullptr) << names[i];
        for (std::size_t j = i + 1; j < names.size(); ++j) EXPECT_NE(set.Find(names[i]), set.Find(names[j]));
    }
    EXPECT_NE(dynamic_cast<SceduleTable*>(set.Find("BOX_TRANS")), nullptr);
    EXPECT_NE(dynamic_cast<SceduleTable*>(set.Find("BOX_GREET")), nullptr);
    EXPECT_NE(dynamic_cast<SceduleTable*>(set.Find("BOX_CONV")), nullptr);
    EXPECT_NE(dynamic_cast<COSTable*>(set.Find("CLASS")), nullptr);
    EXPECT_NE(dynamic_cast<LineSetup*>(set.Find("LINE_SETUP")), nullptr);
    EXPECT_NE(dynamic_cast<DirAssistTable*>(set.Find("DASSIST")), nullptr);
}

}  // namespace
}  // namespace q5::records
