#include "session.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <vector>

#include "audio.h"
#include "log.h"
#include "records/record_stream.h"
#include "screening.h"

namespace q5sim {

namespace fs = std::filesystem;

namespace {

// A record holds at most 113 fields; no honest one comes near this.
constexpr std::size_t kMaxRecordBytes = 4 * 1024 * 1024;
constexpr std::size_t kFileChunk = 64 * 1024;
constexpr std::int64_t kMaxFileSize = 0x7FFFFFFF;  // the client counts in 32 bits

// Feeds the record reader from the connection, within a byte budget.
class ConnectionSource final : public q5::records::ByteSource {
public:
    ConnectionSource(Connection& connection, std::chrono::seconds limit)
        : connection_(connection), limit_(limit) {}
    std::size_t Read(char* out, std::size_t size) override {
        std::size_t done = 0;
        while (done < size && budget_ > 0) {
            std::size_t got = 0;
            if (connection_.ReadSome(out + done, std::min(size - done, budget_), got, limit_) != Io::ok)
                break;
            done += got;
            budget_ -= got;
        }
        return done;
    }

private:
    Connection& connection_;
    std::chrono::seconds limit_;
    std::size_t budget_ = kMaxRecordBytes;
};

std::optional<std::int64_t> ParseNumber(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string FormatTime(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

Session::Session(ServerContext& context, Connection& connection, int id)
    : context_(context), connection_(connection), id_(id) {}

Session::~Session() {
    Logout();
}

Store& Session::store() {
    if (!store_) store_ = std::make_unique<Store>(context_.config.data_dir);
    return *store_;
}

void Session::Run() {
    LogLine("#" + std::to_string(id_) + " connected from " + connection_.peer());
    StartLoginClock();
    if (Send("+OK 5 Q5Server emulator ready\r\n") == Next::drop) return;
    std::string line;
    while (true) {
        const Io read = connection_.ReadLine(line, kMaxLineBytes, context_.config.idle_limit);
        if (read == Io::too_long) {
            LogLine("#" + std::to_string(id_) + " over-long line refused");
            if (Reply("-ERR line too long") == Next::drop) break;
            continue;
        }
        if (read == Io::timeout && !logged_in_) {
            LogLine("#" + std::to_string(id_) + " no login in time; connection dropped");
            break;
        }
        if (read != Io::ok) break;
        const auto command = ParseCommandLine(line);
        reply_log_.clear();
        Next next;
        std::string shown;
        if (!command) {
            next = Reply("-ERR malformed command line");
            shown = "(malformed line)";
        } else {
            try {
                next = Dispatch(*command);
            } catch (const std::exception& error) {
                // A database or file system failure ends this command only.
                LogLine("#" + std::to_string(id_) + " error: " + error.what());
                next = Reply("-ERR server error");
            }
            shown = command->keyword == "PASS" ? "PASS ****" : command->text;
        }
        LogLine("#" + std::to_string(id_) + " " + (user_.empty() ? "-" : user_) + ": " + shown + " -> " +
                reply_log_);
        if (next == Next::drop) break;
    }
    LogLine("#" + std::to_string(id_) + " closed");
}

Session::Next Session::Send(const std::string& bytes) {
    return connection_.Write(bytes, context_.config.transfer_limit) == Io::ok ? Next::serve : Next::drop;
}

Session::Next Session::Reply(const std::string& line) {
    if (reply_log_.empty()) {
        reply_log_ = line;
    } else if (reply_log_.size() < 200) {
        reply_log_ += " / " + line;
    }
    return Send(line + "\r\n");
}

Session::Next Session::Dispatch(const CommandLine& command) {
    const std::string& word = command.keyword;
    if (word == "USER" || word == "SU") return Login(command);
    if (word == "PASS") return Pass(command);
    if (word == "NOOP") return Reply("+OK");
    if (word == "QUIT") {
        Logout();
        StartLoginClock();
        return Reply("+OK bye");
    }
    static const char* const kTable[] = {"OPEN", "CLOSE",  "NEXT", "PREV", "FIRST",
                                         "LAST", "DELETE", "GET",  "PUT",  "ADD"};
    static const char* const kFile[] = {"GETFILE", "PUTFILE", "V2W", "W2V", "DELFILE", "RENFILE"};
    static const char* const kFact[] = {"UPTIME", "VLOAD", "VERTYPE", "SERIAL", "VERSION", "GET_ATTR"};
    static const char* const kAdmin[] = {"MAILBOX",      "LIGHT_MWI",       "RESET_MWI",
                                         "CHANNEL_RING", "CHANNEL_HANGUP",  "LOADCONF",
                                         "CMP_GRAMMAR",  "GEN_DASSIST_BNF", "SIM_HANGUP"};
    static const char* const kFax[] = {"SENDFAX",   "GETFAXSTATUS", "GETFAXATTR",
                                       "CANCELFAX", "RETRYFAX",     "ENUMFAXJOBS"};
    auto in = [&](const auto& list) {
        return std::any_of(std::begin(list), std::end(list), [&](const char* w) { return word == w; });
    };
    const bool known = in(kTable) || in(kFile) || in(kFact) || in(kAdmin) || in(kFax) ||
                       word == "SEND_Q5_EVENT" || word == "EVENT_Q5" || word == "EVENT_STATUS" ||
                       word == "SIM_CALL";
    if (!known) return Reply("-ERR unknown command");
    if (!logged_in_) return Reply("-ERR not logged in");
    if (in(kTable)) return TableCommand(command);
    if (in(kFile)) return FileCommand(command);
    if (in(kFact)) return FactCommand(command);
    if (in(kAdmin)) return AdminCommand(command);
    if (in(kFax)) return FaxCommand(command);
    if (word == "SEND_Q5_EVENT") return SendQ5Event(command);
    if (word == "SIM_CALL") return StartCall(command);
    if (word == "EVENT_STATUS") {
        if (!privileged_) return Reply("-ERR superuser only");
        return EventStream(true);
    }
    return EventStream(false);
}

// ---- Login ------------------------------------------------------------------------

Session::Next Session::Login(const CommandLine& command) {
    pending_user_ = Trim(command.Tail(0));
    pending_su_ = command.keyword == "SU";
    have_pending_ = true;
    return Reply("+OK send password");
}

Session::Next Session::Pass(const CommandLine& command) {
    if (!have_pending_) return Reply("-ERR send USER or SU first");
    have_pending_ = false;
    const std::string password = Trim(command.Tail(0));
    bool accepted = false;
    if (pending_su_) {
        const auto found = context_.config.superusers.find(pending_user_);
        accepted = found != context_.config.superusers.end() && found->second == password;
    } else if (IsMailboxNumber(pending_user_)) {
        const auto stored = store().MailboxField(pending_user_, "PASS");
        accepted = stored && *stored == password;
    }
    if (!accepted) return Reply("-ERR unknown username or password");
    Logout();
    logged_in_ = true;
    user_ = pending_user_;
    // The rights are the new login's alone, whatever an earlier one had.
    privileged_ = pending_su_;
    if (!pending_su_) {
        context_.calls.Login(user_);
        counted_login_ = true;
    }
    cursors_.clear();
    connection_.SetDeadline(std::nullopt);
    return Reply(pending_su_ ? "+OK superuser logged in" : "+OK mailbox " + user_ + " logged in");
}

void Session::Logout() {
    if (counted_login_) context_.calls.Logout(user_);
    counted_login_ = false;
    logged_in_ = false;
    privileged_ = false;
}

void Session::StartLoginClock() {
    connection_.SetDeadline(std::chrono::steady_clock::now() + context_.config.login_limit);
}

// ---- Tables -----------------------------------------------------------------------

Session::Next Session::TableCommand(const CommandLine& command) {
    if (command.args.empty()) return Reply("-ERR table name missing");
    const TableDef* table = FindTable(command.args[0]);
    if (!table) return Reply("-ERR no such table");
    const std::string& word = command.keyword;
    if (word == "CLOSE") {
        cursors_.erase(table->name);
        return Reply("+OK");
    }
    if (word == "GET") return GetRecord(*table);
    if (word == "PUT") return PutRecord(*table, false);
    if (!privileged_) return Reply("-ERR permission denied");
    if (word == "ADD") return PutRecord(*table, true);
    if (word == "OPEN") {
        const std::string key = command.Tail(1);
        const auto row = store().FindByKey(*table, key);
        if (!row) {
            cursors_.erase(table->name);
            return Reply("-ERR no such record");
        }
        cursors_[table->name] = Cursor{key, row};
        return Reply("+OK");
    }
    if (word == "FIRST") return MoveCursor(*table, Step::first);
    if (word == "LAST") return MoveCursor(*table, Step::last);
    if (word == "NEXT") return MoveCursor(*table, Step::next);
    if (word == "PREV") return MoveCursor(*table, Step::prev);
    // DELETE
    Cursor& cursor = cursors_[table->name];
    if (!cursor.row || !store().Delete(*table, *cursor.row)) return Reply("-ERR no current record");
    // The cursor keeps the deleted row's place, so NEXT and PREV go on from there.
    return Reply("+OK deleted");
}

Session::Next Session::MoveCursor(const TableDef& table, Step step) {
    Cursor& cursor = cursors_[table.name];
    const auto row = store().Move(table, cursor.key, step, cursor.row);
    if (!row)
        return Reply(step == Step::next   ? "-ERR end of table"
                     : step == Step::prev ? "-ERR start of table"
                                          : "-ERR no such record");
    cursor.row = row;
    return Reply("+OK");
}

Session::Next Session::GetRecord(const TableDef& table) {
    std::optional<std::int64_t> rowid;
    if (privileged_) {
        rowid = cursors_[table.name].row;
    } else if (table.mailbox_table) {
        rowid = store().FindByKey(table, user_);
    } else {
        return Reply("-ERR permission denied");
    }
    const auto row = rowid ? store().Read(table, *rowid) : std::nullopt;
    if (!row) return Reply("-ERR no current record");
    q5::records::RecordWriter writer;
    if (!WriteRecord(table, privileged_, *row, writer)) return Reply("-ERR record too long");
    if (Reply("+OK record follows") == Next::drop) return Next::drop;
    return Send(writer.bytes());
}

Session::Next Session::PutRecord(const TableDef& table, bool add) {
    std::optional<std::int64_t> rowid;
    if (!add) {
        if (privileged_) {
            rowid = cursors_[table.name].row;
        } else if (table.mailbox_table) {
            rowid = store().FindByKey(table, user_);
        } else {
            return Reply("-ERR permission denied");
        }
        if (!rowid) return Reply("-ERR no current record");
    }
    std::optional<Row> row = add ? Row(table.columns.size()) : store().Read(table, *rowid);
    if (!row) return Reply("-ERR no current record");
    if (Reply("+OK send record") == Next::drop) return Next::drop;

    ConnectionSource source(connection_, context_.config.transfer_limit);
    q5::records::RecordReader reader(source);
    if (!ReadRecord(table, privileged_, reader, *row)) {
        LogLine("#" + std::to_string(id_) + " record broken off; connection dropped");
        return Next::drop;
    }
    std::vector<bool> which = CarriedColumns(table, privileged_);
    if (!privileged_) which[table.key_column] = false;  // a mailbox keeps its number
    if (add) {
        const auto added = store().Insert(table, *row);
        if (!added) return Reply("-ERR duplicate mailbox");
        cursors_[table.name].row = added;
        return Reply("+OK added");
    }
    switch (store().Update(table, *rowid, *row, which)) {
        case Store::WriteResult::ok:
            return Reply("+OK updated");
        case Store::WriteResult::missing:
            return Reply("-ERR record was deleted");
        case Store::WriteResult::conflict:
            return Reply("-ERR duplicate mailbox");
    }
    return Reply("-ERR update failed");
}

// ---- Files ------------------------------------------------------------------------

std::optional<std::string> Session::MailboxFolder(const std::string& box) {
    if (!IsMailboxNumber(box)) return std::nullopt;
    if (privileged_ ? !store().MailboxExists(box) : box != user_) return std::nullopt;
    const fs::path folder = store().MailboxFolder(box);
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder.string();
}

Session::Next Session::FileCommand(const CommandLine& command) {
    const std::string& word = command.keyword;
    const std::size_t needed = word == "RENFILE" || word == "PUTFILE" ? 3 : 2;
    if (command.args.size() != needed) return Reply("-ERR wrong number of arguments");
    const auto folder = MailboxFolder(command.args[0]);
    if (!folder) return Reply("-ERR no such mailbox");
    const std::string& name = command.args[1];
    if (!IsSafeFileName(name)) return Reply("-ERR bad file name");
    if (word == "GETFILE") return GetFile(*folder, name);
    if (word == "PUTFILE") return PutFile(*folder, name, command.args[2]);
    if (word == "V2W") return Convert(*folder, name, true);
    if (word == "W2V") return Convert(*folder, name, false);
    const fs::path path = fs::path(*folder) / name;
    std::error_code error;
    if (word == "DELFILE") {
        fs::remove(path, error);  // a missing file is already deleted
        return Reply(error ? "-ERR cannot delete" : "+OK deleted");
    }
    // RENFILE
    const std::string& target = command.args[2];
    if (!IsSafeFileName(target)) return Reply("-ERR bad file name");
    if (!IsRegularFile(path)) return Reply("-ERR no such file");
    fs::rename(path, fs::path(*folder) / target, error);
    return Reply(error ? "-ERR cannot rename" : "+OK renamed");
}

Session::Next Session::GetFile(const std::string& folder, const std::string& name) {
    const fs::path path = fs::path(folder) / name;
    std::ifstream in(path, std::ios::binary);
    if (!IsRegularFile(path) || !in) return Reply("-ERR no such file");
    in.seekg(0, std::ios::end);
    const std::int64_t size = in.tellg();
    in.seekg(0);
    if (size < 0 || size > kMaxFileSize) return Reply("-ERR file too large");
    if (Reply("+OK " + std::to_string(size) + " bytes follow") == Next::drop) return Next::drop;
    std::vector<char> chunk(kFileChunk);
    std::int64_t left = size;
    while (left > 0) {
        const auto want = static_cast<std::streamsize>(std::min<std::int64_t>(left, kFileChunk));
        in.read(chunk.data(), want);
        if (in.gcount() != want) {
            // The announced size can no longer be kept; the peer must not
            // take what follows for file bytes.
            LogLine("#" + std::to_string(id_) + " file shrank while sent; connection dropped");
            return Next::drop;
        }
        if (Send(std::string(chunk.data(), static_cast<std::size_t>(want))) == Next::drop) return Next::drop;
        left -= want;
    }
    return Reply("+OK transfer complete");
}

Session::Next Session::PutFile(const std::string& folder, const std::string& name,
                               const std::string& size_text) {
    const auto size = ParseNumber(size_text);
    if (!size || *size < 0 || *size > kMaxFileSize) return Reply("-ERR bad size");
    const fs::path target = fs::path(folder) / name;
    const fs::path temp = fs::path(folder) / (std::string(kPartialUploadPrefix) + std::to_string(id_) + "-" +
                                              std::to_string(++put_count_));
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return Reply("-ERR cannot store file");
    if (Reply("+OK send " + std::to_string(*size) + " bytes") == Next::drop) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return Next::drop;
    }
    std::vector<char> chunk(kFileChunk);
    std::int64_t left = *size;
    bool written = true;
    while (left > 0) {
        std::size_t got = 0;
        const Io read = connection_.ReadSome(
            chunk.data(), static_cast<std::size_t>(std::min<std::int64_t>(left, kFileChunk)), got,
            context_.config.transfer_limit);
        if (read != Io::ok) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            LogLine("#" + std::to_string(id_) + " upload broken off after " + std::to_string(*size - left) +
                    " bytes; connection dropped");
            return Next::drop;
        }
        // After a write error the rest is still read, to stay in step.
        if (written) written = static_cast<bool>(out.write(chunk.data(), static_cast<std::streamsize>(got)));
        left -= static_cast<std::int64_t>(got);
    }
    out.close();
    std::error_code error;
    if (written && out) fs::rename(temp, target, error);
    if (!written || !out || error) {
        fs::remove(temp, error);
        return Reply("-ERR cannot store file");
    }
    return Reply("+OK stored");
}

Session::Next Session::Convert(const std::string& folder, const std::string& name, bool to_wav) {
    const auto sources = to_wav ? V2wSources(name) : W2vSources(name);
    const std::string target = to_wav ? V2wTarget(name) : W2vTarget(name);
    for (const std::string& source : sources) {
        const fs::path path = fs::path(folder) / source;
        if (!IsRegularFile(path)) continue;
        std::string error;
        const bool ok = to_wav ? VoxToWav(path, fs::path(folder) / target, error)
                               : WavToVox(path, fs::path(folder) / target, error);
        if (!ok) return Reply("-ERR conversion failed: " + error);
        return Reply("+OK " + source + " converted to " + target);
    }
    return Reply("-ERR no such file");
}

// ---- Facts --------------------------------------------------------------------------

Session::Next Session::FactCommand(const CommandLine& command) {
    const std::string& word = command.keyword;
    if (word == "UPTIME") {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - context_.started)
                                 .count();
        char text[64];
        std::snprintf(text, sizeof text, "%lld days %02lld:%02lld:%02lld",
                      static_cast<long long>(seconds / 86400), static_cast<long long>(seconds / 3600 % 24),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
        return Reply(std::string("+OK ") + text);
    }
    if (word == "VLOAD") {
        return Reply("+OK " + std::to_string(context_.calls.LoggedIn().size()) + " mailboxes logged in, " +
                     std::to_string(context_.calls.channels()) + " channels");
    }
    if (word == "VERTYPE") return Reply("+OK EMULATOR");
    if (word == "SERIAL") {
        reply_log_ = "+OK serial follows";
        return Send("+OK serial follows\r\nQ5SIM-0000-0001\r\n.\r\n");
    }
    if (word == "VERSION") {
        reply_log_ = "+OK version follows";
        return Send("+OK version follows\r\nQ5Server emulator 5.0\r\nprotocol 5\r\n.\r\n");
    }
    // GET_ATTR
    const std::string name = Upper(Trim(command.Tail(0)));
    if (name == "CHANNELS") return Reply("+OK " + std::to_string(context_.calls.channels()));
    if (name == "MAILBOXES") return Reply("+OK " + std::to_string(store().Mailboxes().size()));
    if (name == "VERSION") return Reply("+OK 5");
    if (name == "SERVER_NAME") return Reply("+OK q5sim");
    if (name == "FAX") return Reply("+OK Y");
    if (name == "LANGUAGES") return Reply("+OK eng spa fre ger ita heb rus ara tur por rom chi gre swa");
    return Reply("-ERR unknown attribute");
}

// ---- Administration ---------------------------------------------------------------

Session::Next Session::AdminCommand(const CommandLine& command) {
    const std::string& word = command.keyword;
    const auto& args = command.args;
    // Grammar tools and configuration loads are accepted from any session.
    if (word == "LOADCONF") {
        return args.size() == 1 && ParseNumber(args[0]) ? Reply("+OK configuration loaded")
                                                        : Reply("-ERR bad argument");
    }
    if (word == "CMP_GRAMMAR")
        return args.size() == 2 ? Reply("+OK grammar compiled") : Reply("-ERR bad argument");
    if (word == "GEN_DASSIST_BNF")
        return args.size() == 4 ? Reply("+OK grammar generated") : Reply("-ERR bad argument");
    if (!privileged_) return Reply("-ERR superuser only");
    if (word == "MAILBOX") {
        if (args.size() != 2 || !IsMailboxNumber(args[1])) return Reply("-ERR bad mailbox");
        if (args[0] == "ADD")
            return store().AddMailbox(args[1]) ? Reply("+OK mailbox added") : Reply("-ERR mailbox exists");
        if (args[0] == "DEL") {
            if (!store().DeleteMailbox(args[1])) return Reply("-ERR no such mailbox");
            context_.calls.EndCallsOf(args[1]);
            return Reply("+OK mailbox deleted");
        }
        return Reply("-ERR unknown MAILBOX command");
    }
    if (word == "LIGHT_MWI") {
        if (args.size() != 2 || args[1].size() != 1) return Reply("-ERR bad argument");
        const bool off = std::string_view("0NnFf").find(args[1][0]) != std::string_view::npos;
        return store().SetMwi(args[0], !off) ? Reply(off ? "+OK lamp off" : "+OK lamp on")
                                             : Reply("-ERR no such mailbox");
    }
    if (word == "RESET_MWI") {
        store().ResetMwi();
        return Reply("+OK all lamps off");
    }
    if (word == "SIM_HANGUP") {
        return args.size() == 1 && context_.calls.EndCall(args[0]) ? Reply("+OK call ended")
                                                                   : Reply("-ERR no such call");
    }
    const auto channel = args.size() == 1 ? ParseNumber(args[0]) : std::nullopt;
    if (!channel || *channel > context_.calls.channels()) return Reply("-ERR no such channel");
    const int number = static_cast<int>(*channel);
    if (word == "CHANNEL_RING")
        return context_.calls.RingChannel(number) ? Reply("+OK ringing") : Reply("-ERR channel busy");
    return context_.calls.HangupChannel(number) ? Reply("+OK hung up") : Reply("-ERR no such channel");
}

// ---- Fax ----------------------------------------------------------------------------

bool Session::MayUseMailbox(const std::string& box) {
    return privileged_ || box == user_;
}

Session::Next Session::FaxCommand(const CommandLine& command) {
    const std::string& word = command.keyword;
    const auto& args = command.args;
    if (word == "SENDFAX") {
        // A superuser's jobs belong to the system mailbox 0.
        return Reply("+OK " + std::to_string(store().AddFaxJob(privileged_ ? "0" : user_, Now())));
    }
    if (args.empty() || !MayUseMailbox(args[0])) return Reply("-ERR no such mailbox");
    const std::string& box = args[0];
    if (word == "ENUMFAXJOBS") {
        std::string lines;
        const auto jobs = store().FaxJobs(box);
        for (const std::int64_t job : jobs) lines += std::to_string(job) + "\r\n";
        reply_log_ = std::to_string(jobs.size()) + " jobs";
        return Send(lines + "+OK " + std::to_string(jobs.size()) + " jobs\r\n");
    }
    const auto id = args.size() >= 2 ? ParseNumber(args[1]) : std::nullopt;
    const auto job = id ? store().FindFaxJob(box, *id) : std::nullopt;
    if (!job) return Reply("-ERR no such job");
    const std::int64_t now = Now();
    if (word == "GETFAXSTATUS")
        return Reply("+OK " + std::to_string(static_cast<int>(FaxStateAt(*job, now))));
    if (word == "CANCELFAX")
        return store().CancelFaxJob(box, *id, now) ? Reply("+OK cancelled") : Reply("-ERR job is done");
    if (word == "RETRYFAX")
        return store().RetryFaxJob(box, *id, now) ? Reply("+OK queued again")
                                                  : Reply("-ERR job did not fail");
    // GETFAXATTR
    const std::string attr = Upper(args.size() >= 3 ? command.Tail(2) : std::string());
    if (attr == "STATUS") return Reply(std::string("+OK ") + FaxStateName(FaxStateAt(*job, now)));
    if (attr == "MAILBOX") return Reply("+OK " + job->mailbox);
    if (attr == "ATTEMPTS") return Reply("+OK " + std::to_string(job->attempts));
    if (attr == "PAGES") return Reply("+OK " + std::to_string(job->pages));
    if (attr == "CREATED") return Reply("+OK " + FormatTime(job->created));
    return Reply("-ERR unknown attribute");
}

// ---- Calls and events ------------------------------------------------------------------

Session::Next Session::SendQ5Event(const CommandLine& command) {
    const std::string key = Trim(command.Tail(0));
    const auto call = context_.calls.FindCall(key);
    if (!call || (!privileged_ && call->mailbox != user_)) return Reply("-ERR no such call");
    if (Reply("+OK send event record") == Next::drop) return Next::drop;
    std::string record;
    if (connection_.ReadUntilDot(record, kMaxEventRecord, context_.config.transfer_limit) != Io::ok)
        return Next::drop;
    const auto values = ParseVRecord(record);
    if (!values) return Reply("-ERR malformed event record");
    switch (context_.calls.Act(key, privileged_ ? std::string() : user_, values->v, values->x)) {
        case ActResult::ok:
            return Reply("+OK");
        case ActResult::no_call:
            return Reply("-ERR call has ended");
        case ActResult::not_yours:
            return Reply("-ERR no such call");
        case ActResult::bad_value:
            return Reply("-ERR unknown value " + values->v);
        case ActResult::busy_leaving:
            return Reply("-ERR call is leaving");
    }
    return Reply("-ERR");
}

Session::Next Session::StartCall(const CommandLine& command) {
    if (!privileged_) return Reply("-ERR superuser only");
    if (command.args.empty() || !store().MailboxExists(command.args[0])) return Reply("-ERR no such mailbox");
    const std::string box = command.args[0];
    const std::string number = command.args.size() >= 2 ? command.args[1] : "5550100";
    const std::string name = command.args.size() >= 3 ? command.Tail(2) : std::string();
    const auto key = StartScreenedCall(store(), context_.calls, box, number, name);
    if (!key) return Reply("-ERR all channels busy");
    return Reply("+OK " + *key);
}

Session::Next Session::EventStream(bool status) {
    auto feed =
        status ? context_.calls.SubscribeStatus() : context_.calls.SubscribeQ5(privileged_ ? "" : user_);
    Next next = Reply(status ? "+OK status events follow" : "+OK events follow");
    LogLine("#" + std::to_string(id_) + " " + (user_.empty() ? "-" : user_) + ": " +
            (status ? "EVENT_STATUS" : "EVENT_Q5") + " -> " + reply_log_);
    while (next == Next::serve && !context_.stop.load()) {
        for (const std::string& record : feed->Take(std::chrono::milliseconds(0))) {
            if (Send(record + "\r\n") == Next::drop) {
                next = Next::drop;
                break;
            }
        }
        // Wakes for a record, or as soon as the peer closes: the slot the
        // connection holds is given back at once.
        if (next == Next::serve &&
            !connection_.WaitStillOpen(feed->wake_fd(), std::chrono::milliseconds(500)))
            next = Next::drop;
    }
    context_.calls.Unsubscribe(feed);
    reply_log_ = "event stream ended";
    return Next::drop;
}

}  // namespace q5sim
