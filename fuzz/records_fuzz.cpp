// Fuzzes the record stream reader: the first byte picks a table and the
// transfer form, the rest is the stream. Whatever the bytes, reading must
// not crash, must keep every string within the limit, and a record that was
// read must come out of a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "records/record_set.h"
#include "records/record_stream.h"

namespace {

using q5::records::kMaxStringBytes;
using q5::records::MemorySource;
using q5::records::RecordReader;
using q5::records::RecordSet;
using q5::records::RecordWriter;
using q5::records::StreamError;
using q5::records::TableRecord;

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string Written(const TableRecord& record) {
    RecordWriter writer;
    Check(record.Serialize(writer));
    return writer.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t selector = data[0];
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view table = RecordSet::TableNames()[selector % RecordSet::kTableCount];
    const std::uint32_t privileged = (selector / RecordSet::kTableCount) % 2;

    RecordSet first;
    TableRecord* record = first.Find(table);
    Check(record != nullptr);
    record->SetPrivileged(privileged);
    const std::string before = Written(*record);

    MemorySource source(stream);
    RecordReader reader(source);
    if (record->Serialize(reader)) {
        Check(reader.error() == StreamError::none);
        // Write, read into a fresh set, write again: the same bytes.
        const std::string once = Written(*record);
        RecordSet second;
        TableRecord* copy = second.Find(table);
        copy->SetPrivileged(privileged);
        MemorySource again(once);
        RecordReader again_reader(again);
        Check(copy->Serialize(again_reader));
        Check(again.remaining() == 0);
        Check(Written(*copy) == once);
    } else {
        Check(reader.error() != StreamError::none);
        Check(Written(*record) == before);  // a failed read changes nothing
    }

    // Whatever follows, as plain strings.
    std::string text;
    while (reader.ReadString(text)) Check(text.size() <= kMaxStringBytes);
    Check(reader.error() != StreamError::none);
    return 0;
}
