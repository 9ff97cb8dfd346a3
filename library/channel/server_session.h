// ServerSession: one command connection to the Q5Server and the whole
// command vocabulary of its line protocol.
//
// Each command operation checks the connected flag (sending nothing when it
// is clear), formats its line into the 1024-byte line buffer, sends it,
// reads the reply line and decides by the reply's first character. The
// result separates a server's refusal (data: the session stays usable) from
// an I/O failure (the connected flag is cleared and every later command
// fails at once until Connect succeeds again) and from an argument that
// cannot be put on the line (refused before anything is sent).
//
// All readers of the connection take their bytes through the session's
// InBuffer (see in_buffer.h for its rule, and for the one raw receive that
// goes around it), so replies, records, raw file bytes and event records
// that arrive together are each read whole by their own reader.
//
// Text is 8-bit (the wire code page); a null argument is sent as empty text.
//
// Command and reply lines (never record, file or event bytes) go to the
// protocol trace when Q5CLIENT_TRACE names a file at Connect (see
// protocol_trace.h).
//
// Thread rule: no lock; one thread uses a session at a time. Only
// RequestStop, RequestStopAfter and stop_requested may be called from
// another thread; a stop makes the current wait give up within one poll step.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "in_buffer.h"
#include "protocol_trace.h"
#include "reply_readers.h"
#include "socket_io.h"

namespace q5::channel {

enum class Outcome {
    ok,           // the reply passed its command's rule
    refused,      // the server answered; its reply failed the rule
    lost,         // not connected, or the connection failed: flag cleared
    bad_argument  // refused before sending: see argument_problem()
};

class ServerSession {
public:
    static constexpr std::size_t kLineBufferSize = 1024;
    // A reply line holds at most this many bytes; a longer one is read as
    // several lines.
    static constexpr std::size_t kMaxReplyLine = 1022;
    // Multi-line values keep at most this many characters.
    static constexpr std::size_t kMaxMultiLineValue = MultiLineValue::kMaxValue;
    // An event record holds at most this many characters, its '.' included.
    static constexpr std::size_t kMaxEventRecord = 128;

    ServerSession();
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;
    ~ServerSession();  // closes a connection still marked connected

    // ---- Connection -----------------------------------------------------
    // Clears a stop request, then opens the connection as Open does.
    bool Connect(const char* host, int port, int timeout_seconds);
    // Connect timeout = timeout seconds (0 = no limit but the system's);
    // read timeout = max(timeout, 30). Reads the greeting and takes the
    // server version from its fifth character. A connected session is
    // closed first. A stop request stays in force: one made before Open, or
    // during it from another thread (the name lookup and the TCP connect
    // included), ends it at its first wait.
    bool Open(const char* host, int port, int timeout_seconds);
    // Clears the connected flag and closes the connection; sends nothing.
    void Close() noexcept;
    // Reads one reply line into the line buffer (cleared first); the line
    // keeps its CR LF. False (and the connected flag cleared) on failure.
    bool ReadLine();

    bool connected() const noexcept { return connected_; }
    bool privileged() const noexcept { return privileged_; }
    void set_privileged(bool on) noexcept { privileged_ = on; }
    int server_version() const noexcept { return server_version_; }
    const std::string& table_name() const noexcept { return table_name_; }
    void set_table_name(std::string name) { table_name_ = std::move(name); }
    // The line buffer's text up to its zero: the last command line formatted
    // or the last reply read.
    std::string_view line_buffer() const noexcept;
    // Why the last command was refused with Outcome::bad_argument.
    const std::string& argument_problem() const noexcept { return argument_problem_; }

    // Makes the current and every later wait give up (thread-safe), until
    // the next Connect or ClearStop.
    void RequestStop() noexcept { io_.RequestStop(); }
    // The same from `delay` on (thread-safe); an earlier request stays.
    void RequestStopAfter(std::chrono::milliseconds delay) noexcept { io_.RequestStopAfter(delay); }
    void ClearStop() noexcept { io_.ClearStop(); }
    // Whether a stop is in force (thread-safe).
    bool stop_requested() const noexcept { return io_.stop_requested(); }
    // Replaces the name lookup (tests).
    void set_resolver(SocketIo::Resolver resolver) { io_.set_resolver(std::move(resolver)); }
    // Read timeout in seconds for later reads (0 = wait without limit).
    void set_read_timeout(int seconds) noexcept { io_.set_read_timeout(seconds); }
    void set_poll_step_ms(int ms) noexcept { io_.set_poll_step_ms(ms); }

    // ---- Login and session ---------------------------------------------
    // USER then PASS (USER's reply is not examined); PASS decides.
    Outcome Login(const char* user, const char* password);
    // SU then PASS; on success the privileged flag is set for good.
    Outcome SuLogin(const char* user, const char* password);
    Outcome Quit();
    // Succeeds whenever a reply line arrives, whatever it says.
    Outcome Noop();

    // ---- Table cursor (the record stream itself is the records layer's)
    Outcome Open(const char* table, const char* key);
    Outcome CloseTable(const char* table);
    Outcome Next(const char* table);
    Outcome Prev(const char* table);
    Outcome First(const char* table);
    Outcome Last(const char* table);
    Outcome Delete(const char* table);
    // GET: on ok the record's bytes follow; read them with ReadRaw.
    Outcome Get(const char* table);
    // PUT / ADD: on ok write the record with WriteRaw, then FinishRecord.
    Outcome Put(const char* table);
    Outcome Add(const char* table);
    // Reads the line that closes a PUT or ADD; status rule.
    Outcome FinishRecord();

