#include "store.h"

#include <cstdlib>

#include "protocol.h"

namespace q5sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFaxTable = "q5sim_fax_jobs";

std::string Q(std::string_view name) {
    return QuoteIdentifier(name);
}

std::string ColumnList(const TableDef& table) {
    std::string out;
    for (const ColumnDef& column : table.columns) {
        if (!out.empty()) out += ", ";
        out += Q(column.name);
    }
    return out;
}

void BindValue(Statement& statement, int index, const ColumnDef& column, const std::string& value) {
    if (column.integer) {
        statement.Bind(index, static_cast<std::int64_t>(std::strtoll(value.c_str(), nullptr, 10)));
    } else {
        statement.Bind(index, value);
    }
}

const TableDef& Table(const std::string& name) {
    const TableDef* table = FindTable(name);
    if (!table) throw DbError("no table " + name);
    return *table;
}

std::string Key(const TableDef& table) {
    return Q(table.columns[table.key_column].name);
}

}  // namespace

FaxState FaxStateAt(const FaxJob& job, std::int64_t now) {
    if (job.cancelled) return FaxState::cancelled;
    const std::int64_t elapsed = now - job.queued_at;
    if (elapsed < 2) return FaxState::queued;
    if (elapsed < 5) return FaxState::sending;
    return job.id % 5 == 0 && job.attempts == 1 ? FaxState::failed : FaxState::sent;
}

const char* FaxStateName(FaxState state) {
    switch (state) {
        case FaxState::queued:
            return "QUEUED";
        case FaxState::sending:
            return "SENDING";
        case FaxState::sent:
            return "SENT";
        case FaxState::failed:
            return "FAILED";
        case FaxState::cancelled:
            return "CANCELLED";
    }
    return "UNKNOWN";
}

void Store::Initialize(const fs::path& data_dir) {
    fs::create_directories(data_dir / "mailboxes");
    Db db((data_dir / kDatabaseName).string());
    Transaction transaction(db);
    for (const TableDef& table : Catalog()) {
        std::string sql = "CREATE TABLE IF NOT EXISTS " + Q(table.name) + " (";
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            if (i > 0) sql += ", ";
            sql += Q(table.columns[i].name) +
                   (table.columns[i].integer ? " INTEGER NOT NULL DEFAULT 0" : " TEXT NOT NULL DEFAULT ''");
        }
        db.Exec(sql + ")");
        // A database from an older layout gets the columns it lacks.
        std::vector<std::string> existing;
        Statement info(db, "PRAGMA table_info(" + Q(table.name) + ")");
        while (info.Step()) existing.push_back(info.Text(1));
        for (const ColumnDef& column : table.columns) {
            bool found = false;
            for (const std::string& name : existing) found = found || name == column.name;
            if (!found) {
                db.Exec("ALTER TABLE " + Q(table.name) + " ADD COLUMN " + Q(column.name) +
                        (column.integer ? " INTEGER NOT NULL DEFAULT 0" : " TEXT NOT NULL DEFAULT ''"));
            }
        }
        db.Exec(std::string("CREATE ") + (table.one_per_mailbox ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
                Q("key_" + table.name) + " ON " + Q(table.name) + " (" + Key(table) + ")");
    }
    db.Exec(std::string("CREATE TABLE IF NOT EXISTS ") + kFaxTable +
            " (id INTEGER PRIMARY KEY AUTOINCREMENT, mailbox TEXT NOT NULL, created INTEGER NOT NULL,"
            " queued_at INTEGER NOT NULL, attempts INTEGER NOT NULL DEFAULT 1,"
            " cancelled INTEGER NOT NULL DEFAULT 0, pages INTEGER NOT NULL DEFAULT 1)");
    transaction.Commit();
}

