// Logging in and table access of the library against q5sim.
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace q5test {
namespace {

using TableTest = E2eTest;

TEST_F(TableTest, LoginTakesTheMailboxPasswordAndRefusesOthers) {
    ComPtr<IQ5Connect> session = Connect();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->Login(W(u"101").Get(), W(u"wrong").Get()), E_FAIL);
    EXPECT_EQ(session->Login(W(u"999").Get(), W(u"1234").Get()), E_FAIL);
    EXPECT_EQ(session->SuLogin(W(u"admin").Get(), W(u"1234").Get()), E_FAIL);
    EXPECT_EQ(session->Login(W(u"101").Get(), W(u"1234").Get()), S_OK);
    EXPECT_EQ(session->SuLogin(W(u"admin").Get(), W(u"secret").Get()), S_OK);
}

TEST_F(TableTest, MailboxChangesAreSeenByASecondConnection) {
    ComPtr<IQ5Connect> first = LogIn(u"101", u"1234");
    ASSERT_TRUE(first);
    auto table = Query<IQ5Table>(first.Get(), IID_IQ5Table);
    ASSERT_EQ(table->SetTable(W(u"BOX").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"LAST_N"), u"Whitfield");
    EXPECT_EQ(Field(table.Get(), u"SCREEN"), u"V");
    // The unprivileged form does not carry the mailbox number.
    EXPECT_EQ(Field(table.Get(), u"NUM"), u"");
    SetField(table.Get(), u"LAST_N", u"Whitfield-Ames");
    SetField(table.Get(), u"WAKE_UP_WEEK_HOUR", u"0715");
    SetField(table.Get(), u"SPEC_MWI_OFF", u"last field");
    ASSERT_EQ(table->PutRecord(), S_OK);

    // The other tables of the mailbox editor, without OPEN.
    ASSERT_EQ(table->SetTable(W(u"BOX_EMAIL2").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"SUBJECT1"), u"Voice message");
    SetField(table.Get(), u"RCPT5", u"boss@example.com");
    ASSERT_EQ(table->PutRecord(), S_OK);
    ASSERT_EQ(table->SetTable(W(u"BOX_BIN").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    SetField(table.Get(), u"SCHED6_EMM", u"Y");
    ASSERT_EQ(table->PutRecord(), S_OK);
    ASSERT_EQ(table->SetTable(W(u"BOX_EMAIL").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    SetField(table.Get(), u"POPPORT4", u"995");  // the fifth account, numbered from 0 by name
    ASSERT_EQ(table->PutRecord(), S_OK);

    ComPtr<IQ5Connect> second = LogIn(u"101", u"1234");
    ASSERT_TRUE(second);
    auto other = Query<IQ5Table>(second.Get(), IID_IQ5Table);
    other->SetTable(W(u"BOX").Get());
    ASSERT_EQ(other->GetRecord(), S_OK);
    EXPECT_EQ(Field(other.Get(), u"LAST_N"), u"Whitfield-Ames");
    EXPECT_EQ(Field(other.Get(), u"WAKE_UP_WEEK_HOUR"), u"0715");
    EXPECT_EQ(Field(other.Get(), u"SPEC_MWI_OFF"), u"last field");
    EXPECT_EQ(Field(other.Get(), u"FIRST_N"), u"Dana");
    other->SetTable(W(u"BOX_EMAIL2").Get());
    ASSERT_EQ(other->GetRecord(), S_OK);
    EXPECT_EQ(Field(other.Get(), u"RCPT5"), u"boss@example.com");
    EXPECT_EQ(Field(other.Get(), u"NUM"), u"101");
    other->SetTable(W(u"BOX_BIN").Get());
    ASSERT_EQ(other->GetRecord(), S_OK);
    EXPECT_EQ(Field(other.Get(), u"SCHED6_EMM"), u"Y");
    EXPECT_EQ(Field(other.Get(), u"NUM0"), u"2125550199");
    other->SetTable(W(u"BOX_EMAIL").Get());
    ASSERT_EQ(other->GetRecord(), S_OK);
    EXPECT_EQ(Field(other.Get(), u"POPPORT4"), u"995");
    EXPECT_EQ(Field(other.Get(), u"USER0"), u"Dana.Whitfield");

    // Mailbox 102 did not change.
    ComPtr<IQ5Connect> neighbour = LogIn(u"102", u"2345");
    ASSERT_TRUE(neighbour);
    auto theirs = Query<IQ5Table>(neighbour.Get(), IID_IQ5Table);
    theirs->SetTable(W(u"BOX").Get());
    ASSERT_EQ(theirs->GetRecord(), S_OK);
    EXPECT_EQ(Field(theirs.Get(), u"LAST_N"), u"Castillo");
}

TEST_F(TableTest, UnprivilegedSessionCannotReachSystemTablesOrWalk) {
    ComPtr<IQ5Connect> session = LogIn(u"101", u"1234");
    ASSERT_TRUE(session);
    auto table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
    table->SetTable(W(u"CLASS").Get());
    EXPECT_EQ(table->GetRecord(), E_FAIL);
    table->SetTable(W(u"BOX").Get());
    EXPECT_EQ(table->OpenTable(W(u"102").Get()), E_FAIL);
    EXPECT_EQ(table->FirstRecord(), E_FAIL);
    EXPECT_EQ(table->AddRecord(), E_FAIL);
    EXPECT_EQ(table->DeleteRecord(), E_FAIL);
    // The session is still in step after the refusals.
    EXPECT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"LAST_N"), u"Whitfield");
}

struct KeyedTable {
    const char16_t* table;
    const char16_t* key;  // the field that holds the first column, by name
};

constexpr KeyedTable kTables[] = {
    {u"BOX", u"NUM"},
    {u"BOX_BIN", u"BOX"},
    {u"BOX_CONV", u"BOX"},
    {u"BOX_EMAIL", u"NUM"},
    {u"BOX_EMAIL2", u"NUM"},
    {u"BOX_GREET", u"BOX"},
    {u"BOX_MSGS", u"MAILED_TO"},
    {u"BOX_STAT", u"NAME"},
    {u"BOX_TRANS", u"BOX"},
    {u"CIDROUTE", u"m_cid"},
    {u"CLASS", u"CLASS_NO"},
    {u"CONV_TABLE", u"BOX"},
    {u"DASSIST", u"DEP"},
    {u"DEPART", u"NUM"},
    {u"DEP_LIST", u"BOX_NAME"},
    {u"DEP_LIST_MEMBERS", u"BOX_NAME"},
    {u"FAX_LINES", u"DEV"},
    {u"FORWARD", u"MAILBOX"},
    {u"LINE_SETUP", u"LINE"},
    {u"SCRIPT", u"mailbox"},
};

// Walks the table from FIRST with NEXT to the end; returns the key of every
// row, fetched with GET.
std::vector<std::u16string> Walk(IQ5Table* table, const char16_t* key) {
    std::vector<std::u16string> keys;
    if (table->FirstRecord() != S_OK) return keys;
    LONG eof = 0;
    for (int guard = 0; guard < 1000 && !eof; ++guard) {
        EXPECT_EQ(table->GetRecord(), S_OK);
        keys.push_back(E2eTest::Field(table, key));
        EXPECT_EQ(table->NextRecord(), S_OK);
        table->get_IsEof(&eof);
    }
    return keys;
}

TEST_F(TableTest, PrivilegedWalkReachesEveryRowOfEveryTableAndAddDeleteChangeIt) {
    ComPtr<IQ5Connect> session = LogIn(u"admin", u"secret", true);
    ASSERT_TRUE(session);
    auto table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
    for (const KeyedTable& entry : kTables) {
        SCOPED_TRACE(std::string(entry.table, entry.table + std::char_traits<char16_t>::length(entry.table)));
        ASSERT_EQ(table->SetTable(W(entry.table).Get()), S_OK);
        const auto before = Walk(table.Get(), entry.key);
        ASSERT_FALSE(before.empty()) << "the demo data has a row in every table";

        // ADD the last row's copy under a new key; the walk then finds it.
        ASSERT_EQ(SetField(table.Get(), entry.key, u"900"), S_OK);
        ASSERT_EQ(table->AddRecord(), S_OK);
        auto after = Walk(table.Get(), entry.key);
        ASSERT_EQ(after.size(), before.size() + 1);
        EXPECT_EQ(after.back(), u"900");

        // Position on it by key, then DELETE it.
        ASSERT_EQ(table->OpenTable(W(u"900").Get()), S_OK);
        ASSERT_EQ(table->GetRecord(), S_OK);
        EXPECT_EQ(Field(table.Get(), entry.key), u"900");
        ASSERT_EQ(table->DeleteRecord(), S_OK);
        EXPECT_EQ(table->GetRecord(), E_FAIL);
        ASSERT_EQ(table->CloseTable(), S_OK);
        EXPECT_EQ(Walk(table.Get(), entry.key), before);
    }
}

TEST_F(TableTest, OneMailboxCannotBeAddedTwiceToAOnePerMailboxTable) {
    ComPtr<IQ5Connect> session = LogIn(u"admin", u"secret", true);
    ASSERT_TRUE(session);
    auto table = Query<IQ5Table>(session.Get(), IID_IQ5Table);
    table->SetTable(W(u"BOX").Get());
    ASSERT_EQ(table->OpenTable(W(u"102").Get()), S_OK);
    ASSERT_EQ(table->GetRecord(), S_OK);
    EXPECT_EQ(Field(table.Get(), u"LAST_N"), u"Castillo");
    EXPECT_EQ(table->AddRecord(), E_FAIL);
    // A PUT that would move 102 onto 101 is refused as well.
    SetField(table.Get(), u"NUM", u"101");
    EXPECT_EQ(table->PutRecord(), E_FAIL);
    SetField(table.Get(), u"NUM", u"102");
    SetField(table.Get(), u"TYPE", u"2");
    EXPECT_EQ(table->PutRecord(), S_OK);
}

}  // namespace
}  // namespace q5test
