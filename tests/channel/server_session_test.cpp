// The command vocabulary against a scripted server: exact bytes on the wire,
// how each reply is decided, and which values are taken from it.
#include <functional>
#include <utility>

#include "session_fixture.h"

namespace q5::channel::testing {
namespace {

using Commands = SessionTest;

TEST_F(Commands, GreetingGivesServerVersion) {
    Connect();
    EXPECT_TRUE(session.connected());
    EXPECT_EQ(session.server_version(), 217);
    EXPECT_EQ(session.line_buffer(), kGreeting);
    EXPECT_FALSE(session.privileged());
}

TEST_F(Commands, EachCommandPutsItsExactLineOnTheWire) {
    const std::vector<std::pair<std::string, std::function<Outcome()>>> cases = {
        {"QUIT\r\n", [&] { return session.Quit(); }},
        {"OPEN BOX 100\r\n", [&] { return session.Open("BOX", "100"); }},
        {"OPEN  100\r\n", [&] { return session.Open(nullptr, "100"); }},  // null sent as empty
        {"CLOSE BOX\r\n", [&] { return session.CloseTable("BOX"); }},
        {"NEXT BOX\r\n", [&] { return session.Next("BOX"); }},
        {"PREV BOX\r\n", [&] { return session.Prev("BOX"); }},
        {"FIRST BOX\r\n", [&] { return session.First("BOX"); }},
        {"LAST BOX\r\n", [&] { return session.Last("BOX"); }},
        {"DELETE BOX_MSGS\r\n", [&] { return session.Delete("BOX_MSGS"); }},
        {"V2W 100 greet1\r\n", [&] { return session.V2W("100", "greet1"); }},
        {"W2V 100 greet1.wav\r\n", [&] { return session.W2V("100", "greet1.wav"); }},
        {"DELFILE 100 greet1.wav\r\n", [&] { return session.DelFile("100", "greet1.wav"); }},
        {"RENFILE 100 a.wav b.wav\r\n", [&] { return session.RenFile("100", "a.wav", "b.wav"); }},
        {"CMP_GRAMMAR in.gr out.bnf\r\n", [&] { return session.CmpGrammar("in.gr", "out.bnf"); }},
        {"GEN_DASSIST_BNF da.bnf S N 3\r\n", [&] { return session.GenDassistBnf("da.bnf", 'S', 'N', 3); }},
        {"MAILBOX DEL 100\r\n", [&] { return session.MailboxDel("100"); }},
        {"MAILBOX ADD 100\r\n", [&] { return session.MailboxAdd("100"); }},
        {"LIGHT_MWI 100 1\r\n", [&] { return session.LightMwi("100", '1'); }},
        {"RESET_MWI\r\n", [&] { return session.ResetMwi(); }},
        {"CHANNEL_RING 4\r\n", [&] { return session.ChannelRing(4); }},
        {"CHANNEL_HANGUP -1\r\n", [&] { return session.ChannelHangup(-1); }},
        {"LOADCONF 2\r\n", [&] { return session.LoadConf(2); }},
        {"CANCELFAX 100 77\r\n", [&] { return session.CancelFax("100", 77); }},
        {"RETRYFAX 100 2147483647\r\n", [&] { return session.RetryFax("100", 2147483647); }},
        {"PUTFILE 100 greet1.wav 5\r\n", [&] { return session.PutFile("100", "greet1.wav", 5); }},
        {"GET BOX\r\n", [&] { return session.Get("BOX"); }},
        {"EVENT_STATUS\r\n", [&] { return session.EventStatus(); }},
        {"EVENT_Q5\r\n", [&] { return session.EventQ5(); }},
    };
    for (const auto& c : cases) peer.Expect(c.first).Send("+OK\r\n");
    Connect();
    for (const auto& c : cases) EXPECT_EQ(c.second(), Outcome::ok) << c.first;
}

TEST_F(Commands, OnlyLeadingMinusRefusesAndSessionStaysUsable) {
    peer.Expect("FIRST BOX\r\n").Send("-ERR empty table\r\n");
    peer.Expect("NEXT BOX\r\n").Send("*anything but a minus\r\n");
    peer.Expect("QUIT\r\n").Send("-ERR\r\n");
    Connect();
    EXPECT_EQ(session.First("BOX"), Outcome::refused);
    EXPECT_TRUE(session.connected());
    EXPECT_EQ(session.Next("BOX"), Outcome::ok);
    EXPECT_EQ(session.Quit(), Outcome::refused);
    EXPECT_TRUE(session.connected());  // QUIT leaves the connection open
}

TEST_F(Commands, NoopSucceedsWhateverTheReplySays) {
    peer.Expect("NOOP\r\n").Send("-ERR busy\r\n");
    Connect();
    EXPECT_EQ(session.Noop(), Outcome::ok);
}

TEST_F(Commands, LoginIgnoresUserReplyAndPasswordReplyDecides) {
    peer.Expect("USER 100\r\n").Send("-ERR who?\r\n").Expect("PASS 1234\r\n").Send("+OK\r\n");
    peer.Expect("USER 100\r\n").Send("+OK\r\n").Expect("PASS 9\r\n").Send("-ERR wrong\r\n");
    Connect();
    EXPECT_EQ(session.Login("100", "1234"), Outcome::ok);
    EXPECT_EQ(session.Login("100", "9"), Outcome::refused);
    EXPECT_FALSE(session.privileged());
}

TEST_F(Commands, SuLoginSetsPrivilegedForGood) {
    peer.Expect("SU admin\r\n").Send("-ERR\r\n").Expect("PASS pw\r\n").Send("-ERR\r\n");
    peer.Expect("SU admin\r\n").Send("+OK\r\n").Expect("PASS pw\r\n").Send("+OK\r\n");
    peer.Expect("SU admin\r\n").Send("+OK\r\n").Expect("PASS bad\r\n").Send("-ERR\r\n");
    Connect();
    EXPECT_EQ(session.SuLogin("admin", "pw"), Outcome::refused);
    EXPECT_FALSE(session.privileged());
    EXPECT_EQ(session.SuLogin("admin", "pw"), Outcome::ok);
    EXPECT_TRUE(session.privileged());
    EXPECT_EQ(session.SuLogin("admin", "bad"), Outcome::refused);
    EXPECT_TRUE(session.privileged());
}

TEST_F(Commands, ReplyLongerThanLineIsReadAsTwoLines) {
    const std::string reply = "+OK " + std::string(1494, 'u') + "\r\n";  // 1500 bytes
    peer.Expect("UPTIME\r\n").Send(reply).Expect("NOOP\r\n");
    Connect();
    std::string value;
    EXPECT_EQ(session.Uptime(value), Outcome::ok);
    EXPECT_EQ(session.line_buffer(), reply.substr(0, 1022));
    EXPECT_EQ(value, reply.substr(4, 1018));
    // The rest answers the next command.
    EXPECT_EQ(session.Noop(), Outcome::ok);
    EXPECT_EQ(session.line_buffer(), reply.substr(1022));
}

TEST_F(Commands, ValuesAreTakenFromTheFifthCharacter) {
    peer.Expect("GET_ATTR name\r\n").Send("+OK abc\r\n");
    peer.Expect("UPTIME\r\n").Send("+OK abc\r\n");
    peer.Expect("VLOAD\r\n").Send("+OK 3 of 8\r\n");
    peer.Expect("VERTYPE\r\n").Send("-ERR none\r\n");
    peer.Expect("SENDFAX\r\n").Send("+OK 42 queued\r\n");
    peer.Expect("GETFAXSTATUS 100 42\r\n").Send("+OK    3\r\n");
    peer.Expect("GETFAXATTR 100 42 TO\r\n").Send("+OK \t Smith J \r\n");
    Connect();
    std::string value = "stale";
    EXPECT_EQ(session.GetAttr("name", value), Outcome::ok);
    EXPECT_EQ(value, "abc");
    EXPECT_EQ(session.Uptime(value), Outcome::ok);
    EXPECT_EQ(value, "abc\r\n");
    EXPECT_EQ(session.VLoad(value), Outcome::ok);
    EXPECT_EQ(value, "3 of 8\r\n");
    EXPECT_EQ(session.VerType(value), Outcome::refused);
    EXPECT_EQ(value, "");
    std::int32_t number = 0;
    EXPECT_EQ(session.SendFax(number), Outcome::ok);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(session.GetFaxStatus("100", 42, number), Outcome::ok);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(session.GetFaxAttr("100", 42, "TO", value), Outcome::ok);
    EXPECT_EQ(value, "Smith J");
}

TEST_F(Commands, MultiLineValueKeepsLineEndsAndReadsEveryLine) {
    peer.Expect("SERIAL\r\n").Send("+OK\r\nAB12\r\nCD34\r\n.\r\n");
    std::string lines;
    for (int i = 0; i < 30; ++i) lines += std::string(98, 'a' + i % 26) + "\r\n";  // 3000 bytes
    peer.Expect("VERSION\r\n").Send("+OK\r\n" + lines + ".\r\n");
    peer.Expect("VERSION\r\n").Send("-ERR\r\n");
    peer.Expect("NOOP\r\n").Send("+OK after\r\n");
    Connect();
    std::string value;
    EXPECT_EQ(session.Serial(value), Outcome::ok);
    EXPECT_EQ(value, "AB12\r\nCD34\r\n");
    EXPECT_EQ(session.Version(value), Outcome::ok);
    EXPECT_EQ(value, lines.substr(0, 2047));
    // A refusal has no following lines.
    EXPECT_EQ(session.Version(value), Outcome::refused);
    EXPECT_EQ(session.Noop(), Outcome::ok);
    EXPECT_EQ(session.line_buffer(), "+OK after\r\n");
}

TEST_F(Commands, FaxJobListStoresWhileRoomAndReadsEveryLine) {
    peer.Expect("ENUMFAXJOBS 100\r\n").Send("12\r\n15\r\n+OK\r\n");
    peer.Expect("ENUMFAXJOBS 100\r\n").Send("12\r\n15\r\n+OK\r\n");
    peer.Expect("GET_ATTR x\r\n").Send("+OK next\r\n");
    peer.Expect("ENUMFAXJOBS 200\r\n").Send("7\r\n-ERR 9\r\n");
    Connect();
    int jobs[10] = {-1, -1, -1, -1};
    int size = 10;
    EXPECT_EQ(session.EnumFaxJobs("100", jobs, size), Outcome::ok);
    EXPECT_EQ(size, 3);
    EXPECT_EQ((std::vector<int>(jobs, jobs + 4)), (std::vector<int>{12, 15, 0, -1}));

    size = 1;
    jobs[1] = -1;
    EXPECT_EQ(session.EnumFaxJobs("100", jobs, size), Outcome::ok);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(jobs[0], 12);
    EXPECT_EQ(jobs[1], -1);
    std::string value;
    EXPECT_EQ(session.GetAttr("x", value), Outcome::ok);
    EXPECT_EQ(value, "next");

    size = 10;
    EXPECT_EQ(session.EnumFaxJobs("200", jobs, size), Outcome::refused);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(jobs[0], 7);
    EXPECT_EQ(jobs[1], 0);  // "-ERR 9": no number at the line's start
}

TEST_F(Commands, FaxJobListCutShortLeavesCapacityUnchanged) {
    peer.Expect("ENUMFAXJOBS 100\r\n").Send("12\r\n").CloseConnection();
    Connect();
    int jobs[4] = {};
    int size = 4;
    EXPECT_EQ(session.EnumFaxJobs("100", jobs, size), Outcome::lost);
    EXPECT_EQ(size, 4);
    EXPECT_FALSE(session.connected());
}

TEST_F(Commands, EventRecordBlanksDotsAndEndsWithDot) {
    peer.Expect("SEND_Q5_EVENT 7\r\n").Send("+OK\r\n").Expect("20;1 5;  .").Send("+OK\r\n");
    peer.Expect("SEND_Q5_EVENT 8\r\n").Send("+OK\r\n").Expect("20;a b;x y .").Send("-ERR\r\n");
    // A refused first line: no record follows, the next command does.
    peer.Expect("SEND_Q5_EVENT 9\r\n").Send("-ERR\r\n").Expect("NOOP\r\n").Send("+OK\r\n");
    Connect();
    EXPECT_EQ(session.SendQ5Event("7", "1.5", " "), Outcome::ok);
    EXPECT_EQ(session.SendQ5Event("8", "a.b", "x.y"), Outcome::refused);
    EXPECT_EQ(session.SendQ5Event("9", "1", " "), Outcome::refused);
    EXPECT_EQ(session.Noop(), Outcome::ok);
}

TEST_F(Commands, ReplyRawBytesAndNextReplyInOnePacketAreEachReadWhole) {
    // GETFILE reply, five file bytes that look like a line and a record, the
    // closing line: one send.
    peer.Expect("GETFILE 100 greet1.wav\r\n").Send("+OK 5\r\nA.\r\nB+OK done\r\n");
    peer.Expect("GET BOX\r\n")
        .Send(
            "+OK\r\n\x03"
            "abc"
            "\x01"
            "Y")
        .Expect("NOOP\r\n")
        .Send("+OK\r\n");
    Connect();
    std::optional<std::int32_t> size;
    EXPECT_EQ(session.GetFile("100", "greet1.wav", size), Outcome::ok);
    ASSERT_EQ(size, 5);
    char data[5];
    ASSERT_EQ(session.ReadRaw(data, sizeof data), 5u);
    EXPECT_EQ(std::string(data, 5), "A.\r\nB");
    EXPECT_EQ(session.FinishGetFile(), Outcome::ok);
    EXPECT_EQ(session.line_buffer(), "+OK done\r\n");
    EXPECT_EQ(session.buffered(), 0u);

    EXPECT_EQ(session.Get("BOX"), Outcome::ok);
    char record[6];
    ASSERT_EQ(session.ReadRaw(record, sizeof record), 6u);
    EXPECT_EQ(std::string(record, 6),
              "\x03"
              "abc"
              "\x01"
              "Y");
    EXPECT_EQ(session.Noop(), Outcome::ok);
}

TEST_F(Commands, FileSizeMustBeASecondWordOfPlainDigits) {
    const std::vector<std::pair<std::string, std::optional<std::int32_t>>> replies = {
        {"+OK 2147483647 bytes\r\n", 2147483647},
        {"+OK  12\r\n", 12},
        {"+OK\r\n", std::nullopt},
        {"+OK \r\n", std::nullopt},
        {"+OK -5\r\n", std::nullopt},
        {"+OK 12abc\r\n", std::nullopt},
        {"+OK 2147483648\r\n", std::nullopt},
    };
    for (const auto& r : replies) peer.Expect("GETFILE 1 f\r\n").Send(r.first);
    peer.Expect("GETFILE 1 f\r\n").Send("-ERR 12 no such file\r\n");
    Connect();
    for (const auto& r : replies) {
        std::optional<std::int32_t> size = 99;
        EXPECT_EQ(session.GetFile("1", "f", size), Outcome::ok) << r.first;
        EXPECT_EQ(size, r.second) << r.first;
    }
    std::optional<std::int32_t> size = 99;
    EXPECT_EQ(session.GetFile("1", "f", size), Outcome::refused);
    EXPECT_EQ(size, std::nullopt);
}

TEST_F(Commands, UploadAndRecordWriteEndWithTheirOwnRule) {
    peer.Expect("PUTFILE 100 g.wav 5\r\n").Send("+OK\r\n").Expect("HELLO").Send("+OK stored\r\n");
    peer.Expect("PUTFILE 100 g.wav 0\r\n").Send("+OK\r\n").Send("OK but no plus\r\n");
    peer.Expect("PUT BOX\r\n").Send("+OK\r\n").Expect("\x01Y").Send("-ERR locked\r\n");
    peer.Expect("ADD BOX\r\n").Send("+OK\r\n").Expect("\x01N").Send("+OK\r\n");
    Connect();
    EXPECT_EQ(session.PutFile("100", "g.wav", 5), Outcome::ok);
    EXPECT_TRUE(session.WriteRaw("HELLO", 5));
    EXPECT_EQ(session.FinishPutFile(), Outcome::ok);
    EXPECT_EQ(session.PutFile("100", "g.wav", 0), Outcome::ok);
    EXPECT_EQ(session.FinishPutFile(), Outcome::refused);  // must start with '+'
    EXPECT_EQ(session.Put("BOX"), Outcome::ok);
    EXPECT_TRUE(session.WriteRaw("\x01Y", 2));
    EXPECT_EQ(session.FinishRecord(), Outcome::refused);
    EXPECT_EQ(session.Add("BOX"), Outcome::ok);
    EXPECT_TRUE(session.WriteRaw("\x01N", 2));
    EXPECT_EQ(session.FinishRecord(), Outcome::ok);
}

TEST_F(Commands, EventRecordsAreReadWholeAcrossPackets) {
    peer.Expect("EVENT_STATUS\r\n").Send("+OK\r\n  \r\n24.3;I").Pause(std::chrono::milliseconds(30));
    peer.Send("dle;100;Ready.").Send(std::string(200, 'z') + ".").CloseConnection();
    Connect();
    EXPECT_EQ(session.EventStatus(), Outcome::ok);
    EXPECT_EQ(session.ReadNumber(), 24);
    std::string record;
    EXPECT_TRUE(session.ReadRecord(record));
    EXPECT_EQ(record, "3;Idle;100;Ready.");
    EXPECT_TRUE(session.ReadRecord(record));
    EXPECT_EQ(record, std::string(128, 'z'));
    EXPECT_TRUE(session.ReadRecord(record));
    EXPECT_EQ(record, std::string(72, 'z') + ".");
    EXPECT_FALSE(session.ReadRecord(record));
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.ReadNumber(), 0);
}

// ---- Arguments that cannot go on the line ---------------------------------

TEST_F(Commands, LineBreakOrNulInArgumentIsRefusedAndNothingIsSent) {
    // Only the final command may reach the server.
    peer.Expect("NOOP\r\n").Send("+OK still here\r\n");
    Connect();
    const std::string before(session.line_buffer());
    EXPECT_EQ(session.Open("BOX", "100\r\nDELETE BOX"), Outcome::bad_argument);
    EXPECT_NE(session.argument_problem().find("line break"), std::string::npos) << session.argument_problem();
    EXPECT_EQ(session.Delete("BOX\n"), Outcome::bad_argument);
    EXPECT_EQ(session.Login("100", "pw\r"), Outcome::bad_argument);  // not even USER goes out
    EXPECT_EQ(session.SuLogin("ad\nmin", "pw"), Outcome::bad_argument);
    EXPECT_EQ(session.LightMwi("100", '\0'), Outcome::bad_argument);
    EXPECT_NE(session.argument_problem().find("NUL"), std::string::npos) << session.argument_problem();
    EXPECT_EQ(session.GenDassistBnf("da.bnf", '\n', 'N', 1), Outcome::bad_argument);
    EXPECT_EQ(session.SendQ5Event("7", "1\r\n", " "), Outcome::bad_argument);  // not even SEND_Q5_EVENT
    EXPECT_EQ(session.SendQ5Event("7", "1", std::string(1020, 'v').c_str()), Outcome::bad_argument);
    EXPECT_EQ(session.line_buffer(), before);
    EXPECT_FALSE(session.FormatCommand("X", {std::string_view("a\0b", 3)}).has_value());
    EXPECT_TRUE(session.connected());
    EXPECT_EQ(session.Noop(), Outcome::ok);
    EXPECT_EQ(session.line_buffer(), "+OK still here\r\n");
    EXPECT_EQ(session.argument_problem(), "");
}

TEST_F(Commands, LineOfExactly1023BytesGoesOutAndOneMoreIsRefused) {
    const std::string key(1012, 'k');  // "OPEN BOX " + key + CR LF = 1023 bytes
    peer.Expect("OPEN BOX " + key + "\r\n").Send("+OK\r\n");
    Connect();
    EXPECT_EQ(session.Open("BOX", (key + "k").c_str()), Outcome::bad_argument);
    EXPECT_NE(session.argument_problem().find("longer than 1023 bytes"), std::string::npos)
        << session.argument_problem();
    EXPECT_EQ(session.Open("BOX", key.c_str()), Outcome::ok);
}

}  // namespace
}  // namespace q5::channel::testing
