#include "records/record_transfer.h"

#include <string_view>

namespace q5::records {

using channel::Outcome;
using channel::ServerSession;

namespace {

TransferResult Result(TransferStatus status, std::string problem = {}) {
    return TransferResult{status, std::move(problem)};
}

TransferResult FromOutcome(Outcome outcome) {
    switch (outcome) {
        case Outcome::ok:
            return Result(TransferStatus::ok);
        case Outcome::refused:
            return Result(TransferStatus::refused);
        case Outcome::bad_argument:
            return Result(TransferStatus::bad_argument);
        case Outcome::lost:
            break;
    }
    return Result(TransferStatus::lost);
}

std::string Quoted(std::string_view table) {
    return "\"" + std::string(table) + "\"";
}

// The server is about to send or expects a record that this side cannot
// read or write: the connection is out of step, so it is given up.
TransferResult NoRecord(ServerSession& session, std::string_view command) {
    std::string problem = "The server accepted " + std::string(command) + " for table " +
                          Quoted(session.table_name()) +
                          ", which has no record here; the connection was closed as it is out of step";
    session.Close();
    return Result(TransferStatus::no_record, std::move(problem));
}

TransferResult ReadFailed(ServerSession& session, StreamError error) {
    std::string problem;
    if (error == StreamError::malformed) {
        problem = "Connection closed: the record of table " + Quoted(session.table_name()) +
                  " holds a malformed string length";
    } else {
        problem = "Connection lost: the record of table " + Quoted(session.table_name()) +
                  " ended, stalled or broke off before it was complete";
    }
    session.Close();  // a short read has closed it already; a malformed length has not
    return Result(TransferStatus::broken, std::move(problem));
}

}  // namespace

TransferResult FetchRecord(ServerSession& session, RecordSet& records) {
    const std::string table = session.table_name();
    const Outcome outcome = session.Get(table.c_str());
    if (outcome != Outcome::ok) return FromOutcome(outcome);

    TableRecord* record = records.Find(table);
    if (!record) return NoRecord(session, "GET");
    record->SetPrivileged(session.privileged() ? 1 : 0);
    SessionSource source(session);
    RecordReader reader(source);
    if (!record->Serialize(reader)) return ReadFailed(session, reader.error());
    return Result(TransferStatus::ok);
}

TransferResult SendRecord(ServerSession& session, RecordSet& records, SendCommand command) {
    const std::string table = session.table_name();
    const std::string_view keyword = command == SendCommand::put ? "PUT" : "ADD";

    // Encoded before the command goes out, so a value the stream cannot
    // carry is refused while the connection is still in step.
    TableRecord* record = records.Find(table);
    RecordWriter writer;
    if (record) {
        record->SetPrivileged(session.privileged() ? 1 : 0);
        if (!record->Serialize(writer)) {
            return Result(TransferStatus::too_long, "A field of table " + Quoted(table) + " is longer than " +
                                                        std::to_string(kMaxStringBytes) +
                                                        " bytes; nothing was sent");
        }
    }

    const Outcome outcome =
        command == SendCommand::put ? session.Put(table.c_str()) : session.Add(table.c_str());
    if (outcome != Outcome::ok) return FromOutcome(outcome);
    if (!record) return NoRecord(session, keyword);

    const std::string& bytes = writer.bytes();
    if (!bytes.empty() && !session.WriteRaw(bytes.data(), bytes.size())) {
        session.Close();
        return Result(TransferStatus::broken,
                      "Connection lost while sending the record of table " + Quoted(table));
    }
    return FromOutcome(session.FinishRecord());
}

}  // namespace q5::records
