// q5sim's database: layouts, persistence, cursors, mailboxes and the fax
// queue.
#include "store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "records/record_stream.h"
#include "seed.h"
#include "tables.h"

namespace q5sim {
namespace {

namespace fs = std::filesystem;

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir_template[] = "/tmp/q5sim-store-XXXXXX";
        ASSERT_NE(mkdtemp(dir_template), nullptr);
        dir_ = dir_template;
        Store::Initialize(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(StoreTest, DefaultsOfANewMailboxNameOnlyRealColumns) {
    // A misspelt column would silently drop its default.
    for (const auto& [table_name, values] : DefaultMailboxValues("777")) {
        const TableDef* table = FindTable(table_name);
        ASSERT_NE(table, nullptr) << table_name;
        EXPECT_TRUE(table->one_per_mailbox) << table_name;
        for (const auto& [column, value] : values) {
            EXPECT_LT(table->ColumnIndex(column), table->columns.size()) << table_name << "." << column;
        }
    }
}

TEST_F(StoreTest, EveryTableIsStoredAndTheFirstFieldIsTheMailboxWhereThereIsOne) {
    ASSERT_EQ(Catalog().size(), 20u);
    int mailbox_tables = 0;
    for (const TableDef& table : Catalog()) mailbox_tables += table.mailbox_table;
    EXPECT_EQ(mailbox_tables, 10);
    EXPECT_EQ(FindTable("BOX_MSGS")->columns[0].name, "MAILED_TO");
    EXPECT_EQ(FindTable("box"), nullptr);
}

TEST_F(StoreTest, FieldSentTwiceKeepsTheSecondCopyAndIsWrittenTwice) {
    const TableDef& table = *FindTable("BOX_MSGS");
    Row row(table.columns.size());
    q5::records::RecordWriter writer;
    for (const char* value : {"101", "by", "N", "d", "t", "MON", "m", "cid", "first", "second"})
        writer.WriteString(value);
    q5::records::MemorySource source(writer.bytes());
    q5::records::RecordReader reader(source);
    ASSERT_TRUE(ReadRecord(table, true, reader, row));
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(row[table.ColumnIndex("TYPE")], "second");

    q5::records::RecordWriter again;
    ASSERT_TRUE(WriteRecord(table, true, row, again));
    std::string expected;
    for (const char* value : {"101", "by", "N", "d", "t", "MON", "m", "cid", "second", "second"}) {
        expected += static_cast<char>(std::string(value).size());
        expected += value;
    }
    EXPECT_EQ(again.bytes(), expected);
    // The unprivileged form of the table carries nothing.
    q5::records::RecordWriter none;
    ASSERT_TRUE(WriteRecord(table, false, row, none));
    EXPECT_EQ(none.bytes(), "");
}

TEST_F(StoreTest, BrokenRecordLeavesTheRowAsItWas) {
    const TableDef& table = *FindTable("BOX");
    Row row(table.columns.size(), "old");
    q5::records::RecordWriter writer;
    writer.WriteString("new");  // one field of 59, then the stream ends
    q5::records::MemorySource source(writer.bytes());
    q5::records::RecordReader reader(source);
    EXPECT_FALSE(ReadRecord(table, false, reader, row));
    EXPECT_EQ(row, Row(table.columns.size(), "old"));
}

TEST_F(StoreTest, MailboxAndItsChangesSurviveReopening) {
    {
        Store store(dir_);
        ASSERT_TRUE(store.AddMailbox("500"));
        EXPECT_FALSE(store.AddMailbox("500"));
        ASSERT_TRUE(store.SetMailboxValues("BOX", "500", {{"LAST_N", "Okafor"}, {"PASS", " 77 "}}));
        ASSERT_TRUE(store.InsertValues("BOX_MSGS", {{"MAILED_TO", "500"}, {"TYPE", "V"}}));
    }
    Store::Initialize(dir_);  // a second start changes nothing
    Store store(dir_);
    EXPECT_EQ(store.MailboxField("500", "LAST_N"), "Okafor");
    EXPECT_EQ(store.MailboxField("500", "PASS"), "77") << "trimmed";
    EXPECT_EQ(store.MailboxField("500", "EXT1"), "500");
    EXPECT_TRUE(fs::is_directory(store.MailboxFolder("500")));
    for (const TableDef& table : Catalog()) {
        if (table.one_per_mailbox) {
            EXPECT_TRUE(store.FindByKey(table, "500")) << table.name;
        }
    }
}

TEST_F(StoreTest, DeletingAMailboxRemovesItsRowsEverywhereAndItsFolder) {
    Store store(dir_);
    ASSERT_TRUE(store.AddMailbox("500"));
    ASSERT_TRUE(store.AddMailbox("501"));
    store.InsertValues("BOX_MSGS", {{"MAILED_TO", "500"}});
    store.InsertValues("CONV_TABLE", {{"BOX", "500"}});
    ASSERT_TRUE(store.DeleteMailbox("500"));
    EXPECT_FALSE(store.DeleteMailbox("500"));
    for (const TableDef& table : Catalog()) {
        if (table.mailbox_table) {
            EXPECT_FALSE(store.FindByKey(table, "500")) << table.name;
        }
    }
    EXPECT_FALSE(fs::exists(store.MailboxFolder("500")));
    EXPECT_TRUE(store.MailboxExists("501"));
}

TEST_F(StoreTest, OlderDatabaseGetsTheColumnsItLacksAndKeepsItsRows) {
    const fs::path old_dir = dir_ / "old";
    fs::create_directories(old_dir);
    {
        Db db((old_dir / Store::kDatabaseName).string());
        db.Exec("CREATE TABLE \"BOX\" (\"NUM\" TEXT NOT NULL DEFAULT '', \"PASS\" TEXT NOT NULL DEFAULT '')");
        db.Exec("INSERT INTO \"BOX\" VALUES ('42', 'pw')");
    }
    Store::Initialize(old_dir);
    Store store(old_dir);
    EXPECT_EQ(store.MailboxField("42", "PASS"), "pw");
    EXPECT_EQ(store.MailboxField("42", "SPEC_MWI_OFF"), "");
}

TEST_F(StoreTest, CursorWalksOnlyTheOpenedKeyAndGoesOnPastADeletedRow) {
    Store store(dir_);
    const TableDef& table = *FindTable("BOX_MSGS");
    const auto a = *store.InsertValues("BOX_MSGS", {{"MAILED_TO", "1"}, {"MSG_NAME", "a"}});
    store.InsertValues("BOX_MSGS", {{"MAILED_TO", "2"}, {"MSG_NAME", "x"}});
    const auto b = *store.InsertValues("BOX_MSGS", {{"MAILED_TO", "1"}, {"MSG_NAME", "b"}});
    const auto c = *store.InsertValues("BOX_MSGS", {{"MAILED_TO", "1"}, {"MSG_NAME", "c"}});
    const std::optional<std::string> key = "1";
    EXPECT_EQ(store.Move(table, key, Step::first, std::nullopt), a);
    EXPECT_EQ(store.Move(table, key, Step::next, a), b);
    ASSERT_TRUE(store.Delete(table, b));
    EXPECT_EQ(store.Move(table, key, Step::next, b), c);
    EXPECT_EQ(store.Move(table, key, Step::prev, b), a);
    EXPECT_EQ(store.Move(table, key, Step::next, c), std::nullopt);
    EXPECT_EQ(store.Move(table, key, Step::last, std::nullopt), c);
    EXPECT_EQ(store.Move(table, std::nullopt, Step::next, a), *store.FindByKey(table, "2"));
}

TEST_F(StoreTest, SecondRowForAMailboxIsRefusedInOnePerMailboxTables) {
    Store store(dir_);
    ASSERT_TRUE(store.AddMailbox("500"));
    EXPECT_FALSE(store.InsertValues("BOX_EMAIL", {{"NUM", "500"}}));
    EXPECT_TRUE(store.InsertValues("CONV_TABLE", {{"BOX", "500"}}));
    EXPECT_TRUE(store.InsertValues("CONV_TABLE", {{"BOX", "500"}}));
    // An update that would make a duplicate is refused and changes nothing.
    ASSERT_TRUE(store.AddMailbox("501"));
    const TableDef& box = *FindTable("BOX");
    const auto rowid = *store.FindByKey(box, "501");
    Row row = *store.Read(box, rowid);
    row[box.key_column] = "500";
    EXPECT_EQ(store.Update(box, rowid, row, std::vector<bool>(box.columns.size(), true)),
              Store::WriteResult::conflict);
    EXPECT_TRUE(store.MailboxExists("501"));
}

TEST_F(StoreTest, FaxJobsMoveThroughTheQueueAndOnlyFailedOrCancelledOnesRetry) {
    Store store(dir_);
    std::int64_t fifth = 0;
    for (int i = 0; i < 5; ++i) fifth = store.AddFaxJob("101", 1000);
    ASSERT_EQ(fifth % 5, 0);
    const auto first = store.FaxJobs("101").front();
    auto job = *store.FindFaxJob("101", first);
    EXPECT_EQ(FaxStateAt(job, 1000), FaxState::queued);
    EXPECT_EQ(FaxStateAt(job, 1003), FaxState::sending);
    EXPECT_EQ(FaxStateAt(job, 1010), FaxState::sent);
    EXPECT_FALSE(store.RetryFaxJob("101", first, 1010)) << "a sent job does not retry";
    EXPECT_FALSE(store.CancelFaxJob("101", first, 1010)) << "a sent job does not cancel";
    EXPECT_FALSE(store.FindFaxJob("102", first)) << "jobs belong to their mailbox";

    EXPECT_EQ(FaxStateAt(*store.FindFaxJob("101", fifth), 1010), FaxState::failed);
    ASSERT_TRUE(store.RetryFaxJob("101", fifth, 2000));
    job = *store.FindFaxJob("101", fifth);
    EXPECT_EQ(job.attempts, 2);
    EXPECT_EQ(FaxStateAt(job, 2000), FaxState::queued);
    EXPECT_EQ(FaxStateAt(job, 2010), FaxState::sent);

    const auto second = store.FaxJobs("101")[1];
    ASSERT_TRUE(store.CancelFaxJob("101", second, 1001));
    EXPECT_EQ(FaxStateAt(*store.FindFaxJob("101", second), 1001), FaxState::cancelled);
    EXPECT_TRUE(store.RetryFaxJob("101", second, 1002));
}

TEST_F(StoreTest, DemoSeedFillsEveryTableOnceOnly) {
    ASSERT_TRUE(SeedDemo(dir_));
    EXPECT_FALSE(SeedDemo(dir_));
    Store store(dir_);
    for (const TableDef& table : Catalog()) EXPECT_GT(store.Count(table), 0) << table.name;
    EXPECT_EQ(store.MailboxField("101", "PASS"), "1234");
    EXPECT_TRUE(fs::exists(store.MailboxFolder("101") / "greet.spa"));
    EXPECT_TRUE(fs::exists(dir_ / "demo-contacts" / "alice-ramirez.vcf"));
}

}  // namespace
}  // namespace q5sim
