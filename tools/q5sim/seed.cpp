#include "seed.h"

#include <fstream>

#include "audio.h"
#include "store.h"

namespace q5sim {

namespace fs = std::filesystem;

std::map<std::string, Values> DefaultMailboxValues(const std::string& box) {
    std::map<std::string, Values> tables;
    Values& mailbox = tables["BOX"];
    mailbox = {{"NUM", box},
               {"TYPE", "1"},
               {"CLASS", "1"},
               {"DEPARTMENT", "1"},
               {"EXT1", box},
               {"DELAY", "0"},
               {"DELAY_DAYS", "0"},
               {"DELAY_MSGS", "0"},
               // A new mailbox's password is its number until the owner changes it.
               {"PASS", box},
               {"MWI", "Y"},
               {"SCREEN", "N"},
               {"PA_PAGING", "N"},
               {"WAKEUP_MODE", "N"},
               {"WAKEUP_WEEK_ON", "N"},
               {"WAKE_UP_WEEK_HOUR", "0700"},
               {"WAKEUP_WEEKEND_ON", "N"},
               {"WAKE_UP_WEEKEND_HOUR", "0900"},
               {"GREET", "Y"},
               {"TRANS_CALL", "Y"},
               {"MWI_OPTIONAL", "N"},
               {"NAME_REC", "N"},
               {"GREET_REC", "N"},
               {"CALL_OUT_ACTIVE", "N"},
               {"CALL_SCHEDUALE", "N"},
               {"SAVE_TRANSFER_FLAG", "N"},
               {"SPELL_BY_LAST_NAME", "Y"},
               {"SPELL_BY_FIRST_NAME", "N"},
               {"FIRST_TIME_ENTERED", "Y"},
               {"MWI_ON", "N"},
               {"DEP_OVER", "N"},
               {"CALL_STATUS", "0"},
               {"COPY_TO_DELAY", "0"},
               {"TE_MM_TIMER", "5"},
               {"CR_TIMER", "4"},
               {"COPY_TO_TYPE", "N"},
               {"AUTO_CALL_RECORD", "N"},
               {"BOX_LANG", "ENG"},
               {"SPEC_MWI", "N"}};
    // The fields the mailbox windows edit hold what those windows write:
    // "Y"/"N" switches, "1"/"0" schedule flags, HHMM times, and one blank
    // where there is nothing (a client sets no field empty, it sends a blank).
    for (const char* field : {"WAKE_UP_WEEK_NUM", "WAKE_UP_WEEKEND_NUM", "CALL_OUT_NUMBER"})
        mailbox[field] = " ";
    for (int k = 0; k <= 9; ++k) mailbox["CON_TBL_" + std::to_string(k)] = " ";
    Values& bin = tables["BOX_BIN"];
    bin["BOX"] = box;
    for (int k = 0; k < 7; ++k) {
        const std::string s = "SCHED" + std::to_string(k) + "_";
        bin["NUM" + std::to_string(k)] = " ";
        bin["TYPE" + std::to_string(k)] = "0";
        bin[s + "DAY"] = "0000000";
        bin[s + "ACTIVE"] = "N";
        bin[s + "NM"] = "0";
        bin[s + "PM"] = "0";
        bin[s + "FROM"] = "0000";
        bin[s + "UNTIL"] = "2359";
        for (int n = 1; n <= 3; ++n) {
            bin[s + "BIN" + std::to_string(n)] = " ";
            bin[s + "ATTEMP" + std::to_string(n)] = "3";
        }
        bin[s + "EXM"] = "N";
        bin[s + "EMM"] = "N";
    }
    Values& email = tables["BOX_EMAIL"];
    email = {{"NUM", box},         {"CANPOP", "N"}, {"CANQ5CLIENT", "Y"}, {"CANTTS", "N"},
             {"DELTYPE", "N"},     {"MWI", "N"},    {"TIMEINT", "15"},    {"SYNCHRONIZE_TTSMSGS", "N"},
             {"EMAIL_LAYOUT", "1"}};
    for (int k = 1; k <= 5; ++k) {
        email["DEL" + std::to_string(k)] = "N";
        email["TIMEOUT" + std::to_string(k)] = "30";
        email["POPPORT" + std::to_string(k)] = "110";
    }
    email["MWI_ADDRESS"] = " ";
    email["POP3PASS"] = " ";
    Values& forward = tables["BOX_EMAIL2"];
    forward["NUM"] = box;
    for (int k = 1; k <= 5; ++k) {
        for (const char* field : {"SUBJECT", "ATTACH", "RCPT", "TXT"})
            forward[field + std::to_string(k)] = " ";
    }
    for (const char* name : {"BOX_TRANS", "BOX_GREET", "BOX_CONV"}) {
        Values& schedule = tables[name];
        schedule["BOX"] = box;
        for (int k = 0; k < 7; ++k) {
            schedule["ACTIVE" + std::to_string(k)] = "0";
            schedule["FROM" + std::to_string(k)] = "0000";
            schedule["UNTIL" + std::to_string(k)] = "2359";
        }
    }
    tables["BOX_STAT"] = {{"NAME", box},     {"C_O_S", "1"},     {"TOTAL", "0"},     {"NEW", "0"},
                          {"SAVED", "0"},    {"FUTURE", "0"},    {"SYSTEM", "0"},    {"DELETED", "0"},
                          {"PRIORITY", "0"}, {"OWNER_USE", "0"}, {"USED_TOTAL", "0"}};
    return tables;
}

const std::vector<DemoCaller>& DemoCallers() {
    static const std::vector<DemoCaller> callers = {
        {"2125550142", ""},  // no name delivered; the demo contact card knows her
        {"3055550199", "ROBERT KING"},
        {"6175550123", "MARIA LOPEZ"},
        {"4155550177", ""},
    };
    return callers;
}

namespace {

void Set(Store& store, const std::string& table, const std::string& box, const Values& values) {
    if (!store.SetMailboxValues(table, box, values))
        throw DbError("seeding " + table + " of " + box + " failed");
}

void Voice(const fs::path& path, double seconds, int variant) {
    std::string error;
    if (!WriteSyntheticVox(path, seconds, variant, error))
        throw DbError("writing " + path.string() + ": " + error);
}

void SeedMailbox(Store& store, const std::string& box, const std::string& first, const std::string& last,
                 const std::string& password, const std::string& screen, const std::string& other) {
    store.AddMailbox(box);
    Set(store, "BOX", box,
        {{"PASS", password},
         {"FIRST_N", first},
         {"LAST_N", last},
         {"SCREEN", screen},
         {"GREET_REC", "Y"},
         {"NAME_REC", "Y"},
         {"EXT2", "2" + box},
         {"COPY_TO", other},
         {"WAKEUP_MODE", "Y"},
         {"WAKE_UP_WEEK_NUM", box},
         {"WAKEUP_WEEK_ON", "Y"},
         {"WAKE_UP_WEEK_HOUR", "0645"},
         {"CALL_OUT_NUMBER", "2125550199"},
         {"FAX_DID", "55501" + box.substr(box.size() - 2)},
         {"FIRST_TIME_ENTERED", "N"},
         {"MWI_ON", "Y"},
         {"CON_TBL_1", other},
         {"CON_TBL_0", "0"},
         {"GUEST_PASSWORD", "9999"}});
    Set(store, "BOX_BIN", box,
        {{"NUM0", "2125550199"},
         {"TYPE0", "C"},
         {"NUM1", other},
         {"TYPE1", "I"},
         {"SCHED0_DAY", "1111100"},
         {"SCHED0_ACTIVE", "Y"},
         {"SCHED0_FROM", "0900"},
         {"SCHED0_UNTIL", "1700"},
         // Bins are numbered from 1: bin 1 is NUM0.
         {"SCHED0_BIN1", "1"},
         {"SCHED0_BIN2", "2"}});
    const std::string mail = first + "." + last;
    Set(store, "BOX_EMAIL", box,
        {{"CANPOP", "Y"},
         {"POP3PASS", "pop" + password},
         {"MWI_ADDRESS", mail + "@example.com"},
         {"POPSRV1", "mail.example.com"},
         {"USER1", mail},
         {"PASS1", "secret"},
         {"DEL1", "N"},
         {"REPLY_ADDRESS", mail + "@example.com"}});
    Set(store, "BOX_EMAIL2", box,
        {{"SUBJECT1", "Voice message"},
         {"TXT1", "voicemsg.txt"},  // attachment and text: names of files of the mailbox
         {"ATTACH1", "Name.vox"},
         {"RCPT1", mail + "@example.com"},
         {"SUBJECT2", "Fax received"},
         {"TXT2", "faxnote.txt"},
         {"RCPT2", "office@example.com"}});
    Set(store, "BOX_TRANS", box,
        {{"NUM0", other},
         {"ACTION0", "T"},
         {"ACTIVE0", "1"},
         {"DAY0", "1111100"},
         {"FROM0", "1200"},
         {"UNTIL0", "1300"}});
    Set(store, "BOX_GREET", box,
        {{"NUM0", "1"},
         {"ACTION0", "T"},
         {"ACTIVE0", "0"},
         {"DAY0", "0000011"},
         {"FROM0", "0000"},
         {"UNTIL0", "2359"}});
    Set(store, "BOX_CONV", box, {{"NUM0", "1"}, {"ACTION0", "C"}, {"ACTIVE0", "1"}, {"DAY0", "1111111"}});
    Set(store, "BOX_STAT", box, {{"TOTAL", "2"}, {"NEW", "1"}, {"SAVED", "1"}, {"USED_TOTAL", "42"}});
    store.InsertValues(
        "CONV_TABLE",
        {{"BOX", box}, {"NUM", "1"}, {"CON_TBL_1", other}, {"CON_TBL_2", "0"}, {"CON_TBL_0", "0"}});
    store.InsertValues("BOX_MSGS", {{"MAILED_TO", box},
                                    {"MAILED_BY", "3055550199"},
                                    {"STATUS", "N"},
                                    {"DATE", "2024-03-11"},
                                    {"TIME", "0915"},
                                    {"DAY", "MON"},
                                    {"MSG_NAME", "M0001"},
                                    {"CALLER_ID", "3055550199"},
                                    {"TYPE", "V"}});
    store.InsertValues("BOX_MSGS", {{"MAILED_TO", box},
                                    {"MAILED_BY", other},
                                    {"STATUS", "S"},
                                    {"DATE", "2024-03-08"},
                                    {"TIME", "1642"},
                                    {"DAY", "FRI"},
                                    {"MSG_NAME", "M0002"},
                                    {"CALLER_ID", other},
                                    {"TYPE", "V"}});
    const fs::path folder = store.MailboxFolder(box);
    fs::create_directories(folder);
    const int variant = box == "101" ? 1 : 4;
    Voice(folder / "greet.vox", 2.5, variant);       // English normal greeting
    Voice(folder / "greet.spa", 2.5, variant + 1);   // Spanish normal greeting
    Voice(folder / "greetT.vox", 2.0, variant + 2);  // English temporary greeting
    Voice(folder / "Name.vox", 1.0, variant);        // recorded name
}

}  // namespace

bool SeedDemo(const fs::path& data_dir) {
    Store::Initialize(data_dir);
    Store store(data_dir);
    if (store.MailboxExists("101")) return false;
    SeedMailbox(store, "101", "Dana", "Whitfield", "1234", "V", "102");
    SeedMailbox(store, "102", "Oren", "Castillo", "2345", "N", "101");

    store.InsertValues("CLASS", {{"CLASS_NO", "1"},
                                 {"DESCRIPTION", "Standard"},
                                 {"LIFE_SAVED", "30"},
                                 {"LIFE_NEW", "14"},
                                 {"LIFE_DELETE", "1"},
                                 {"MAX_MSGS", "50"},
                                 {"MAX_LEN", "180"},
                                 {"MIN_MSG_LEN", "2"},
                                 {"MAX_SILENCE_RECORD", "5"},
                                 {"GREAT_MAX_LEN", "60"},
                                 {"CALL_SCREEN", "Y"},
                                 {"WAKEUP", "Y"},
                                 {"NO_RINGS_BEFORE_NA", "4"},
                                 {"PLAY_MSG_ORDER", "F"}});
    store.InsertValues("CLASS", {{"CLASS_NO", "2"},
                                 {"DESCRIPTION", "Executive"},
                                 {"MAX_MSGS", "200"},
                                 {"MAX_LEN", "600"},
                                 {"CALL_SCREEN", "Y"}});
    store.InsertValues("DEPART", {{"NUM", "1"},
                                  {"MODE", "D"},
                                  {"HOLIDAY_MODE", "N"},
                                  {"DAY", "0800"},
                                  {"NIGHT", "1800"},
                                  {"LUNCH", "1200"},
                                  {"DAY_RINGS", "4"},
                                  {"NIGHT_RINGS", "2"},
                                  {"LANG", "ENG"},
                                  {"LANG_ALT", "SPA"},
                                  {"O_MON", "0800"},
                                  {"C_MON", "1800"},
                                  {"TBL1", "1"}});
    store.InsertValues("DEP_LIST", {{"BOX_NAME", "Sales"},
                                    {"NUM", "1"},
                                    {"NAME", "Sales team"},
                                    {"NAME_RECORDED", "N"},
                                    {"LINK", "101"}});
    store.InsertValues("DEP_LIST_MEMBERS", {{"BOX_NAME", "Sales"}, {"NUM", "1"}, {"BOX", "101"}});
    store.InsertValues("DEP_LIST_MEMBERS", {{"BOX_NAME", "Sales"}, {"NUM", "1"}, {"BOX", "102"}});
    store.InsertValues("SCRIPT", {{"mailbox", "101"},
                                  {"line", "1"},
                                  {"msg_01", "welcome"},
                                  {"action_01", "MENU"},
                                  {"param_01", "main"},
                                  {"next_ok_01", "2"},
                                  {"next_err_01", "1"},
                                  {"g1_01", "101"},
                                  {"g2_01", "102"},
                                  {"g0_01", "0"}});
    store.InsertValues("LINE_SETUP", {{"LINE", "1"},
                                      {"VOICE_PATH", "voice"},
                                      {"GEN_FILE", "general"},
                                      {"MENU_FILE", "menu"},
                                      {"START_TASK", "AA"},
                                      {"START_LINE", "1"},
                                      {"ACCEPT_DID", "Y"},
                                      {"ACCEPT_DNIS", "N"},
                                      {"ACTIVATE_TIME", "N"},
                                      {"MON_START", "0800"},
                                      {"MON_END", "1800"}});
    store.InsertValues("DASSIST", {{"DEP", "1"},
                                   {"OPMODE", "D"},
                                   {"NAME", "Whitfield Dana"},
                                   {"MAILBOX", "101"},
                                   {"OPENTYPE", "1"},
                                   {"FIRST_NAME", "Dana"},
                                   {"LAST_NAME", "Whitfield"}});
    store.InsertValues("DASSIST", {{"DEP", "1"},
                                   {"OPMODE", "D"},
                                   {"NAME", "Castillo Oren"},
                                   {"MAILBOX", "102"},
                                   {"OPENTYPE", "1"},
                                   {"FIRST_NAME", "Oren"},
                                   {"LAST_NAME", "Castillo"}});
    store.InsertValues("CIDROUTE", {{"CID", "3055550199"}, {"MAILBOX", "101"}, {"OPENTYPE", "1"}});
    store.InsertValues("FORWARD", {{"MAILBOX", "101"},
                                   {"TIME_MODE", "D"},
                                   {"INTEG_MODE", "N"},
                                   {"CPC_RESULT", "BUSY"},
                                   {"ACTION_MODE", "T"},
                                   {"PARAM_1", "102"}});
    store.InsertValues("FAX_LINES", {{"DEV", "fax0"}, {"EXT", "150"}});

    // The contact card of the caller whose number arrives without a name.
    const fs::path contacts = data_dir / "demo-contacts";
    fs::create_directories(contacts);
    std::ofstream card(contacts / "alice-ramirez.vcf", std::ios::binary | std::ios::trunc);
    card
        << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ramirez;Alice;;;\r\nFN:Alice Ramirez\r\nORG:Ramirez "
           "Consulting\r\n"
           "TEL;TYPE=WORK,VOICE:(212) 555-0142\r\nEMAIL;TYPE=INTERNET:alice@ramirez.example\r\nEND:VCARD\r\n";
    return true;
}

}  // namespace q5sim
