// Parsing of the records of the two event streams.
//
// Status stream: "channel;mode;box;status." -- fields split at ';' and '.',
// a run of separators counting as one (so an empty field disappears and
// shifts the fields after it).
//
// Q5 stream: "number;data1;data2;data3." -- runs of ';' before the number
// and between the first three fields count as one separator; data3 begins
// right after the single ';' that ends data2 and runs up to the next '.', so
// it may itself contain ';'.
//
// Bytes between records (line breaks) belong to the next record's first
// field; numbers skip leading white space.
//
// Thread rule: stateless; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace q5::component {

struct StatusRecord {
    std::int32_t channel = 0;  // as the stream counts, from 1
    std::string_view mode, box, status;
};

struct Q5Record {
    std::int32_t id = 0;
    std::string_view data1, data2, data3;
};

// Nullopt when the record has fewer than four fields. The views point into
// `record`.
std::optional<StatusRecord> ParseStatusRecord(std::string_view record);
std::optional<Q5Record> ParseQ5Record(std::string_view record);

}  // namespace q5::component
