// q5sim sessions in process, spoken to byte by byte: what the library never
// sends (broken transfers, junk, other mailboxes) must not hurt the server.
#include "server.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "line_client.h"
#include "options.h"
#include "q5sim_process.h"
#include "records/record_stream.h"
#include "seed.h"
#include "store.h"

namespace q5sim {
namespace {

namespace fs = std::filesystem;
using q5test::LineClient;

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir_template[] = "/tmp/q5sim-server-XXXXXX";
        ASSERT_NE(mkdtemp(dir_template), nullptr);
        dir_ = dir_template;
        ASSERT_TRUE(SeedDemo(dir_));
        ServerConfig config;
        config.host = "127.0.0.1";
        config.port = 0;
        config.data_dir = dir_;
        config.superusers["admin"] = "secret";
        config.transfer_limit = std::chrono::seconds(2);
        config.timing.linger_seconds = 1;
        Adjust(config);
        server_ = std::make_unique<Server>(config);
        port_ = server_->Start();
        thread_ = std::thread([this] { server_->Run(); });
    }
    virtual void Adjust(ServerConfig&) {}
    void TearDown() override {
        if (server_) server_->RequestStop();
        if (thread_.joinable()) thread_.join();
        server_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // A client logged in as mailbox 101 (or the superuser).
    void Open(LineClient& client, bool superuser = false) {
        std::string greeting;
        ASSERT_TRUE(client.Connect(port_, &greeting));
        ASSERT_EQ(greeting.substr(0, 6), "+OK 5 ") << "version at the fifth character";
        ASSERT_TRUE(superuser ? client.Login("admin", "secret", true) : client.Login("101", "1234"));
    }
    std::string LastName() {
        Store store(dir_);
        return store.MailboxField("101", "LAST_N").value_or("?");
    }
    fs::path Folder(const std::string& box) { return dir_ / "mailboxes" / box; }
    static std::string Sign(const std::string& reply) { return reply.substr(0, 1); }

    fs::path dir_;
    std::unique_ptr<Server> server_;
    std::thread thread_;
    int port_ = 0;
};

TEST_F(ServerTest, JunkLinesAreRefusedAndTheSessionGoesOn) {
    LineClient client;
    Open(client);
    EXPECT_EQ(Sign(client.Command(std::string(3000, 'A'))), "-");
    EXPECT_EQ(Sign(client.Command("FROBNICATE now")), "-");
    EXPECT_EQ(Sign(client.Command(std::string("GET BOX\x01", 8))), "-");
    EXPECT_EQ(Sign(client.Command("GET NO_SUCH_TABLE")), "-");
    EXPECT_EQ(Sign(client.Command("box")), "-");
    EXPECT_EQ(client.Command("NOOP"), "+OK");
}

TEST_F(ServerTest, NothingButLoginAndNoopBeforeLogin) {
    LineClient client;
    ASSERT_TRUE(client.Connect(port_));
    EXPECT_EQ(Sign(client.Command("GET BOX")), "-");
    EXPECT_EQ(Sign(client.Command("GETFILE 101 greet.vox")), "-");
    EXPECT_EQ(Sign(client.Command("PASS 1234")), "-") << "PASS without USER";
    EXPECT_EQ(Sign(client.Command("USER 101")), "+");
    EXPECT_EQ(Sign(client.Command("PASS 9999")), "-");
    EXPECT_EQ(Sign(client.Command("GET BOX")), "-");
    EXPECT_EQ(client.Command("NOOP"), "+OK");
}

TEST_F(ServerTest, MailboxSessionReachesNoOtherMailboxOrFilesOutsideItsFolder) {
    LineClient client;
    Open(client);
    EXPECT_EQ(Sign(client.Command("GETFILE 102 greet.vox")), "-");
    EXPECT_EQ(Sign(client.Command("GETFILE 101 ../102/greet.vox")), "-");
    EXPECT_EQ(Sign(client.Command("GETFILE 101 ../../q5sim.db")), "-");
    EXPECT_EQ(Sign(client.Command("PUTFILE 101 a/b 3")), "-");
    EXPECT_EQ(Sign(client.Command("RENFILE 101 greet.vox ../x")), "-");
    EXPECT_EQ(Sign(client.Command("DELFILE 102 greet.vox")), "-");
    EXPECT_TRUE(fs::exists(Folder("102") / "greet.vox"));
    EXPECT_EQ(Sign(client.Command("OPEN BOX 102")), "-");
    EXPECT_EQ(Sign(client.Command("MAILBOX DEL 102")), "-");
    EXPECT_EQ(Sign(client.Command("GETFAXSTATUS 102 1")), "-");
}

TEST_F(ServerTest, MailboxLoginAfterSuperuserLoginDropsTheSuperuserRights) {
    LineClient client;
    Open(client, true);
    ASSERT_EQ(Sign(client.Command("OPEN BOX 102")), "+");
    ASSERT_TRUE(client.Login("101", "1234"));
    EXPECT_EQ(Sign(client.Command("OPEN BOX 102")), "-");
    EXPECT_EQ(Sign(client.Command("GETFILE 102 greet.vox")), "-");
    EXPECT_EQ(Sign(client.Command("MAILBOX DEL 102")), "-");
    EXPECT_EQ(Sign(client.Command("SIM_CALL 102")), "-");
    EXPECT_TRUE(fs::exists(Folder("102") / "greet.vox"));
}

TEST_F(ServerTest, MailboxSessionCannotMoveItsRowToAnotherMailbox) {
    // "BOX_EMAIL2" carries its NUM in the unprivileged form too.
    LineClient client;
    Open(client);
    ASSERT_EQ(Sign(client.Command("PUT BOX_EMAIL2")), "+");
    q5::records::RecordWriter record;
    record.WriteString("102");
    for (int i = 1; i < 21; ++i) record.WriteString("v" + std::to_string(i));
    ASSERT_TRUE(client.Send(record.bytes()));
    EXPECT_EQ(Sign(client.ReadLine()), "+");
    Store store(dir_);
    const TableDef& table = *FindTable("BOX_EMAIL2");
    const auto mine = store.FindByKey(table, "101");
    ASSERT_TRUE(mine);
    EXPECT_EQ((*store.Read(table, *mine))[1], "v1");
    EXPECT_EQ(store.Count(table), 2) << "102's row is untouched and no row was added";
}

TEST_F(ServerTest, ClientVanishingMidRecordChangesNothing) {
    {
        LineClient client;
        Open(client);
        ASSERT_EQ(Sign(client.Command("PUT BOX")), "+");
        q5::records::RecordWriter record;
        record.WriteString("EXT1");
        record.WriteString("EXT2");
        ASSERT_TRUE(client.Send(record.bytes()));
    }  // closed after 2 of 59 fields
    LineClient other;
    Open(other);
    EXPECT_EQ(other.Command("NOOP"), "+OK");
    EXPECT_EQ(LastName(), "Whitfield");
}

TEST_F(ServerTest, MalformedOrStalledRecordDropsOnlyThatConnection) {
    LineClient stalled;
    Open(stalled);
    ASSERT_EQ(Sign(stalled.Command("PUT BOX")), "+");
    ASSERT_TRUE(
        stalled.Send("\x03"
                     "abc"));  // then silence

    // Another connection is served meanwhile.
    LineClient other;
    Open(other);
    EXPECT_EQ(other.Command("NOOP"), "+OK");

    LineClient malformed;
    Open(malformed);
    ASSERT_EQ(Sign(malformed.Command("PUT BOX")), "+");
    // A 32-bit length of about 4 GiB.
    ASSERT_TRUE(malformed.Send(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7)));
    EXPECT_TRUE(malformed.WaitClosed(std::chrono::seconds(5)));
    EXPECT_TRUE(stalled.WaitClosed(std::chrono::seconds(5))) << "the transfer limit is 2 s";
    EXPECT_EQ(LastName(), "Whitfield");
    EXPECT_EQ(other.Command("NOOP"), "+OK");
}

