// The built q5ctl program, run as a process as a shell runs it, against a
// q5sim of the test's own.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "e2e_fixture.h"
#include "line_client.h"
#include "q5sim_process.h"
#include "scripted_peer.h"
#include <regex>

extern char** environ;

namespace q5test {
namespace {

using Env = std::map<std::string, std::string>;  // an empty value unsets

struct Result {
    int status = -1;  // exit status; -1 when killed
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Q5ctlTest : public E2eTest {
protected:
    std::vector<std::string> ExtraOptions() const override { return {"--ring-seconds", "1"}; }

    // Starts q5ctl with Q5_HOST set to the test's q5sim, Q5_USER 101 and
    // Q5_PASSWORD 1234 unless `env` says otherwise; output goes to files.
    pid_t Start(const std::vector<std::string>& args, Env env, const std::string& out_path,
                const std::string& err_path) {
        env.emplace("Q5_HOST", "127.0.0.1:" + std::to_string(sim_->port()));
        env.emplace("Q5_USER", "101");
        env.emplace("Q5_PASSWORD", "1234");
        std::vector<std::string> entries;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!env.count(entry.substr(0, entry.find('=')))) entries.push_back(entry);
        }
        for (const auto& [name, value] : env)
            if (!value.empty()) entries.push_back(name + "=" + value);
        std::vector<char*> envp, argv;
        for (std::string& entry : entries) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> words = {Q5CTL_TOOL};
        words.insert(words.end(), args.begin(), args.end());
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(in, STDIN_FILENO);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(err, STDERR_FILENO);
            if (::chdir(dir_.c_str()) != 0) ::_exit(126);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        return pid;
    }

