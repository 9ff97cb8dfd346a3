#include "channel/server_session.h"

#include <algorithm>
#include <cstring>

namespace q5::channel {

namespace {

// The longest command line: the line buffer less its terminating zero.
constexpr std::size_t kMaxCommandLine = ServerSession::kLineBufferSize - 1;
// Timeouts above this many seconds are treated as this many (keeps the
// millisecond arithmetic inside 32 bits).
constexpr int kMaxTimeoutSeconds = 2'000'000;
constexpr int kMinReadTimeoutSeconds = 30;

// A null argument is sent as empty text.
std::string_view Arg(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

std::string_view CharArg(const char& c) {
    return std::string_view(&c, 1);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::int32_t ToInt32(long value) {
    return static_cast<std::int32_t>(value);
}

// Raw reads of at least this many bytes skip the InBuffer while it is empty.
constexpr std::size_t kDirectReadMin = 16384;

}  // namespace

ServerSession::ServerSession() = default;

ServerSession::~ServerSession() {
    Close();
}

// ---- Connection -------------------------------------------------------------

bool ServerSession::Connect(const char* host, int port, int timeout_seconds) {
    io_.ClearStop();
    return Open(host, port, timeout_seconds);
}

bool ServerSession::Open(const char* host, int port, int timeout_seconds) {
    Close();
    const int timeout = std::clamp(timeout_seconds, 0, kMaxTimeoutSeconds);
    io_.SetTimeouts(timeout * 1000, std::max(timeout, kMinReadTimeoutSeconds) * 1000);
    // The trace is chosen anew for each connection, so a caller can switch it
    // between connections.
    trace_ = ProtocolTrace::FromEnvironment();
    if (trace_) trace_->Note(std::string("connect ") + (host ? host : "") + ":" + std::to_string(port));
    if (!io_.Create(0)) return false;
    if (!io_.Connect(host, port)) {
        if (trace_) trace_->Note("connect failed");
        io_.CloseSocket();
        return false;
    }
    if (!ReadLine()) return false;  // no greeting: the socket is closed already
    connected_ = true;
    server_version_ = ToInt32(ParseDecimal(ValueOf(line_buffer())));
    return true;
}

void ServerSession::Close() noexcept {
    if (trace_ && io_.socket() >= 0) trace_->Note("close");
    connected_ = false;
    io_.CloseSocket(true);
    in_.Clear();
}

void ServerSession::LoseConnection() noexcept {
    Close();
}

bool ServerSession::ReadMore() {
    return io_.ReceiveSome(in_) > 0;
}

bool ServerSession::ReadLine() {
    std::memset(line_, 0, sizeof line_);
    for (;;) {
        if (std::optional<std::string> line = in_.TakeLine(kMaxReplyLine)) {
            std::memcpy(line_, line->data(), line->size());
            if (trace_) trace_->Received(*line);
            return true;
        }
        if (!ReadMore()) {
            // The part of the line that did arrive stays readable as the
            // line buffer's text (callers report it as their error).
            const std::string_view partial = in_.view().substr(0, kMaxReplyLine);
            std::memcpy(line_, partial.data(), partial.size());
            if (trace_) trace_->Note("no reply line: connection lost");
            LoseConnection();
            return false;
        }
    }
}

std::string_view ServerSession::line_buffer() const noexcept {
    return std::string_view(line_, strnlen(line_, sizeof line_));
}

void ServerSession::StoreLine(std::string_view text) noexcept {
    std::memset(line_, 0, sizeof line_);
    std::memcpy(line_, text.data(), std::min(text.size(), kMaxCommandLine));
}

// ---- Formatting and the common command shape -------------------------------

bool ServerSession::CheckArgument(std::string_view keyword, std::size_t position, std::string_view text) {
    const std::size_t bad = text.find_first_of(std::string_view("\r\n\0", 3));
    if (bad == std::string_view::npos) return true;
    argument_problem_ = "argument " + std::to_string(position) + " of " + std::string(keyword) +
                        (text[bad] == '\0' ? " contains a NUL byte" : " contains a line break");
    return false;
}

std::optional<std::string> ServerSession::FormatCommand(std::string_view keyword, Args args) {
    argument_problem_.clear();
    std::size_t length = keyword.size() + 2;
    std::size_t position = 1;
    for (std::string_view arg : args) {
        if (!CheckArgument(keyword, position++, arg)) return std::nullopt;
        length += 1 + arg.size();
    }
    // Measured before building, so a huge argument costs no allocation.
    if (length > kMaxCommandLine) {
        argument_problem_ = std::string(keyword) + " command line longer than " +
                            std::to_string(kMaxCommandLine) + " bytes (" + std::to_string(length) + " bytes)";
        return std::nullopt;
    }
    std::string line;
    line.reserve(length);
    line.append(keyword);
    for (std::string_view arg : args) {
        line.push_back(' ');
        line.append(arg);
    }
    line.append("\r\n");
    return line;
}

Outcome ServerSession::SendAndRead(const std::string& line) {
    StoreLine(line);
    if (trace_) trace_->Sent(line);
    if (!io_.SendAll(line.data(), line.size())) {
        LoseConnection();
        return Outcome::lost;
    }
    return ReadLine() ? Outcome::ok : Outcome::lost;
}

Outcome ServerSession::Exchange(std::string_view keyword, Args args) {
    if (!connected_) return Outcome::lost;
    const std::optional<std::string> line = FormatCommand(keyword, args);
    if (!line) return Outcome::bad_argument;
    return SendAndRead(*line);
}

Outcome ServerSession::StatusRule() const noexcept {
    return IsRefusal(line_buffer()) ? Outcome::refused : Outcome::ok;
}

Outcome ServerSession::Command(std::string_view keyword, Args args) {
    const Outcome outcome = Exchange(keyword, args);
    return outcome == Outcome::ok ? StatusRule() : outcome;
}

Outcome ServerSession::ReadStatus() {
    if (!connected_) return Outcome::lost;
    return ReadLine() ? StatusRule() : Outcome::lost;
}

Outcome ServerSession::ValueCommand(std::string_view keyword, Args args, std::string& value,
                                    bool strip_line_end) {
    value.clear();
    const Outcome outcome = Command(keyword, args);
    if (outcome != Outcome::ok) return outcome;
    std::string_view text = ValueOf(line_buffer());
    if (strip_line_end) text.remove_suffix(std::min<std::size_t>(2, text.size()));
    value.assign(text);
    return Outcome::ok;
}

Outcome ServerSession::MultiLineCommand(std::string_view keyword, std::string& value) {
    value.clear();
    const Outcome outcome = Command(keyword, {});
    if (outcome != Outcome::ok) return outcome;
    // Every line up to the '.' line is read, even those beyond what is kept;
    // a lost connection leaves what was read so far in `value`.
    MultiLineValue reader;
    do {
        if (!ReadLine()) {
            value = reader.Take();
            return Outcome::lost;
        }
    } while (reader.Feed(line_buffer()) == ReadState::need_more);
    value = reader.Take();
    return Outcome::ok;
}

// ---- Login and session --------------------------------------------------------

Outcome ServerSession::LoginAs(std::string_view keyword, const char* user, const char* password) {
    if (!connected_) return Outcome::lost;
    // Both lines are checked before the first goes out.
    const std::optional<std::string> first = FormatCommand(keyword, {Arg(user)});
    if (!first) return Outcome::bad_argument;
    const std::optional<std::string> second = FormatCommand("PASS", {Arg(password)});
    if (!second) return Outcome::bad_argument;
    // The reply to the user name is not examined; the password's decides.
    Outcome outcome = SendAndRead(*first);
    if (outcome != Outcome::ok) return outcome;
    outcome = SendAndRead(*second);
    return outcome == Outcome::ok ? StatusRule() : outcome;
}

Outcome ServerSession::Login(const char* user, const char* password) {
    return LoginAs("USER", user, password);
}

Outcome ServerSession::SuLogin(const char* user, const char* password) {
    const Outcome outcome = LoginAs("SU", user, password);
    if (outcome == Outcome::ok) privileged_ = true;
    return outcome;
}

Outcome ServerSession::Quit() {
    return Command("QUIT", {});
}

Outcome ServerSession::Noop() {
    return Exchange("NOOP", {});
}

// ---- Table cursor -------------------------------------------------------------

Outcome ServerSession::Open(const char* table, const char* key) {
    return Command("OPEN", {Arg(table), Arg(key)});
}
Outcome ServerSession::CloseTable(const char* table) {
    return Command("CLOSE", {Arg(table)});
}
Outcome ServerSession::Next(const char* table) {
    return Command("NEXT", {Arg(table)});
}
Outcome ServerSession::Prev(const char* table) {
    return Command("PREV", {Arg(table)});
}
Outcome ServerSession::First(const char* table) {
    return Command("FIRST", {Arg(table)});
}
Outcome ServerSession::Last(const char* table) {
    return Command("LAST", {Arg(table)});
}
Outcome ServerSession::Delete(const char* table) {
    return Command("DELETE", {Arg(table)});
}
Outcome ServerSession::Get(const char* table) {
    return Command("GET", {Arg(table)});
}
Outcome ServerSession::Put(const char* table) {
    return Command("PUT", {Arg(table)});
}
Outcome ServerSession::Add(const char* table) {
    return Command("ADD", {Arg(table)});
}
Outcome ServerSession::FinishRecord() {
    return ReadStatus();
}

// ---- Files ----------------------------------------------------------------------

Outcome ServerSession::GetFile(const char* mailbox, const char* remote, std::optional<std::int32_t>& size) {
    size.reset();
    const Outcome outcome = Command("GETFILE", {Arg(mailbox), Arg(remote)});
    if (outcome == Outcome::ok) size = FileSizeOf(line_buffer());
    return outcome;
}

Outcome ServerSession::PutFile(const char* mailbox, const char* remote, std::int32_t size) {
    const std::string count = std::to_string(size);
    return Command("PUTFILE", {Arg(mailbox), Arg(remote), count});
}

Outcome ServerSession::FinishGetFile() {
    return ReadStatus();
}

Outcome ServerSession::FinishPutFile() {
    if (!connected_) return Outcome::lost;
    if (!ReadLine()) return Outcome::lost;
    return IsAcceptance(line_buffer()) ? Outcome::ok : Outcome::refused;
}

Outcome ServerSession::V2W(const char* mailbox, const char* remote) {
    return Command("V2W", {Arg(mailbox), Arg(remote)});
}
Outcome ServerSession::W2V(const char* mailbox, const char* remote) {
    return Command("W2V", {Arg(mailbox), Arg(remote)});
}
Outcome ServerSession::DelFile(const char* mailbox, const char* remote) {
    return Command("DELFILE", {Arg(mailbox), Arg(remote)});
}
Outcome ServerSession::RenFile(const char* mailbox, const char* source, const char* dest) {
    return Command("RENFILE", {Arg(mailbox), Arg(source), Arg(dest)});
}

// ---- Server facts -------------------------------------------------------------

Outcome ServerSession::Uptime(std::string& value) {
    return ValueCommand("UPTIME", {}, value, false);
}
Outcome ServerSession::VLoad(std::string& value) {
    return ValueCommand("VLOAD", {}, value, false);
}
Outcome ServerSession::VerType(std::string& value) {
    return ValueCommand("VERTYPE", {}, value, false);
}
Outcome ServerSession::Serial(std::string& value) {
    return MultiLineCommand("SERIAL", value);
}
Outcome ServerSession::Version(std::string& value) {
    return MultiLineCommand("VERSION", value);
}
Outcome ServerSession::GetAttr(const char* name, std::string& value) {
    return ValueCommand("GET_ATTR", {Arg(name)}, value, true);
}

// ---- Events, grammar, administration, fax ---------------------------------------

Outcome ServerSession::SendQ5Event(const char* msgid, const char* v1, const char* v2) {
    if (!connected_) return Outcome::lost;
    const std::optional<std::string> line = FormatCommand("SEND_Q5_EVENT", {Arg(msgid)});
    if (!line) return Outcome::bad_argument;

    // The event record "20;v1;v2 " with every '.' made a blank (a '.' ends a
    // record), then the closing '.'; no line end. Checked before anything
    // goes out, like the command line.
    const std::string_view first = Arg(v1);
    const std::string_view second = Arg(v2);
    if (!CheckArgument("the event record", 1, first) || !CheckArgument("the event record", 2, second)) {
        return Outcome::bad_argument;
    }
    const std::size_t length = 3 + first.size() + 1 + second.size() + 1 + 1;
    if (length > kMaxCommandLine) {
        argument_problem_ = "event record longer than " + std::to_string(kMaxCommandLine) + " bytes (" +
                            std::to_string(length) + " bytes)";
        return Outcome::bad_argument;
    }
    std::string record;
    record.reserve(length);
    record.append("20;").append(first).append(";").append(second).append(" ");
    std::replace(record.begin(), record.end(), '.', ' ');
    record.push_back('.');

    const Outcome outcome = SendAndRead(*line);
    if (outcome != Outcome::ok) return outcome;
    if (StatusRule() != Outcome::ok) return Outcome::refused;
    StoreLine(record);
    if (!io_.SendAll(record.data(), record.size())) {
        LoseConnection();
        return Outcome::lost;
    }
    return ReadLine() ? StatusRule() : Outcome::lost;
}

Outcome ServerSession::CmpGrammar(const char* infile, const char* outfile) {
    return Command("CMP_GRAMMAR", {Arg(infile), Arg(outfile)});
}

Outcome ServerSession::GenDassistBnf(const char* outfile, char department, char opmode, std::int32_t style) {
    const std::string number = std::to_string(style);
    return Command("GEN_DASSIST_BNF", {Arg(outfile), CharArg(department), CharArg(opmode), number});
}

Outcome ServerSession::MailboxDel(const char* mailbox) {
    return Command("MAILBOX DEL", {Arg(mailbox)});
}
Outcome ServerSession::MailboxAdd(const char* mailbox) {
    return Command("MAILBOX ADD", {Arg(mailbox)});
}
Outcome ServerSession::LightMwi(const char* mailbox, char mode) {
    return Command("LIGHT_MWI", {Arg(mailbox), CharArg(mode)});
}
Outcome ServerSession::ResetMwi() {
    return Command("RESET_MWI", {});
}
Outcome ServerSession::ChannelRing(std::int32_t channel) {
    return Command("CHANNEL_RING", {std::to_string(channel)});
}
Outcome ServerSession::ChannelHangup(std::int32_t channel) {
    return Command("CHANNEL_HANGUP", {std::to_string(channel)});
}
Outcome ServerSession::LoadConf(std::int32_t configuration) {
    return Command("LOADCONF", {std::to_string(configuration)});
}

Outcome ServerSession::SendFax(std::int32_t& job) {
    job = 0;
    const Outcome outcome = Command("SENDFAX", {});
    if (outcome == Outcome::ok) job = ToInt32(ParseDecimal(ValueOf(line_buffer())));
    return outcome;
}

Outcome ServerSession::GetFaxStatus(const char* mailbox, std::int32_t job, std::int32_t& status) {
    status = 0;
    const Outcome outcome = Command("GETFAXSTATUS", {Arg(mailbox), std::to_string(job)});
    if (outcome == Outcome::ok) status = ToInt32(ParseDecimal(ValueOf(line_buffer())));
    return outcome;
}

Outcome ServerSession::GetFaxAttr(const char* mailbox, std::int32_t job, const char* attr,
                                  std::string& value) {
    value.clear();
    const Outcome outcome = Command("GETFAXATTR", {Arg(mailbox), std::to_string(job), Arg(attr)});
    if (outcome == Outcome::ok) value.assign(Trim(ValueOf(line_buffer())));
    return outcome;
}

Outcome ServerSession::CancelFax(const char* mailbox, std::int32_t job) {
    return Command("CANCELFAX", {Arg(mailbox), std::to_string(job)});
}
Outcome ServerSession::RetryFax(const char* mailbox, std::int32_t job) {
    return Command("RETRYFAX", {Arg(mailbox), std::to_string(job)});
}

Outcome ServerSession::EnumFaxJobs(const char* mailbox, int* jobs, int& size) {
    const Outcome outcome = Exchange("ENUMFAXJOBS", {Arg(mailbox)});
    if (outcome != Outcome::ok) return outcome;
    // The reply is the first line of the list; every line is read up to the
    // closing status line.
    FaxJobList list(jobs, size);
    while (list.Feed(line_buffer()) == ReadState::need_more) {
        if (!ReadLine()) return Outcome::lost;
    }
    size = list.count();
    return list.refused() ? Outcome::refused : Outcome::ok;
}

// ---- Event streams --------------------------------------------------------------

Outcome ServerSession::EventStatus() {
    return Command("EVENT_STATUS", {});
}
Outcome ServerSession::EventQ5() {
    return Command("EVENT_Q5", {});
}

long ServerSession::ReadNumber() {
    std::string record;
    return ReadRecord(record) ? ParseDecimal(record) : 0;
}

bool ServerSession::ReadRecord(std::string& record) {
    record.clear();
    for (;;) {
        if (std::optional<std::string> taken = in_.TakeRecord(kMaxEventRecord)) {
            record = std::move(*taken);
            return true;
        }
        if (!ReadMore()) {
            // The part of the record that did arrive stays readable as the
            // line buffer's text.
            const std::string_view partial = in_.view().substr(0, kMaxReplyLine);
            std::memcpy(line_, partial.data(), partial.size());
            LoseConnection();
            return false;
        }
    }
}

// ---- Raw bytes ------------------------------------------------------------------

std::size_t ServerSession::ReadRaw(char* out, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        got += in_.TakeBytes(out + got, size - got);
        if (got == size) break;
        // Nothing is buffered now and every byte still wanted belongs to this
        // reader: a large rest is received straight into the caller's memory,
        // never more than was asked for, so whatever follows stays in the
        // socket for the next reader exactly as if it had passed through the
        // InBuffer. Only waiting for data goes through the buffer.
        if (size - got >= kDirectReadMin) {
            const long direct = io_.ReceiveNow(out + got, size - got);
            if (direct > 0) {
                got += static_cast<std::size_t>(direct);
                continue;
            }
            if (direct < 0) {
                LoseConnection();
                break;
            }
        }
        if (!ReadMore()) {
            LoseConnection();
            break;
        }
    }
    return got;
}

bool ServerSession::WriteRaw(const char* data, std::size_t size) {
    if (!connected_) return false;
    if (io_.SendAll(data, size)) return true;
    LoseConnection();
    return false;
}

}  // namespace q5::channel
