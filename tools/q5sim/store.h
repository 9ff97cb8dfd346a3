// Store: q5sim's persistent state in one SQLite database under the data
// folder: the twenty server tables (see tables.h) and the fax queue.
// Mailbox files live beside it, in DIR/mailboxes/<number>/.
//
// Every change runs in its own transaction (BEGIN IMMEDIATE), so concurrent
// sessions are serialized by SQLite and a session that dies mid-command
// leaves nothing half-written.
//
// Thread rule: a Store (one database connection) belongs to one thread;
// every session and worker opens its own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sqlite_db.h"
#include "tables.h"

namespace q5sim {

using Values = std::map<std::string, std::string>;  // column -> value

enum class Step { first, last, next, prev };

struct FaxJob {
    std::int64_t id = 0;
    std::string mailbox;
    std::int64_t created = 0;    // seconds since the epoch
    std::int64_t queued_at = 0;  // start of the current attempt
    int attempts = 1;
    bool cancelled = false;
    int pages = 1;
};

// Fax job states as GETFAXSTATUS reports them.
enum class FaxState { queued = 0, sending = 1, sent = 2, failed = 3, cancelled = 4 };
// A job waits 2 s in the queue and sends for 3 s; the first attempt of every
// fifth job fails, so RETRYFAX has something to do.
FaxState FaxStateAt(const FaxJob& job, std::int64_t now);
const char* FaxStateName(FaxState state);

class Store {
public:
    static constexpr const char* kDatabaseName = "q5sim.db";

    // Creates the folder, the database and every table (adding columns that
    // an older database lacks). Call once before sessions open stores.
    static void Initialize(const std::filesystem::path& data_dir);
    // Deletes what uploads that were broken off by a crash or a kill left in
    // the mailbox folders (kPartialUploadPrefix); returns how many. Call
    // before sessions start.
    static int RemovePartialUploads(const std::filesystem::path& data_dir);

    explicit Store(const std::filesystem::path& data_dir);  // throws DbError

    const std::filesystem::path& data_dir() const { return data_dir_; }
    std::filesystem::path MailboxFolder(const std::string& box) const;

    // ---- Rows -----------------------------------------------------------------
    std::optional<Row> Read(const TableDef& table, std::int64_t rowid);
    // The first row (lowest row id) whose key column equals `key`.
    std::optional<std::int64_t> FindByKey(const TableDef& table, const std::string& key);
    // Moves a cursor over the rows in row-id order, among the rows whose key
    // column equals `key` when one is given. next/prev start after/before
    // `from` (first/last when there is none).
    std::optional<std::int64_t> Move(const TableDef& table, const std::optional<std::string>& key, Step step,
                                     std::optional<std::int64_t> from);
    enum class WriteResult { ok, missing, conflict };
    // Writes the columns marked in `which`.
    WriteResult Update(const TableDef& table, std::int64_t rowid, const Row& row,
                       const std::vector<bool>& which);
    // Nullopt when the row would repeat a mailbox in a one-per-mailbox table.
    std::optional<std::int64_t> Insert(const TableDef& table, const Row& row);
    bool Delete(const TableDef& table, std::int64_t rowid);
    std::int64_t Count(const TableDef& table);

    // ---- Mailboxes ---------------------------------------------------------------
    bool MailboxExists(const std::string& box);
    // A "BOX" column of the mailbox, trimmed; nullopt when there is no mailbox.
    std::optional<std::string> MailboxField(const std::string& box, const std::string& column);
    // Creates a row in every one-per-mailbox table (defaults from
    // DefaultMailboxValues) and the folder. False when it exists.
    bool AddMailbox(const std::string& box);
    // Removes every row of the mailbox in every mailbox table and its folder.
    // False when there was no "BOX" row.
    bool DeleteMailbox(const std::string& box);
    // Sets columns of the mailbox's row of a mailbox table; false when missing.
    bool SetMailboxValues(const std::string& table, const std::string& box, const Values& values);
    // Inserts a row with the given columns (the rest empty or 0).
    std::optional<std::int64_t> InsertValues(const std::string& table, const Values& values);
    bool SetMwi(const std::string& box, bool on);
    void ResetMwi();
    std::vector<std::string> Mailboxes();

    // ---- Fax queue -------------------------------------------------------------------
    std::int64_t AddFaxJob(const std::string& box, std::int64_t now);
    std::optional<FaxJob> FindFaxJob(const std::string& box, std::int64_t id);
    std::vector<std::int64_t> FaxJobs(const std::string& box);
    bool CancelFaxJob(const std::string& box, std::int64_t id, std::int64_t now);
    bool RetryFaxJob(const std::string& box, std::int64_t id, std::int64_t now);

private:
    Row ToRow(const TableDef& table, Statement& statement, int first_column);

    std::filesystem::path data_dir_;
    Db db_;
};

// The values a new mailbox starts with, per one-per-mailbox table.
std::map<std::string, Values> DefaultMailboxValues(const std::string& box);

}  // namespace q5sim