    // Waits for the program (killed after a minute); its exit status.
    static int Wait(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "q5ctl did not end within " << limit.count() << " s";
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Result Run(const std::vector<std::string>& args, const Env& env = {}) {
        const std::string out = dir_ + "/out", err = dir_ + "/err";
        Result result;
        result.status = Wait(Start(args, env, out, err));
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }
};

TEST_F(Q5ctlTest, EachExitStatusComesFromARealCase) {
    WriteFile(dir_ + "/secret", "secret\n");
    struct Case {
        std::vector<std::string> args;
        Env env;
        int status;
        std::string out;  // expected standard output (exact)
        std::string err;  // a part of the standard error
    } cases[] = {
        {{"get", "BOX", "SCREEN"}, {}, 0, "SCREEN=V\n", ""},
        {{"fields", "BOX"}, {{"Q5_HOST", "127.0.0.1:1"}}, 0, "", ""},  // offline
        {{"get", "BOX", "SCREEN"}, {{"Q5_PASSWORD", "wrong"}}, 1, "", "Unknown username or password"},
        {{"get-file", "none.wav", dir_ + "/none.wav"}, {}, 1, "", "Failed to open file"},
        {{"--version"}, {}, 0, "q5ctl " Q5CTL_VERSION "\n", ""},
        {{"admin", "add-mailbox", "150"}, {}, 1, "", "Failed to Add mailbox"},
        {{"--su", "--user", "admin", "--password-file", dir_ + "/secret", "admin", "add-mailbox", "150"},
         {},
         0,
         "",
         ""},
        {{}, {}, 2, "", ""},
        {{"get", "BOX", "SCREAN"}, {}, 2, "", "no field SCREAN in BOX"},
        {{"set", "BOX", "LAST_N"}, {}, 2, "", "expected FIELD=VALUE"},
        {{"--host", "127.0.0.1:99999", "info"}, {}, 2, "", "--host"},
        {{"get", "BOX"}, {{"Q5_PASSWORD", ""}}, 2, "", "no password"},
        {{"convert", "x2y", "name"}, {}, 2, "", ""},
        {{"get", "BOX", "SCREEN"},
         {{"Q5_HOST", "127.0.0.1:" + std::to_string(ClosedPort())}},
         3,
         "",
         "cannot connect"},
        // The event log tells a server out of reach from a refusal by code.
        {{"events", "--count", "1"},
         {{"Q5_HOST", "127.0.0.1:" + std::to_string(ClosedPort())}},
         3,
         "",
         "Connect failed"},
        {{"events", "--count", "1"}, {{"Q5_PASSWORD", "wrong"}}, 1, "", "Login failed"},
        {{"put-file", dir_ + "/missing", "greet1.wav"}, {}, 4, "", "cannot read"},
        {{"get-file", "greet1.wav", dir_ + "/no/such/dir"}, {}, 4, "", "cannot write"},
        {{"--password-file", dir_ + "/missing", "info"}, {}, 4, "", "cannot read the password"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) shown += a + " ";
        SCOPED_TRACE(shown);
        const Result r = Run(c.args, c.env);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (!c.out.empty() || c.status != 0) {
            EXPECT_EQ(r.out, c.out);
        }
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/none.wav")) << "a failed download leaves no empty file";
}

TEST_F(Q5ctlTest, SetThenGetRoundTripsAccentsAndTheEuroSign) {
    const std::string value = "Caf\xC3\xA9 \"\xE2\x82\xAC\" 5\\";  // Café "€" 5\ in UTF-8
    ASSERT_EQ(Run({"set", "BOX", "LAST_N=" + value, "FIRST_N=Ren\xC3\xA9"}).status, 0);
    const Result text = Run({"get", "BOX", "LAST_N", "FIRST_N"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "LAST_N=" + value + "\nFIRST_N=Ren\xC3\xA9\n");
    const Result json = Run({"--json", "get", "BOX", "LAST_N"});
    EXPECT_EQ(json.out, "{\"LAST_N\":\"Caf\xC3\xA9 \\\"\xE2\x82\xAC\\\" 5\\\\\"}\n");
    // On the wire the text is in the code page: é is E9 and € is 80.
    LineClient mailbox;
    ASSERT_TRUE(mailbox.Connect(sim_->port()));
    ASSERT_TRUE(mailbox.Login("101", "1234"));
    ASSERT_EQ(mailbox.Command("GET BOX").substr(0, 3), "+OK");
    mailbox.set_timeout(std::chrono::milliseconds(500));
    EXPECT_NE(mailbox.ReadBytes(4096).find("Caf\xE9 \"\x80\" 5\\"), std::string::npos);
    const Result dump = Run({"--su", "--user", "admin", "dump", "BOX"}, {{"Q5_PASSWORD", "secret"}});
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("\"NUM\":\"101\""), std::string::npos);
    EXPECT_NE(dump.out.find("\"NUM\":\"102\""), std::string::npos);
    EXPECT_NE(dump.out.find("\"LAST_N\":\"Caf\xC3\xA9 \\\"\xE2\x82\xAC\\\" 5\\\\\""), std::string::npos);
}

TEST_F(Q5ctlTest, PutFileThenGetFileRoundTripsOneMebibyte) {
    std::string bytes(1 << 20, '\0');
    std::uint32_t state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
    }
    WriteFile(dir_ + "/up.bin", bytes);
    const Result up = Run({"put-file", dir_ + "/up.bin", "big.bin"});
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_EQ(up.err, "") << "no progress bar off a terminal";
    EXPECT_EQ(ReadFile(MailboxFile("101", "big.bin")), bytes);
    const Result down = Run({"get-file", "big.bin", dir_ + "/down.bin"});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(ReadFile(dir_ + "/down.bin") == bytes) << "the download differs";
}

TEST_F(Q5ctlTest, EventsCountFivePrintsTheEventsOfTwoCallsInOrder) {
    const std::string out = dir_ + "/events", err = dir_ + "/events.err";
    const pid_t pid = Start({"events", "--count", "5"}, {}, out, err);
    LineClient admin;
    ASSERT_TRUE(admin.Connect(sim_->port()));
    ASSERT_TRUE(admin.Login("admin", "secret", true));
    auto wait_until = [&](auto done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return done();
    };
    // The event stream runs once the server has taken its EVENT_Q5 (the
    // command session logs in before it, so a mailbox count says nothing).
    ASSERT_TRUE(wait_until([&] { return sim_->Log().find("EVENT_Q5") != std::string::npos; }));
    const std::string first = admin.Command("SIM_CALL 101 2125550142 ROBERT KING").substr(4);
    // Unanswered, the call goes to voice mail (5) and ends (10).
    ASSERT_TRUE(wait_until([&] {
        const std::string lines = Slurp(out);
        return std::count(lines.begin(), lines.end(), '\n') >= 3;
    }));
    const std::string second = admin.Command("SIM_CALL 101 3055550199").substr(4);
    EXPECT_EQ(Wait(pid), 0) << Slurp(err);
    const std::string expected = "{\"event\":1,\"data1\":\"" + first +
                                 "\",\"data2\":\"2125550142\",\"data3\":\"ROBERT KING\"}\n"
                                 "{\"event\":5,\"data1\":\"" +
                                 first +
                                 "\",\"data2\":\"2125550142\",\"data3\":\"ROBERT KING\"}\n"
                                 "{\"event\":10,\"data1\":\"" +
                                 first +
                                 "\",\"data2\":\"2125550142\",\"data3\":\"ROBERT KING\"}\n"
                                 "{\"event\":1,\"data1\":\"" +
                                 second +
                                 "\",\"data2\":\"3055550199\",\"data3\":\" \"}\n"
                                 "{\"event\":5,\"data1\":\"" +
                                 second + "\",\"data2\":\"3055550199\",\"data3\":\" \"}\n";
    EXPECT_EQ(Slurp(out), expected);
}

TEST_F(Q5ctlTest, EventsEndWithStatusThreeWhenTheServerGoesAway) {
    const std::string out = dir_ + "/events", err = dir_ + "/events.err";
    const pid_t pid = Start({"events"}, {}, out, err);
    LineClient admin;
    ASSERT_TRUE(admin.Connect(sim_->port()));
    ASSERT_TRUE(admin.Login("admin", "secret", true));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (sim_->Log().find("EVENT_Q5") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    admin.Close();
    sim_->Kill();
    EXPECT_EQ(Wait(pid), 3);
    EXPECT_NE(Slurp(err).find("the event connection was lost"), std::string::npos) << Slurp(err);
    RestartSim();
}

// Ctrl-C ends a call the server never answers instead of waiting out its
// 30 s: the server sees the connection close while it is still silent.
TEST_F(Q5ctlTest, InterruptEndsALoginTheServerNeverAnswers) {
    ScriptedPeer peer;
    peer.Accept().Send("+OK 5 Q5Server ready\r\n").Expect("USER 101\r\n").ExpectClosed();
    peer.Start();
    const std::string out = dir_ + "/out", err = dir_ + "/err";
    const pid_t pid =
        Start({"get", "BOX", "SCREEN"}, {{"Q5_HOST", "127.0.0.1:" + std::to_string(peer.port())}}, out, err);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (peer.Received().find("USER") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGINT);
    EXPECT_EQ(Wait(pid), 3);
    EXPECT_NE(Slurp(err).find("q5ctl: interrupted"), std::string::npos) << Slurp(err);
    EXPECT_TRUE(peer.Finish().empty());
}

TEST_F(Q5ctlTest, TraceHoldsTheDialogueButNeverThePasswords) {
    const std::string trace = dir_ + "/trace.log";
    const std::string admin_password = "secret";
    ASSERT_EQ(Run({"--trace", trace, "get", "BOX", "SCREEN"}).status, 0);
    ASSERT_EQ(Run({"--su", "--user", "admin", "dump", "CLASS"},
                  {{"Q5_PASSWORD", admin_password}, {"Q5CLIENT_TRACE", trace}})
                  .status,
              0);
    ASSERT_EQ(Run({"--trace", trace, "get", "BOX", "SCREEN"}, {{"Q5_PASSWORD", "wrong-pw"}}).status, 1);
    const std::string text = Slurp(trace);
    EXPECT_NE(text.find(" > USER 101\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" > SU admin\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" > PASS ***\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" > GET BOX\n"), std::string::npos) << text;
    for (const std::string& secret : {admin_password, std::string("wrong-pw")})
        EXPECT_EQ(text.find(secret), std::string::npos) << secret << " is in the trace:\n" << text;
    // The mailbox password as a word of its own (ports and times hold digits).
    EXPECT_FALSE(std::regex_search(text, std::regex("(^|[^0-9])1234([^0-9]|$)"))) << text;
    // No record bytes: the demo row's name never shows.
    EXPECT_EQ(text.find("Whitfield"), std::string::npos) << text;
}

// Splits a command line of the README at blanks, with '...' quoting.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word.push_back(c);
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

TEST_F(Q5ctlTest, ReadmeSessionPrintsWhatTheReadmeShows) {
    const std::string readme = Slurp(README_FILE);
    const std::size_t begin = readme.find("<!-- q5ctl-session");
    const std::size_t end = readme.find("<!-- /q5ctl-session -->");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    std::istringstream block(readme.substr(begin, end - begin));
    std::vector<std::pair<std::vector<std::string>, std::string>> steps;  // words, expected output
    bool in_code = false;
    for (std::string line; std::getline(block, line);) {
        if (line.rfind("```", 0) == 0) {
            in_code = !in_code;
        } else if (in_code && line.rfind("$ q5ctl ", 0) == 0) {
            steps.push_back({Words(line.substr(8)), ""});
        } else if (in_code && line.rfind("$ ", 0) == 0) {
            continue;  // the environment, which the test sets itself
        } else if (in_code && !steps.empty()) {
            steps.back().second += line + "\n";
        }
    }
    ASSERT_GE(steps.size(), 4u);
    for (const auto& [words, expected] : steps) {
        const Result r = Run(words);
        EXPECT_EQ(r.status, 0) << words[0] << ": " << r.err;
        EXPECT_EQ(r.out, expected) << words[0];
    }
    EXPECT_NE(Slurp(dir_ + "/q5.trace").find(" > GET BOX\n"), std::string::npos);
}

}  // namespace
}  // namespace q5test