TEST_F(ServerTest, UploadBrokenOffKeepsTheOldFileAndLeavesNoPart) {
    const std::string before = [&] {
        std::ifstream in(Folder("101") / "greet.vox", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    {
        LineClient client;
        Open(client);
        ASSERT_EQ(Sign(client.Command("PUTFILE 101 greet.vox 100000")), "+");
        ASSERT_TRUE(client.Send(std::string(5000, 'x')));
    }
    LineClient other;
    Open(other);
    EXPECT_EQ(other.Command("NOOP"), "+OK");  // the broken session has been noticed by now or soon
    for (int i = 0; i < 50 && std::distance(fs::directory_iterator(Folder("101")), {}) != 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(Folder("101") / "greet.vox", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    for (const auto& entry : fs::directory_iterator(Folder("101"))) {
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
    }
}

TEST_F(ServerTest, FileRepliesCarryTheSizeAndDeleteOfAMissingFileSucceeds) {
    LineClient client;
    Open(client);
    ASSERT_EQ(client.Command("PUTFILE 101 note.txt 5").substr(0, 3), "+OK");
    ASSERT_TRUE(client.Send("hello"));
    EXPECT_EQ(client.ReadLine().substr(0, 3), "+OK");
    const std::string reply = client.Command("GETFILE 101 note.txt");
    EXPECT_EQ(reply.substr(0, 6), "+OK 5 ") << "the size is the second word";
    EXPECT_EQ(client.ReadBytes(5), "hello");
    EXPECT_EQ(Sign(client.ReadLine()), "+");
    EXPECT_EQ(Sign(client.Command("PUTFILE 101 neg.txt -1")), "-");
    EXPECT_EQ(Sign(client.Command("PUTFILE 101 big.txt 99999999999")), "-");
    EXPECT_EQ(Sign(client.Command("DELFILE 101 never-was.txt")), "+");
    EXPECT_EQ(Sign(client.Command("RENFILE 101 note.txt greet.vox")), "+") << "replaces the target";
    EXPECT_EQ(fs::file_size(Folder("101") / "greet.vox"), 5u);
}

TEST_F(ServerTest, FaxJobListEndsWithAStatusLine) {
    LineClient client;
    Open(client);
    const std::string first = client.Command("SENDFAX");
    const std::string second = client.Command("SENDFAX");
    ASSERT_EQ(first.substr(0, 4), "+OK ");
    ASSERT_TRUE(client.Send("ENUMFAXJOBS 101\r\n"));
    EXPECT_EQ(client.ReadLine(), first.substr(4));
    EXPECT_EQ(client.ReadLine(), second.substr(4));
    EXPECT_EQ(Sign(client.ReadLine()), "+");
    EXPECT_EQ(client.Command("GETFAXSTATUS 101 " + first.substr(4)), "+OK 0");
    EXPECT_EQ(client.Command("GETFAXATTR 101 " + first.substr(4) + " status"), "+OK QUEUED");
    EXPECT_EQ(Sign(client.Command("CANCELFAX 101 " + first.substr(4))), "+");
    EXPECT_EQ(client.Command("GETFAXSTATUS 101 " + first.substr(4)), "+OK 4");
    EXPECT_EQ(Sign(client.Command("GETFAXSTATUS 101 999")), "-");
}

TEST_F(ServerTest, VValueForAnUnknownCallIsRefusedBeforeItsRecord) {
    LineClient client;
    Open(client);
    EXPECT_EQ(Sign(client.Command("SEND_Q5_EVENT 00199999")), "-");
    // The client sends no record after a refusal, so the next line is a command.
    EXPECT_EQ(client.Command("NOOP"), "+OK");
}

TEST_F(ServerTest, ScreenedCallRecordsTheNameBeforeAnnouncingIt) {
    LineClient watcher;
    Open(watcher);
    ASSERT_EQ(Sign(watcher.Command("EVENT_Q5")), "+");
    LineClient admin;
    Open(admin, true);
    const std::string reply = admin.Command("SIM_CALL 101 5550100 JOHN Q. PUBLIC");
    ASSERT_EQ(reply.substr(0, 4), "+OK ");
    const std::string key = reply.substr(4);
    bool ok = false;
    const std::string event = watcher.ReadLine(&ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(event, "1;" + key + ";5550100;JOHN Q  PUBLIC.");
    EXPECT_TRUE(fs::exists(Folder("101") / ("VS" + std::to_string(std::stoi(key.substr(0, 3))))));

    // The superuser steers any call; an unknown value is refused.
    ASSERT_EQ(Sign(admin.Command("SEND_Q5_EVENT " + key)), "+");
    ASSERT_TRUE(admin.Send("20;9;  ."));
    EXPECT_EQ(Sign(admin.ReadLine()), "-");
    ASSERT_EQ(Sign(admin.Command("SEND_Q5_EVENT " + key)), "+");
    ASSERT_TRUE(admin.Send("20;4;101 ."));
    EXPECT_EQ(admin.ReadLine(), "+OK");
    EXPECT_EQ(watcher.ReadLine(), "5;" + key + ";5550100;JOHN Q  PUBLIC.");
    EXPECT_EQ(watcher.ReadLine(), "10;" + key + ";5550100;JOHN Q  PUBLIC.");
}

TEST_F(ServerTest, MailboxAddedAndDeletedByTheSuperuser) {
    LineClient admin;
    Open(admin, true);
    EXPECT_EQ(Sign(admin.Command("MAILBOX ADD 12a")), "-");
    EXPECT_EQ(Sign(admin.Command("MAILBOX ADD 400")), "+");
    EXPECT_EQ(Sign(admin.Command("MAILBOX ADD 400")), "-");
    EXPECT_EQ(Sign(admin.Command("LIGHT_MWI 400 O")), "+");
    EXPECT_EQ(Store(dir_).MailboxField("400", "MWI_ON"), "Y");
    EXPECT_EQ(Sign(admin.Command("RESET_MWI")), "+");
    EXPECT_EQ(Store(dir_).MailboxField("400", "MWI_ON"), "N");
    LineClient owner;
    ASSERT_TRUE(owner.Connect(port_));
    EXPECT_TRUE(owner.Login("400", "400"));
    EXPECT_EQ(Sign(admin.Command("MAILBOX DEL 400")), "+");
    EXPECT_EQ(Sign(admin.Command("MAILBOX DEL 400")), "-");
    EXPECT_FALSE(fs::exists(Folder("400")));
    EXPECT_EQ(Sign(owner.Command("GET BOX")), "-") << "its row is gone";
}

// A server with short limits, so the guards against peers that hold
// connections without logging in can be watched at work.
class GuardedServerTest : public ServerTest {
protected:
    void Adjust(ServerConfig& config) override {
        config.login_limit = std::chrono::seconds(1);
        config.max_per_address = 3;
    }
};

TEST(OptionsTest, LoginAndPerAddressLimitsAreReadAndNonsenseIsRefused) {
    std::string error;
    const auto defaults = ParseOptions({"--data", "d"}, error);
    ASSERT_TRUE(defaults) << error;
    EXPECT_EQ(defaults->server.login_limit, std::chrono::seconds(30));
    EXPECT_EQ(defaults->server.max_per_address, 32u);
    const auto set = ParseOptions({"--data", "d", "--login-seconds", "5", "--per-address", "4"}, error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->server.login_limit, std::chrono::seconds(5));
    EXPECT_EQ(set->server.max_per_address, 4u);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--login-seconds", "0"},
                                                {"--login-seconds", "x"},
                                                {"--per-address", "0"},
                                                {"--per-address", "201"},
                                                {"--per-address"}}) {
        std::vector<std::string> args = {"--data", "d"};
        args.insert(args.end(), bad.begin(), bad.end());
        error.clear();
        EXPECT_FALSE(ParseOptions(args, error)) << bad[0];
        EXPECT_NE(error.find(bad[0]), std::string::npos) << error;
    }
}

TEST_F(GuardedServerTest, PeerThatNeverLogsInIsCutOffHoweverBusyItKeeps) {
    LineClient member;
    Open(member);
    LineClient trickler;
    ASSERT_TRUE(trickler.Connect(port_));
    // One byte every 200 ms, whole NOOP lines among them: never silent for
    // long, never logged in.
    const std::string bytes = "NOOP\r\n";
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    bool closed = false;
    for (std::size_t i = 0; !closed && std::chrono::steady_clock::now() < give_up; ++i) {
        closed = !trickler.Send(bytes.substr(i % bytes.size(), 1)) ||
                 trickler.WaitClosed(std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(closed) << "the login limit is 1 s";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(member.Command("NOOP"), "+OK") << "a logged-in connection has no such limit";
    // QUIT starts the clock again.
    EXPECT_EQ(Sign(member.Command("QUIT")), "+");
    EXPECT_TRUE(member.WaitClosed(std::chrono::seconds(10)));
}

TEST_F(GuardedServerTest, OneAddressCannotTakeEverySlot) {
    LineClient first, second, third, fourth;
    ASSERT_TRUE(first.Connect(port_));
    ASSERT_TRUE(second.Connect(port_));
    ASSERT_TRUE(third.Connect(port_));
    EXPECT_FALSE(fourth.Connect(port_)) << "closed before the greeting";
    first.Close();
    // The slot is free once the server has noticed the close.
    bool admitted = false;
    for (int i = 0; i < 50 && !admitted; ++i) {
        admitted = fourth.Connect(port_);
        if (!admitted) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(admitted);
    EXPECT_TRUE(fourth.Login("101", "1234"));
}

std::vector<fs::path> PartialUploads(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind(".part-", 0) == 0) found.push_back(entry.path());
    }
    return found;
}

TEST(PartialUploadTest, UploadCutByAKillIsNeitherServedNorKept) {
    char dir_template[] = "/tmp/q5sim-partial-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    const fs::path dir = dir_template;
    const fs::path folder = dir / "mailboxes" / "101";
    {
        q5test::Q5SimProcess sim(dir.string(), {"--seed-demo", "--quiet"});
        ASSERT_TRUE(sim.Start()) << sim.error();
        LineClient uploader;
        ASSERT_TRUE(uploader.Connect(sim.port()));
        ASSERT_TRUE(uploader.Login("101", "1234"));
        ASSERT_EQ(uploader.Command("PUTFILE 101 greet.wav 100000").substr(0, 1), "+");
        ASSERT_TRUE(uploader.Send(std::string(5000, 'x')));
        std::vector<fs::path> parts;
        for (int i = 0; i < 100 && parts.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            parts = PartialUploads(folder);
        }
        ASSERT_EQ(parts.size(), 1u);
        const std::string part = parts[0].filename().string();

        // Another session of the mailbox cannot reach the unfinished file.
        LineClient other;
        ASSERT_TRUE(other.Connect(sim.port()));
        ASSERT_TRUE(other.Login("101", "1234"));
        for (const std::string& command :
             {"GETFILE 101 " + part, "RENFILE 101 " + part + " taken.wav", "RENFILE 101 greet.vox " + part,
              "V2W 101 " + part, "W2V 101 " + part, "DELFILE 101 " + part, "PUTFILE 101 " + part + " 3"}) {
            EXPECT_EQ(other.Command(command), "-ERR bad file name") << command;
        }
        EXPECT_EQ(other.Command("NOOP"), "+OK");
        sim.Kill();
        EXPECT_EQ(PartialUploads(folder).size(), 1u) << "a kill leaves the unfinished file behind";

        q5test::Q5SimProcess again(dir.string(), {"--quiet"});
        ASSERT_TRUE(again.Start()) << again.error();
        EXPECT_TRUE(PartialUploads(folder).empty()) << "removed at start-up";
        EXPECT_TRUE(fs::exists(folder / "greet.vox"));
        EXPECT_FALSE(fs::exists(folder / "greet.wav"));
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

}  // namespace
}  // namespace q5sim
