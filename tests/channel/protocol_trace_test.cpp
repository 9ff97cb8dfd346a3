// The protocol trace against a scripted server: what a support file holds
// after a login, a record fetch, a file download and an event stream.
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "channel/protocol_trace.h"
#include "session_fixture.h"

namespace q5::channel::testing {
namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class TraceTest : public SessionTest {
protected:
    void SetUp() override {
        char name[] = "/tmp/q5trace-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        ::close(fd);
        path_ = name;
        setenv("Q5CLIENT_TRACE", path_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("Q5CLIENT_TRACE");
        ::unlink(path_.c_str());
        SessionTest::TearDown();
    }
    std::string path_;
};

TEST_F(TraceTest, HoldsCommandAndStatusLinesButNoPasswordRecordFileOrEventBytes) {
    peer.Expect("SU admin\r\n").Send("+OK\r\n");
    peer.Expect("PASS s3cr\xE9t-pw\r\n").Send("+OK welcome\r\n");
    peer.Expect("GET BOX\r\n").Send("+OK\r\nRECORDBYTES.");
    peer.Expect("GETFILE 101 a.wav\r\n").Send("+OK 9\r\nFILEBYTES+OK done\r\n");
    peer.Expect("EVENT_Q5\r\n").Send("+OK\r\n1;EVENTKEY;555;name.");
    Connect();
    ASSERT_EQ(session.SuLogin("admin", "s3cr\xE9t-pw"), Outcome::ok);
    ASSERT_EQ(session.Get("BOX"), Outcome::ok);
    char record[12];
    ASSERT_EQ(session.ReadRaw(record, sizeof record), sizeof record);
    std::optional<std::int32_t> size;
    ASSERT_EQ(session.GetFile("101", "a.wav", size), Outcome::ok);
    char file[9];
    ASSERT_EQ(session.ReadRaw(file, sizeof file), sizeof file);
    ASSERT_EQ(session.FinishGetFile(), Outcome::ok);
    ASSERT_EQ(session.EventQ5(), Outcome::ok);
    std::string event;
    ASSERT_TRUE(session.ReadRecord(event));
    session.Close();

    const std::vector<std::string> lines = Lines(path_);
    std::vector<std::string> bodies;
    const std::regex entry(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z \d+ (.*)$)");
    for (const std::string& line : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, entry)) << line;
        bodies.push_back(m[1]);
    }
    const std::vector<std::string> expected = {
        "- connect 127.0.0.1:" + std::to_string(peer.port()),
        "< +OK 217 Q5Server ready",
        "> SU admin",
        "< +OK",
        "> PASS ***",
        "< +OK welcome",
        "> GET BOX",
        "< +OK",
        "> GETFILE 101 a.wav",
        "< +OK 9",
        "< +OK done",
        "> EVENT_Q5",
        "< +OK",
        "- close",
    };
    EXPECT_EQ(bodies, expected);
    std::stringstream all;
    all << std::ifstream(path_).rdbuf();
    for (const char* secret : {"s3cr", "RECORDBYTES", "FILEBYTES", "EVENTKEY"})
        EXPECT_EQ(all.str().find(secret), std::string::npos) << secret;
}

TEST(ProtocolTraceShown, MasksOnlyPassAndEscapesControlBytes) {
    struct Case {
        std::string line;
        bool sent;
        std::string shown;
    } cases[] = {
        {"PASS 1234\r\n", true, "PASS ***"},
        {"PASS\r\n", true, "PASS ***"},
        {"PASSWORD_HINT 1\r\n", true, "PASSWORD_HINT 1"},
        {"PASS 1234\r\n", false, "PASS 1234"},  // a reply is shown as it came
        {"-ERR bad\tname\\\r\n", false, "-ERR bad\\x09name\\x5C"},
        {"SET BOX \xE9\x80", true, "SET BOX \xE9\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProtocolTrace::Shown(c.line, c.sent), c.shown) << c.line;
}

TEST(ProtocolTraceOpen, UnwritableFileLeavesTracingOff) {
    EXPECT_EQ(ProtocolTrace::Open("/nonexistent-dir/trace.log"), nullptr);
    setenv("Q5CLIENT_TRACE", "", 1);
    EXPECT_EQ(ProtocolTrace::FromEnvironment(), nullptr);
    unsetenv("Q5CLIENT_TRACE");
    EXPECT_EQ(ProtocolTrace::FromEnvironment(), nullptr);
}

}  // namespace
}  // namespace q5::channel::testing
