// Moving one record between the server and the session's record objects:
// GET (fetch the current row), PUT (update it) and ADD (insert the local copy
// as a new row).
//
// The record object is looked up by the session's table name when the server
// has accepted the command, and told the session's privileged flag before the
// record stream is read or written. Every failure after an accepted command
// leaves the connection out of step with the server, so the session is
// closed; problem() then says what happened. The record's bytes are taken
// from the session's input buffer, so a record that arrives in one packet
// with its reply line, or with the next reply, is read exactly and nothing
// behind it is lost. A transfer that stalls gives up after the session's read
// timeout.
//
// Thread rule: the thread that uses the session.
#pragma once

#include <cstddef>
#include <string>

#include "channel/server_session.h"
#include "records/record_set.h"
#include "records/record_stream.h"

namespace q5::records {

enum class TransferStatus {
    ok,
    refused,       // a reply started with '-'; the session stays connected
    lost,          // not connected, or a reply line could not be read
    bad_argument,  // the table name cannot go on a command line; nothing sent
    no_record,     // the server accepted, but the table name has no record object
    broken,        // the record stream failed: closed, stalled, ended early, malformed
    too_long       // a value is too long for the record stream; nothing sent
};

struct TransferResult {
    TransferStatus status = TransferStatus::ok;
    // For no_record, broken and too_long: what went wrong (8-bit text).
    std::string problem;

    bool ok() const noexcept { return status == TransferStatus::ok; }
};

// Reads from the session's connection through its input buffer.
class SessionSource final : public ByteSource {
public:
    explicit SessionSource(channel::ServerSession& session) noexcept : session_(session) {}
    std::size_t Read(char* out, std::size_t size) override { return session_.ReadRaw(out, size); }

private:
    channel::ServerSession& session_;
};

// GET: on an accepted reply, reads the record of the current table. A failed
// fetch leaves the record's fields as they were.
TransferResult FetchRecord(channel::ServerSession& session, RecordSet& records);

enum class SendCommand { put, add };

// PUT or ADD: on an accepted reply, writes the record of the current table in
// one piece, then reads the closing reply (status rule). A refused command
// sends no record bytes.
TransferResult SendRecord(channel::ServerSession& session, RecordSet& records, SendCommand command);

}  // namespace q5::records
