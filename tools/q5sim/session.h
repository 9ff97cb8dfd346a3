// Session: one client connection of q5sim, from the greeting to the end.
// Reads command lines, checks who may run them, runs them against the store,
// the mailbox files and the call center, and writes the replies (and the
// records, file bytes and event records that some commands carry).
//
// Replies start with "+OK" or "-ERR"; a value follows at the fifth
// character. A peer that breaks a transfer (closes, stalls or sends a
// malformed record) loses its connection; nothing it sent half-way is kept.
//
// Thread rule: a Session runs on its connection's own thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "connection.h"
#include "protocol.h"
#include "server.h"
#include "store.h"

namespace q5sim {

class Session {
public:
    Session(ServerContext& context, Connection& connection, int id);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    void Run();

private:
    // The result of one command: keep serving, or drop the connection.
    enum class Next { serve, drop };
    struct Cursor {
        std::optional<std::string> key;  // from OPEN: the rows it walks
        std::optional<std::int64_t> row;
    };

    Next Dispatch(const CommandLine& command);
    // Writes one reply line (CR LF added) and notes it for the log.
    Next Reply(const std::string& line);
    Next Send(const std::string& bytes);

    Next Login(const CommandLine& command);
    Next Pass(const CommandLine& command);
    void Logout();
    // A connection that is not logged in must log in within the login limit.
    void StartLoginClock();

    Next TableCommand(const CommandLine& command);
    Next GetRecord(const TableDef& table);
    Next PutRecord(const TableDef& table, bool add);
    Next MoveCursor(const TableDef& table, Step step);

    Next FileCommand(const CommandLine& command);
    Next GetFile(const std::string& folder, const std::string& name);
    Next PutFile(const std::string& folder, const std::string& name, const std::string& size);
    Next Convert(const std::string& folder, const std::string& name, bool to_wav);

    Next FactCommand(const CommandLine& command);
    Next AdminCommand(const CommandLine& command);
    Next FaxCommand(const CommandLine& command);
    Next SendQ5Event(const CommandLine& command);
    Next StartCall(const CommandLine& command);
    Next EventStream(bool status);

    // The folder of a mailbox this session may reach; nullopt when it may not.
    std::optional<std::string> MailboxFolder(const std::string& box);
    // A fax mailbox this session may reach.
    bool MayUseMailbox(const std::string& box);
    Store& store();

    ServerContext& context_;
    Connection& connection_;
    const int id_;
    std::unique_ptr<Store> store_;

    std::string pending_user_;
    bool pending_su_ = false;
    bool have_pending_ = false;
    bool logged_in_ = false;
    bool privileged_ = false;  // the current login is a superuser's
    std::string user_;         // mailbox number, or the superuser's name
    bool counted_login_ = false;

    std::map<std::string, Cursor> cursors_;
    std::string reply_log_;
    int put_count_ = 0;
};

}  // namespace q5sim
