// IQ5Table through the public interface against a scripted server: the
// exact bytes of every table's record in both transfer forms, the messages
// and codes of every failure, and what happens to the connection when a
// record transfer goes wrong.
#include <string>
#include <vector>

#include "component_fixture.h"
#include "scripted_peer.h"

namespace q5test {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

constexpr const char* kGreeting = "+OK 5 Q5Server ready\r\n";
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kLost = static_cast<HRESULT>(0x80040010);

// A record stream of short strings (one-byte prefixes), spelled out here
// rather than made by the library's writer.
std::string Wire(const Strings& strings) {
    std::string out;
    for (const std::string& s : strings) {
        EXPECT_LT(s.size(), 255u);
        out.push_back(static_cast<char>(s.size()));
        out += s;
    }
    return out;
}

BStr W(std::string_view ascii) {
    std::u16string wide(ascii.begin(), ascii.end());
    return BStr(wide.data(), static_cast<UINT>(wide.size()));
}

std::u16string U(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

struct TableCase {
    const char* table;
    int unprivileged;   // strings in the unprivileged form
    int privileged;     // strings in the privileged form
    const char* probe;  // a field to read and change, by the name callers use
    int probe_unpriv;   // its position in the unprivileged form (-1: not carried)
    int probe_priv;     // its position in the privileged form
    int doubled = -1;   // privileged form: first of two strings of one field
};

const TableCase kTables[] = {
    {"BOX", 59, 63, "wakeup_weekend_on", 18, 22},
    {"BOX_BIN", 112, 113, "SCHED0_EXM", 98, 99},
    {"BOX_CONV", 42, 43, "ACTIVE3", 20, 21},
    {"BOX_EMAIL", 38, 42, "USER0", 6, 10},
    {"BOX_EMAIL2", 21, 21, "RCPT1", 16, 16},
    {"BOX_GREET", 42, 43, "NUM0", 0, 1},
    {"BOX_MSGS", 0, 10, "CALLER_ID", -1, 7, 8},
    {"BOX_STAT", 0, 15, "PRG_VAR", -1, 14},
    {"BOX_TRANS", 42, 43, "Until6", 41, 42},
    {"CIDROUTE", 0, 3, "m_mailbox", -1, 1},
    {"CLASS", 0, 35, "ENVELOP_ORDER", -1, 34},
    {"CONV_TABLE", 2, 12, "CON_TBL_0", -1, 11},
    {"DASSIST", 0, 7, "LAST_NAME", -1, 6},
    {"DEPART", 0, 58, "TBL9", -1, 57},
    {"DEP_LIST", 0, 5, "LINK", -1, 4},
    {"DEP_LIST_MEMBERS", 0, 3, "BOX", -1, 2},
    {"FAX_LINES", 0, 5, "DEV", -1, 0, 3},
    {"FORWARD", 0, 7, "PARAM_2", -1, 6},
    {"LINE_SETUP", 0, 32, "WEN_END", -1, 19},
    {"SCRIPT", 0, 19, "GP_01", -1, 18},
};

class TableTest : public RegisteredLibrary {
protected:
    void SetUp() override {
        RegisteredLibrary::SetUp();
        ASSERT_EQ(
            CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Table, table_.AsOut()),
            S_OK);
        ASSERT_EQ(table_.As(IID_IQ5Connect, connect_), S_OK);
        TakeErrorRecord();
        peer_.Accept().Send(kGreeting);
    }
    void TearDown() override {
        connect_.Reset();
        table_.Reset();
        RegisteredLibrary::TearDown();
    }

    // Starts the script and connects to it.
    void Start() {
        peer_.Start();
        ASSERT_EQ(connect_->Connect(B(u"127.0.0.1").Get(), peer_.port(), 5), S_OK);
    }
    // Adds the SU login exchange to the script (call before Start).
    void ScriptSuLogin() {
        peer_.Expect("SU admin\r\n").Send("+OK\r\n").Expect("PASS pw\r\n").Send("+OK\r\n");
    }
    HRESULT SuLogin() { return table_->SuLogin(B(u"admin").Get(), B(u"pw").Get()); }

    std::vector<std::string> Finish() { return peer_.Finish(); }

    HRESULT SetTable(std::string_view name) { return table_->SetTable(W(name).Get()); }
    HRESULT SetField(std::string_view name, std::string_view value) {
        return table_->SetField(W(name).Get(), W(value).Get());
    }
    // The field's value, or a marker naming the failing result.
    std::u16string GetField(std::string_view name) {
        BStr value;
        const HRESULT hr = table_->get_GetField(W(name).Get(), value.ReleaseAndGetAddressOf());
        if (hr != S_OK) return u"<failed " + U(std::to_string(static_cast<unsigned>(hr))) + u">";
        return std::u16string(value.View());
    }
    LONG Eof() {
        LONG v = -1;
        EXPECT_EQ(table_->get_IsEof(&v), S_OK);
        return v;
    }
    LONG Bof() {
        LONG v = -1;
        EXPECT_EQ(table_->get_IsBof(&v), S_OK);
        return v;
    }
    std::u16string Message() { return TakeErrorRecord().description; }

    // Fetches every table, changes its probe field and sends it back; the
    // record must go out exactly as it came in, but for that one field.
    void RoundTripEveryTable(bool privileged) {
        struct Plan {
            const TableCase* c;
            Strings in;
            Strings out;
            int probe;
        };
        std::vector<Plan> plans;
        for (const TableCase& c : kTables) {
            Plan plan{&c, {}, {}, privileged ? c.probe_priv : c.probe_unpriv};
            const int n = privileged ? c.privileged : c.unprivileged;
            for (int i = 0; i < n; ++i) plan.in.push_back(std::string(c.table) + "." + std::to_string(i));
            plan.out = plan.in;
            if (privileged && c.doubled >= 0)
                plan.out[c.doubled] = plan.in[c.doubled + 1];  // the last one stays
            if (plan.probe >= 0) plan.out[plan.probe] = "changed";
            const std::string name = c.table;
            peer_.Expect("GET " + name + "\r\n").Send("+OK\r\n" + Wire(plan.in));
            peer_.Expect("PUT " + name + "\r\n").Send("+OK send\r\n");
            if (!plan.out.empty()) peer_.Expect(Wire(plan.out));
            peer_.Send("+OK stored\r\n");
            plans.push_back(std::move(plan));
        }
        Start();
        if (privileged) {
            ASSERT_EQ(SuLogin(), S_OK);
        }
        for (const Plan& plan : plans) {
            SCOPED_TRACE(plan.c->table);
            ASSERT_EQ(SetTable(plan.c->table), S_OK);
            ASSERT_EQ(table_->GetRecord(), S_OK);
            // A probe outside the form was never filled: still the fresh empty text.
            EXPECT_EQ(GetField(plan.c->probe), plan.probe >= 0 ? U(plan.in[plan.probe]) : u"");
            ASSERT_EQ(SetField(plan.c->probe, "changed"), S_OK);
            ASSERT_EQ(table_->PutRecord(), S_OK);
        }
    }

    ScriptedPeer peer_;
    ComPtr<IQ5Table> table_;
    ComPtr<IQ5Connect> connect_;
};

// ---- Every table, both forms, byte for byte ----------------------------------------------------

TEST_F(TableTest, EveryTableInTheUnprivilegedFormComesBackByteForByte) {
    RoundTripEveryTable(false);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, EveryTableInThePrivilegedFormComesBackByteForByte) {
    ScriptSuLogin();
    RoundTripEveryTable(true);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- The privileged flag is taken at each transfer ---------------------------------------------

TEST_F(TableTest, SuLoginBetweenGetAndPutSendsTheLongerFormWithTheKeyFieldsAsHeld) {
    Strings in(59, "");
    in[0] = "201";  // EXT1
    peer_.Expect("GET BOX\r\n").Send("+OK\r\n" + Wire(in));
    ScriptSuLogin();
    Strings out = {
        "",
        "",
        "",
        "",
    };               // NUM, TYPE, CLASS, DEPARTMENT: never fetched
    out[0] = "100";  // NUM set by name
    out.insert(out.end(), in.begin(), in.end());
    peer_.Expect("PUT BOX\r\n").Send("+OK\r\n").Expect(Wire(out)).Send("+OK\r\n");
    Start();
    SetTable("BOX");
    ASSERT_EQ(table_->GetRecord(), S_OK);
    SetField("NUM", "100");
    ASSERT_EQ(SuLogin(), S_OK);
    EXPECT_EQ(table_->PutRecord(), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, AddSendsTheLocalCopyLikePut) {
    Strings record(21, "");
    record[0] = "100";
    record[1] = "Hello";
    peer_.Expect("ADD BOX_EMAIL2\r\n").Send("+OK\r\n").Expect(Wire(record)).Send("+OK added\r\n");
    Start();
    SetTable("BOX_EMAIL2");
    SetField("num", "100");
    SetField("Subject1", "Hello");
    EXPECT_EQ(table_->AddRecord(), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, ValuesCrossTheWireInTheWireCodePage) {
    Strings record(21, "");
    record[1] = "J\xFCrgen \x80";
    peer_.Expect("PUT BOX_EMAIL2\r\n").Send("+OK\r\n").Expect(Wire(record)).Send("+OK\r\n");
    peer_.Expect("GET BOX_EMAIL2\r\n").Send("+OK\r\n" + Wire(record));
    Start();
    SetTable("BOX_EMAIL2");
    ASSERT_EQ(table_->SetField(B(u"SUBJECT1").Get(), B(u"Jürgen €").Get()), S_OK);
    EXPECT_EQ(table_->PutRecord(), S_OK);
    SetField("SUBJECT1", "other");
    ASSERT_EQ(table_->GetRecord(), S_OK);
    EXPECT_EQ(GetField("SUBJECT1"), u"Jürgen €");
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- Refusals: the server's line is the message, the connection stays ------------------------

TEST_F(TableTest, RefusedGetReportsTheReplyLineAndKeepsTheFields) {
    peer_.Expect("GET BOX\r\n").Send("-ERR no current row\r\n").Expect("NEXT BOX\r\n").Send("+OK\r\n");
    Start();
    SetTable("BOX");
    SetField("PASS", "1234");
    EXPECT_EQ(table_->GetRecord(), kFail);
    EXPECT_EQ(Message(), u"-ERR no current row\r\n");
    EXPECT_EQ(GetField("PASS"), u"1234");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 0);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, RefusedPutSendsNoRecordBytesSoTheNextCommandIsInStep) {
    peer_.Expect("PUT BOX\r\n").Send("-ERR locked\r\n").Expect("CLOSE BOX\r\n").Send("+OK\r\n");
    Start();
    SetTable("BOX");
    EXPECT_EQ(table_->PutRecord(), kFail);
    EXPECT_EQ(Message(), u"-ERR locked\r\n");
    EXPECT_EQ(table_->CloseTable(), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
    EXPECT_EQ(peer_.Received(), "PUT BOX\r\nCLOSE BOX\r\n");
}

TEST_F(TableTest, RefusalAfterTheRecordWasSentReportsTheSecondLine) {
    peer_.Expect("ADD CONV_TABLE\r\n").Send("+OK\r\n").Expect(Wire({"", ""})).Send("-ERR duplicate\r\n");
    Start();
    SetTable("CONV_TABLE");
    EXPECT_EQ(table_->AddRecord(), kFail);
    EXPECT_EQ(Message(), u"-ERR duplicate\r\n");
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- Lost connections -------------------------------------------------------------------------

TEST_F(TableTest, ReplyCutOffLosesTheSessionAndLaterTransfersSendNothing) {
    peer_.Expect("GET BOX\r\n").Send("+OK par").CloseConnection();
    Start();
    SetTable("BOX");
    EXPECT_EQ(table_->GetRecord(), kLost);
    EXPECT_TRUE(TakeErrorRecord().present);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
    EXPECT_EQ(table_->PutRecord(), kLost);
    EXPECT_EQ(peer_.Received(), "GET BOX\r\n");
}

TEST_F(TableTest, NotConnectedSendsNothingAndReportsTheLastLineHeld) {
    peer_.Expect("OPEN BOX 100\r\n").Send("+OK positioned\r\n").ExpectClosed();
    Start();
    SetTable("BOX");
    ASSERT_EQ(table_->OpenTable(B(u"100").Get()), S_OK);
    connect_->Close();
    EXPECT_EQ(table_->GetRecord(), kLost);
    EXPECT_EQ(Message(), u"+OK positioned\r\n");
    EXPECT_EQ(table_->PutRecord(), kLost);
    EXPECT_EQ(Message(), u"+OK positioned\r\n");
    EXPECT_EQ(table_->AddRecord(), kLost);
    EXPECT_EQ(Message(), u"+OK positioned\r\n");
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, NeverConnectedFailsEveryTableCommandAsConnectionLost) {
    SetTable("BOX");
    EXPECT_EQ(table_->GetRecord(), kLost);
    EXPECT_EQ(table_->OpenTable(B(u"1").Get()), kLost);
    EXPECT_EQ(Message(), u"Could not open table.");
    EXPECT_EQ(table_->FirstRecord(), kLost);
    EXPECT_EQ(Message(), u"No such record");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 1);
}

// ---- Record streams that go wrong: the session is given up ------------------------------------

TEST_F(TableTest, StreamEndingInsideTheRecordLosesTheSessionAndKeepsTheFields) {
    peer_.Expect("GET BOX_EMAIL2\r\n")
        .Send("+OK\r\n" + Wire({"100", "subject"}) + "\005ab")
        .CloseConnection();
    Start();
    SetTable("BOX_EMAIL2");
    SetField("NUM", "old");
    EXPECT_EQ(table_->GetRecord(), kLost);
    const std::u16string message = Message();
    EXPECT_NE(message.find(u"\"BOX_EMAIL2\""), std::u16string::npos)
        << std::string(message.begin(), message.end());
    EXPECT_EQ(GetField("NUM"), u"old");
    EXPECT_EQ(table_->CloseTable(), kLost);  // nothing more is sent
    EXPECT_EQ(Finish(), std::vector<std::string>{});
    EXPECT_EQ(peer_.Received(), "GET BOX_EMAIL2\r\n");
}

TEST_F(TableTest, MalformedLengthClosesTheConnectionInsteadOfWaiting) {
    peer_.Expect("GET CONV_TABLE\r\n").Send("+OK\r\n\x01x\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s).ExpectClosed();
    Start();
    SetTable("CONV_TABLE");
    EXPECT_EQ(table_->GetRecord(), kLost);
    EXPECT_NE(Message().find(u"malformed"), std::u16string::npos);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, AcceptedGetForATableWithoutRecordClosesTheOutOfStepSession) {
    peer_.Expect("GET box\r\n").Send("+OK\r\n\003abc").ExpectClosed();
    Start();
    SetTable("box");
    EXPECT_EQ(table_->GetRecord(), kLost);
    const std::u16string message = Message();
    EXPECT_NE(message.find(u"no record"), std::u16string::npos);
    EXPECT_NE(message.find(u"\"box\""), std::u16string::npos);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, AcceptedPutForATableWithoutRecordSendsNoBytesAndCloses) {
    peer_.Expect("PUT USERS\r\n").Send("+OK\r\n").ExpectClosed();
    Start();
    SetTable("USERS");
    EXPECT_EQ(table_->PutRecord(), kLost);
    EXPECT_NE(Message().find(u"out of step"), std::u16string::npos);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
    EXPECT_EQ(peer_.Received(), "PUT USERS\r\n");
}

TEST_F(TableTest, RefusedGetForATableWithoutRecordIsAnOrdinaryRefusal) {
    peer_.Expect("GET USERS\r\n").Send("-ERR unknown table\r\n");
    Start();
    SetTable("USERS");
    EXPECT_EQ(table_->GetRecord(), kFail);
    EXPECT_EQ(Message(), u"-ERR unknown table\r\n");
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, RecordAndTheNextReplyInOnePacketAreBothRead) {
    peer_.Expect("GET CONV_TABLE\r\n")
        .Send("+OK\r\n" + Wire({"100", "2"}) + "-ERR end of table\r\n")
        .Expect("NEXT CONV_TABLE\r\n")
        .Expect("GET CONV_TABLE\r\n")
        .Send("+OK\r\n" + Wire({"100", "3"}) + "+OK\r\n")
        .Expect("NEXT CONV_TABLE\r\n");
    Start();
    SetTable("CONV_TABLE");
    ASSERT_EQ(table_->GetRecord(), S_OK);
    EXPECT_EQ(GetField("NUM"), u"2");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 1);
    ASSERT_EQ(table_->GetRecord(), S_OK);
    EXPECT_EQ(GetField("NUM"), u"3");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 0);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, UnprivilegedGetOfASystemTableReadsNothingAfterTheReply) {
    peer_.Expect("GET DEPART\r\n").Send("+OK\r\n+OK first\r\n").Expect("FIRST DEPART\r\n");
    Start();
    SetTable("DEPART");
    SetField("NUM", "9");
    ASSERT_EQ(table_->GetRecord(), S_OK);
    EXPECT_EQ(GetField("NUM"), u"9");
    EXPECT_EQ(table_->FirstRecord(), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- Arguments that cannot go on a command line ------------------------------------------------

TEST_F(TableTest, TableNamesAndKeysThatWouldBreakTheLineAreRefusedBeforeSending) {
    peer_.Expect("OPEN BOX 100\r\n").Send("+OK\r\n");
    Start();
    SetTable("BOX\r\nDELETE BOX");
    EXPECT_EQ(table_->GetRecord(), E_INVALIDARG);
    EXPECT_NE(Message().find(u"line break"), std::u16string::npos);
    EXPECT_EQ(table_->PutRecord(), E_INVALIDARG);
    EXPECT_EQ(table_->DeleteRecord(), E_INVALIDARG);
    EXPECT_EQ(table_->NextRecord(), E_INVALIDARG);
    EXPECT_EQ(Eof(), 1);
    SetTable(std::string(1100, 'T'));
    EXPECT_EQ(table_->AddRecord(), E_INVALIDARG);
    SetTable("BOX\0X"s);
    EXPECT_EQ(table_->GetRecord(), E_INVALIDARG);
    EXPECT_NE(Message().find(u"NUL"), std::u16string::npos);
    SetTable("BOX");
    EXPECT_EQ(table_->OpenTable(B(u"1\n2").Get()), E_INVALIDARG);
    EXPECT_EQ(table_->OpenTable(W("1\0"s).Get()), E_INVALIDARG);
    EXPECT_EQ(table_->OpenTable(B(u"100").Get()), S_OK);  // the session is untouched
    EXPECT_EQ(Finish(), std::vector<std::string>{});
    EXPECT_EQ(peer_.Received(), "OPEN BOX 100\r\n");
}

TEST_F(TableTest, ValueTooLongForTheStreamIsRefusedBeforeThePut) {
    peer_.Expect("PUT CONV_TABLE\r\n").Send("+OK\r\n").Expect(Wire({"", "1"})).Send("+OK\r\n");
    Start();
    SetTable("CONV_TABLE");
    std::u16string huge((1u << 20) + 1, u'x');
    ASSERT_EQ(table_->SetField(B(u"NUM").Get(), B(huge.c_str()).Get()), S_OK);
    EXPECT_EQ(table_->PutRecord(), E_INVALIDARG);
    SetField("NUM", "1");
    EXPECT_EQ(table_->PutRecord(), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- Table commands ----------------------------------------------------------------------------

TEST_F(TableTest, EachTableCommandNamesItsFailureAndSendsTheNameAsSet) {
    peer_.Expect("OPEN box 7\r\n").Send("-ERR\r\n");
    peer_.Expect("CLOSE box\r\n").Send("-ERR\r\n");
    peer_.Expect("FIRST box\r\n").Send("-ERR\r\n");
    peer_.Expect("LAST box\r\n").Send("-ERR\r\n");
    peer_.Expect("DELETE box\r\n").Send("-ERR\r\n");
    peer_.Expect("OPEN box \r\n").Send("+OK\r\n");
    Start();
    SetTable("box");
    EXPECT_EQ(table_->OpenTable(B(u"7").Get()), kFail);
    EXPECT_EQ(Message(), u"Could not open table.");
    EXPECT_EQ(table_->CloseTable(), kFail);
    EXPECT_EQ(Message(), u"CloseTable failed");
    EXPECT_EQ(table_->FirstRecord(), kFail);
    EXPECT_EQ(Message(), u"No such record");
    EXPECT_EQ(table_->LastRecord(), kFail);
    EXPECT_EQ(Message(), u"No such record");
    EXPECT_EQ(table_->DeleteRecord(), kFail);
    EXPECT_EQ(Message(), u"Delete failed");
    EXPECT_EQ(table_->OpenTable(nullptr), S_OK);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, EndFlagsFollowOnlyTheirOwnDirection) {
    peer_.Expect("NEXT BOX\r\n").Send("-ERR eof\r\n");
    peer_.Expect("PREV BOX\r\n").Send("+OK\r\n");
    peer_.Expect("FIRST BOX\r\n").Send("-ERR empty\r\n");
    peer_.Expect("PREV BOX\r\n").Send("-ERR bof\r\n");
    peer_.Expect("NEXT BOX\r\n").Send("+OK\r\n");
    peer_.Expect("LAST BOX\r\n").Send("+OK\r\n");
    Start();
    EXPECT_EQ(Eof(), 0);
    EXPECT_EQ(Bof(), 0);
    SetTable("BOX");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 1);
    EXPECT_EQ(table_->PrevRecord(), S_OK);
    EXPECT_EQ(Eof(), 1);
    EXPECT_EQ(Bof(), 0);
    EXPECT_EQ(table_->FirstRecord(), kFail);
    EXPECT_EQ(Eof(), 1);
    EXPECT_EQ(table_->PrevRecord(), S_OK);
    EXPECT_EQ(Bof(), 1);
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 0);
    EXPECT_EQ(Bof(), 1);
    EXPECT_EQ(table_->LastRecord(), S_OK);
    SetTable("CLASS");
    EXPECT_EQ(Eof(), 0);
    EXPECT_EQ(Bof(), 1);
    EXPECT_EQ(table_->get_IsEof(nullptr), E_POINTER);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, LostReplyDuringNextSetsEofWithoutError) {
    peer_.Expect("NEXT BOX\r\n").CloseConnection();
    Start();
    SetTable("BOX");
    EXPECT_EQ(table_->NextRecord(), S_OK);
    EXPECT_EQ(Eof(), 1);
    EXPECT_FALSE(TakeErrorRecord().present);
    EXPECT_EQ(table_->GetRecord(), kLost);
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

// ---- Field access by name ----------------------------------------------------------------------

TEST_F(TableTest, FieldOfATableWithoutRecordIsNotFoundByTheCodeRule) {
    SetTable("box");
    EXPECT_EQ(SetField("NUM", "1"), kLost);
    EXPECT_EQ(Message(), u"Field: NUM not found");
    BStr value(u"stale");
    EXPECT_EQ(table_->get_GetField(B(u"Näme").Get(), value.ReleaseAndGetAddressOf()), kLost);
    EXPECT_EQ(Message(), u"Field: Näme not found");
    EXPECT_EQ(value.Get(), nullptr);
    Start();
    EXPECT_EQ(table_->get_GetField(B(u"NUM").Get(), value.ReleaseAndGetAddressOf()), kFail);
    EXPECT_EQ(Message(), u"Field: NUM not found");
    connect_->Close();
    EXPECT_EQ(Finish(), std::vector<std::string>{});
}

TEST_F(TableTest, UnknownFieldNameSucceedsWithEmptyTextAndChangesNothing) {
    SetTable("BOX");
    EXPECT_EQ(SetField("[NUM]", "1"), S_OK);
    EXPECT_EQ(SetField("NUM ", "1"), S_OK);
    EXPECT_EQ(GetField("NUM"), u"");
    EXPECT_EQ(GetField("NO_SUCH_FIELD"), u"");
    EXPECT_FALSE(TakeErrorRecord().present);
}

TEST_F(TableTest, EmptyOrMissingValueIsStoredAsOneBlank) {
    SetTable("BOX");
    EXPECT_EQ(GetField("PASS"), u"");
    EXPECT_EQ(SetField("pass", ""), S_OK);
    EXPECT_EQ(GetField("Pass"), u" ");
    EXPECT_EQ(table_->SetField(B(u"FIRST_N").Get(), nullptr), S_OK);
    EXPECT_EQ(GetField("FIRST_N"), u" ");
    EXPECT_EQ(table_->get_GetField(B(u"PASS").Get(), nullptr), S_OK);
}

TEST_F(TableTest, ScheduleTablesKeepTheirOwnValuesAcrossTableChanges) {
    SetTable("BOX_GREET");
    SetField("NUM0", "greet");
    SetTable("BOX_TRANS");
    EXPECT_EQ(GetField("NUM0"), u"");
    SetTable("BOX_CONV");
    EXPECT_EQ(GetField("NUM0"), u"");
    SetTable("BOX_GREET");
    EXPECT_EQ(GetField("NUM0"), u"greet");
}

TEST_F(TableTest, WritingTheGetFieldPropertyAlwaysFailsAndChangesNothing) {
    SetTable("BOX");
    SetField("NUM", "1");
    EXPECT_EQ(table_->put_GetField(B(u"NUM").Get(), B(u"2").Get()), kLost);
    EXPECT_EQ(Message(), u"Invalid use of property");
    EXPECT_EQ(GetField("NUM"), u"1");
    EXPECT_EQ(table_->put_GetField(nullptr, nullptr), kLost);
    EXPECT_EQ(Message(), u"Invalid use of property");
}

}  // namespace
}  // namespace q5test