int Store::RemovePartialUploads(const fs::path& data_dir) {
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator box(data_dir / "mailboxes", error), end; !error && box != end;
         box.increment(error)) {
        std::error_code inner;
        for (fs::directory_iterator file(box->path(), inner); !inner && file != end; file.increment(inner)) {
            if (file->path().filename().string().rfind(kPartialUploadPrefix, 0) != 0) continue;
            std::error_code ignored;
            if (fs::remove(file->path(), ignored)) ++removed;
        }
    }
    return removed;
}

Store::Store(const fs::path& data_dir) : data_dir_(data_dir), db_((data_dir / kDatabaseName).string()) {}

fs::path Store::MailboxFolder(const std::string& box) const {
    return data_dir_ / "mailboxes" / box;
}

Row Store::ToRow(const TableDef& table, Statement& statement, int first_column) {
    Row row;
    row.reserve(table.columns.size());
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        row.push_back(statement.Text(first_column + static_cast<int>(i)));
    return row;
}

std::optional<Row> Store::Read(const TableDef& table, std::int64_t rowid) {
    Statement statement(db_, "SELECT " + ColumnList(table) + " FROM " + Q(table.name) + " WHERE rowid = ?");
    statement.Bind(1, rowid);
    if (!statement.Step()) return std::nullopt;
    return ToRow(table, statement, 0);
}

std::optional<std::int64_t> Store::FindByKey(const TableDef& table, const std::string& key) {
    return Move(table, key, Step::first, std::nullopt);
}

std::optional<std::int64_t> Store::Move(const TableDef& table, const std::optional<std::string>& key,
                                        Step step, std::optional<std::int64_t> from) {
    if (!from && step == Step::next) step = Step::first;
    if (!from && step == Step::prev) step = Step::last;
    std::string where;
    if (step == Step::next) where = "rowid > ?1";
    if (step == Step::prev) where = "rowid < ?1";
    if (key) where += std::string(where.empty() ? "" : " AND ") + Key(table) + " = ?2";
    const bool ascending = step == Step::first || step == Step::next;
    Statement statement(db_, "SELECT rowid FROM " + Q(table.name) + (where.empty() ? "" : " WHERE " + where) +
                                 " ORDER BY rowid " + (ascending ? "ASC" : "DESC") + " LIMIT 1");
    if (from && (step == Step::next || step == Step::prev)) statement.Bind(1, *from);
    if (key) statement.Bind(2, *key);
    if (!statement.Step()) return std::nullopt;
    return statement.Int(0);
}

Store::WriteResult Store::Update(const TableDef& table, std::int64_t rowid, const Row& row,
                                 const std::vector<bool>& which) {
    std::string sets;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i < which.size() && which[i]) {
            if (!sets.empty()) sets += ", ";
            sets += Q(table.columns[i].name) + " = ?" + std::to_string(i + 1);
        }
    }
    Transaction transaction(db_);
    if (!sets.empty()) {
        Statement statement(db_, "UPDATE " + Q(table.name) + " SET " + sets + " WHERE rowid = ?" +
                                     std::to_string(table.columns.size() + 1));
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            if (i < which.size() && which[i])
                BindValue(statement, static_cast<int>(i + 1), table.columns[i], row.at(i));
        }
        statement.Bind(static_cast<int>(table.columns.size() + 1), rowid);
        try {
            statement.Run();
        } catch (const ConstraintError&) {
            return WriteResult::conflict;
        }
        if (db_.Changes() == 0) return WriteResult::missing;
    } else if (!Read(table, rowid)) {
        return WriteResult::missing;
    }
    transaction.Commit();
    return WriteResult::ok;
}

std::optional<std::int64_t> Store::Insert(const TableDef& table, const Row& row) {
    std::string marks;
    for (std::size_t i = 0; i < table.columns.size(); ++i) marks += i ? ", ?" : "?";
    Transaction transaction(db_);
    Statement statement(
        db_, "INSERT INTO " + Q(table.name) + " (" + ColumnList(table) + ") VALUES (" + marks + ")");
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        BindValue(statement, static_cast<int>(i + 1), table.columns[i],
                  i < row.size() ? row[i] : std::string());
    }
    try {
        statement.Run();
    } catch (const ConstraintError&) {
        return std::nullopt;
    }
    const std::int64_t rowid = db_.LastInsertRowid();
    transaction.Commit();
    return rowid;
}