    // ---- Files ----------------------------------------------------------
    // GETFILE: on ok, `size` is the second blank-separated word of the reply
    // (nullopt when it is missing, not a number, negative or beyond 32 bits).
    Outcome GetFile(const char* mailbox, const char* remote, std::optional<std::int32_t>& size);
    // PUTFILE with the announced size.
    Outcome PutFile(const char* mailbox, const char* remote, std::int32_t size);
    // Reads the line that ends a download: status rule.
    Outcome FinishGetFile();
    // Reads the line that ends an upload: it must start with '+'.
    Outcome FinishPutFile();
    Outcome V2W(const char* mailbox, const char* remote);
    Outcome W2V(const char* mailbox, const char* remote);
    Outcome DelFile(const char* mailbox, const char* remote);
    Outcome RenFile(const char* mailbox, const char* source, const char* dest);

    // ---- Server facts -----------------------------------------------------
    // Value = the reply from its fifth character, line end included.
    Outcome Uptime(std::string& value);
    Outcome VLoad(std::string& value);
    Outcome VerType(std::string& value);
    // Multi-line values: the lines up to a line starting with '.', each
    // with its line end, at most kMaxMultiLineValue characters kept.
    Outcome Serial(std::string& value);
    Outcome Version(std::string& value);
    // Value = the reply from its fifth character without its last two
    // characters (the line end).
    Outcome GetAttr(const char* name, std::string& value);

    // ---- Events, grammar, administration, fax -------------------------------
    // SEND_Q5_EVENT, then the record "20;v1;v2 " with every '.' made a
    // blank and a closing '.', then a second line (status rule).
    Outcome SendQ5Event(const char* msgid, const char* v1, const char* v2);
    Outcome CmpGrammar(const char* infile, const char* outfile);
    Outcome GenDassistBnf(const char* outfile, char department, char opmode, std::int32_t style);
    Outcome MailboxDel(const char* mailbox);
    Outcome MailboxAdd(const char* mailbox);
    Outcome LightMwi(const char* mailbox, char mode);
    Outcome ResetMwi();
    Outcome ChannelRing(std::int32_t channel);
    Outcome ChannelHangup(std::int32_t channel);
    Outcome LoadConf(std::int32_t configuration);
    // Value = decimal integer at the fifth character.
    Outcome SendFax(std::int32_t& job);
    Outcome GetFaxStatus(const char* mailbox, std::int32_t job, std::int32_t& status);
    // Value = the reply from its fifth character, white space trimmed.
    Outcome GetFaxAttr(const char* mailbox, std::int32_t job, const char* attr, std::string& value);
    Outcome CancelFax(const char* mailbox, std::int32_t job);
    Outcome RetryFax(const char* mailbox, std::int32_t job);
    // Stores the decimal number at the start of each line, the closing
    // status line included, while `size` (the capacity on entry) allows;
    // reads every line regardless. `size` becomes the count stored; it is
    // left unchanged when a read fails. Fails when the last line starts
    // with '-'.
    Outcome EnumFaxJobs(const char* mailbox, int* jobs, int& size);

    // ---- Event streams ------------------------------------------------------
    // On ok the connection carries only events from then on.
    Outcome EventStatus();
    Outcome EventQ5();
    // Reads up to and including the next '.' (at most kMaxEventRecord
    // characters) and returns the number at its start (white space skipped);
    // 0 when the read failed.
    long ReadNumber();
    // Reads one event record (its final '.' kept). False when the read
    // failed (peer closed, error, timeout, stop request).
    bool ReadRecord(std::string& record);

    // ---- Raw bytes (records and files) ------------------------------------
    // Reads exactly `size` bytes unless the connection fails; returns the
    // number read. A short read clears the connected flag.
    std::size_t ReadRaw(char* out, std::size_t size);
    // Sends all bytes; false (and the connected flag cleared) on failure.
    bool WriteRaw(const char* data, std::size_t size);
    // Bytes received and not yet taken by any reader (tests, diagnostics).
    std::size_t buffered() const noexcept { return in_.size(); }

    // The line that a command would send, or nullopt (argument_problem()
    // set) when an argument holds CR, LF or NUL or the line does not fit the
    // line buffer. Exposed for tests.
    std::optional<std::string> FormatCommand(std::string_view keyword,
                                             std::initializer_list<std::string_view> args);

private:
    using Args = std::initializer_list<std::string_view>;

    // Not connected: lost. Argument problem: bad_argument. Otherwise sends
    // the line and reads the reply; ok when a reply line arrived.
    Outcome Exchange(std::string_view keyword, Args args);
    // Sends an already checked line and reads the reply; ok when a reply
    // line arrived.
    Outcome SendAndRead(const std::string& line);
    // Exchange, then the status rule on the reply.
    Outcome Command(std::string_view keyword, Args args);
    // Success unless the line buffer starts with '-'.
    Outcome StatusRule() const noexcept;
    // Reads one more line (connected only) and applies the status rule.
    Outcome ReadStatus();
    Outcome ValueCommand(std::string_view keyword, Args args, std::string& value, bool strip_line_end);
    Outcome MultiLineCommand(std::string_view keyword, std::string& value);
    Outcome LoginAs(std::string_view keyword, const char* user, const char* password);
    // False (argument_problem_ set) when `text` holds CR, LF or NUL.
    bool CheckArgument(std::string_view keyword, std::size_t position, std::string_view text);
    void StoreLine(std::string_view text) noexcept;
    void LoseConnection() noexcept;
    bool ReadMore();

    std::string table_name_;
    bool privileged_ = false;
    int server_version_ = 0;
    bool connected_ = false;
    SocketIo io_;
    char line_[kLineBufferSize] = {};
    InBuffer in_;
    std::string argument_problem_;
    // Null unless Q5CLIENT_TRACE named a file at the last Connect.
    std::unique_ptr<ProtocolTrace> trace_;
};

}  // namespace q5::channel