bool Store::Delete(const TableDef& table, std::int64_t rowid) {
    Transaction transaction(db_);
    Statement statement(db_, "DELETE FROM " + Q(table.name) + " WHERE rowid = ?");
    statement.Bind(1, rowid).Run();
    const bool deleted = db_.Changes() > 0;
    transaction.Commit();
    return deleted;
}

std::int64_t Store::Count(const TableDef& table) {
    Statement statement(db_, "SELECT COUNT(*) FROM " + Q(table.name));
    statement.Step();
    return statement.Int(0);
}

bool Store::MailboxExists(const std::string& box) {
    return FindByKey(Table("BOX"), box).has_value();
}

std::optional<std::string> Store::MailboxField(const std::string& box, const std::string& column) {
    const TableDef& table = Table("BOX");
    const std::size_t index = table.ColumnIndex(column);
    if (index == table.columns.size()) return std::nullopt;
    const auto rowid = FindByKey(table, box);
    if (!rowid) return std::nullopt;
    const auto row = Read(table, *rowid);
    if (!row) return std::nullopt;
    std::string value = (*row)[index];
    const std::size_t first = value.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return value.substr(first, value.find_last_not_of(" \t\r\n") - first + 1);
}

bool Store::AddMailbox(const std::string& box) {
    const auto defaults = DefaultMailboxValues(box);
    {
        Transaction transaction(db_);
        if (MailboxExists(box)) return false;
        for (const TableDef& table : Catalog()) {
            if (!table.one_per_mailbox || FindByKey(table, box)) continue;
            Row row(table.columns.size());
            row[table.key_column] = box;
            const auto values = defaults.find(table.name);
            if (values != defaults.end()) {
                for (const auto& [column, value] : values->second) {
                    const std::size_t index = table.ColumnIndex(column);
                    if (index < row.size()) row[index] = value;
                }
            }
            std::string marks;
            for (std::size_t i = 0; i < table.columns.size(); ++i) marks += i ? ", ?" : "?";
            Statement insert(
                db_, "INSERT INTO " + Q(table.name) + " (" + ColumnList(table) + ") VALUES (" + marks + ")");
            for (std::size_t i = 0; i < row.size(); ++i)
                BindValue(insert, static_cast<int>(i + 1), table.columns[i], row[i]);
            insert.Run();
        }
        transaction.Commit();
    }
    std::error_code ignored;
    fs::create_directories(MailboxFolder(box), ignored);
    return true;
}

bool Store::DeleteMailbox(const std::string& box) {
    {
        Transaction transaction(db_);
        if (!MailboxExists(box)) return false;
        for (const TableDef& table : Catalog()) {
            if (!table.mailbox_table) continue;
            Statement statement(db_, "DELETE FROM " + Q(table.name) + " WHERE " + Key(table) + " = ?");
            statement.Bind(1, box).Run();
        }
        Statement faxes(db_, std::string("DELETE FROM ") + kFaxTable + " WHERE mailbox = ?");
        faxes.Bind(1, box).Run();
        transaction.Commit();
    }
    std::error_code ignored;
    fs::remove_all(MailboxFolder(box), ignored);
    return true;
}

bool Store::SetMailboxValues(const std::string& table_name, const std::string& box, const Values& values) {
    const TableDef& table = Table(table_name);
    const auto rowid = FindByKey(table, box);
    if (!rowid) return false;
    auto row = Read(table, *rowid);
    if (!row) return false;
    std::vector<bool> which(table.columns.size(), false);
    for (const auto& [column, value] : values) {
        const std::size_t index = table.ColumnIndex(column);
        if (index == table.columns.size()) throw DbError("no column " + column + " in " + table.name);
        (*row)[index] = value;
        which[index] = true;
    }
    return Update(table, *rowid, *row, which) == WriteResult::ok;
}

std::optional<std::int64_t> Store::InsertValues(const std::string& table_name, const Values& values) {
    const TableDef& table = Table(table_name);
    Row row(table.columns.size());
    for (const auto& [column, value] : values) {
        const std::size_t index = table.ColumnIndex(column);
        if (index == table.columns.size()) throw DbError("no column " + column + " in " + table.name);
        row[index] = value;
    }
    return Insert(table, row);
}

bool Store::SetMwi(const std::string& box, bool on) {
    return SetMailboxValues("BOX", box, {{"MWI_ON", on ? "Y" : "N"}});
}

void Store::ResetMwi() {
    Transaction transaction(db_);
    db_.Exec("UPDATE \"BOX\" SET \"MWI_ON\" = 'N'");
    transaction.Commit();
}

std::vector<std::string> Store::Mailboxes() {
    std::vector<std::string> boxes;
    Statement statement(db_, "SELECT \"NUM\" FROM \"BOX\" ORDER BY rowid");
    while (statement.Step()) boxes.push_back(statement.Text(0));
    return boxes;
}

std::int64_t Store::AddFaxJob(const std::string& box, std::int64_t now) {
    Transaction transaction(db_);
    Statement statement(
        db_, std::string("INSERT INTO ") + kFaxTable + " (mailbox, created, queued_at) VALUES (?, ?, ?)");
    statement.Bind(1, box).Bind(2, now).Bind(3, now).Run();
    const std::int64_t id = db_.LastInsertRowid();
    transaction.Commit();
    return id;
}

std::optional<FaxJob> Store::FindFaxJob(const std::string& box, std::int64_t id) {
    Statement statement(
        db_, std::string("SELECT id, mailbox, created, queued_at, attempts, cancelled, pages FROM ") +
                 kFaxTable + " WHERE id = ? AND mailbox = ?");
    statement.Bind(1, id).Bind(2, box);
    if (!statement.Step()) return std::nullopt;
    FaxJob job;
    job.id = statement.Int(0);
    job.mailbox = statement.Text(1);
    job.created = statement.Int(2);
    job.queued_at = statement.Int(3);
    job.attempts = static_cast<int>(statement.Int(4));
    job.cancelled = statement.Int(5) != 0;
    job.pages = static_cast<int>(statement.Int(6));
    return job;
}

std::vector<std::int64_t> Store::FaxJobs(const std::string& box) {
    std::vector<std::int64_t> ids;
    Statement statement(db_, std::string("SELECT id FROM ") + kFaxTable + " WHERE mailbox = ? ORDER BY id");
    statement.Bind(1, box);
    while (statement.Step()) ids.push_back(statement.Int(0));
    return ids;
}

bool Store::CancelFaxJob(const std::string& box, std::int64_t id, std::int64_t now) {
    Transaction transaction(db_);
    const auto job = FindFaxJob(box, id);
    if (!job) return false;
    const FaxState state = FaxStateAt(*job, now);
    if (state != FaxState::queued && state != FaxState::sending) return false;
    Statement statement(db_, std::string("UPDATE ") + kFaxTable + " SET cancelled = 1 WHERE id = ?");
    statement.Bind(1, id).Run();
    transaction.Commit();
    return true;
}

bool Store::RetryFaxJob(const std::string& box, std::int64_t id, std::int64_t now) {
    Transaction transaction(db_);
    const auto job = FindFaxJob(box, id);
    if (!job) return false;
    const FaxState state = FaxStateAt(*job, now);
    if (state != FaxState::failed && state != FaxState::cancelled) return false;
    Statement statement(db_, std::string("UPDATE ") + kFaxTable +
                                 " SET cancelled = 0, attempts = attempts + 1, queued_at = ? WHERE id = ?");
    statement.Bind(1, now).Bind(2, id).Run();
    transaction.Commit();
    return true;
}

}  // namespace q5sim
