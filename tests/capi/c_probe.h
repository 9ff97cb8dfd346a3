// A C caller of the library (c_probe.c, compiled as strict C11 through
// q5client_c.h) that the layout test drives from C++. Plain types only, so
// the C++ side can include this next to q5client.h.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct q5c_probe {
    int32_t create;              // CoCreateInstance for IQ5Connect
    int32_t wrong_login;         // Login with a wrong password
    char wrong_login_text[128];  // its error record's description, UTF-8
    int32_t login;               // Login with the right password
    int32_t set_table;           // IQ5Table::SetTable("BOX"), the last slot
    int32_t get_record;          // IQ5Table::GetRecord
    char field[128];             // IQ5Table::get_GetField(FIELD), UTF-8
    int32_t is_eof;              // IQ5Table::get_IsEof
    int32_t dll_version;         // IQ5Util::GetVersion, its first value
    int32_t enum_null;           // IQ5FaxServer::EnumFaxJobs with null pointers
    int32_t events_create;       // CoCreateInstance for ICoEvents
    int32_t event_null;          // ICoEvents::GetQ5Event with a null id
    int32_t event_poll;          // ICoEvents::GetQ5Event on an idle object
    int32_t event_id;            // its event number
    int32_t supports_fax;        // ISupportErrorInfo::InterfaceSupportsErrorInfo(IQ5FaxServer)
    int32_t cancel_idle;         // IQ5CallCancel::Cancel with no call in progress
    int32_t test_cancel_idle;    // IQ5CallCancel::TestCancel likewise
    int32_t light_mwi_empty;     // IQ5Admin::LightMWI with an empty mode
    int32_t put_file;            // IQ5Util::PutFile2 of local_file with a sink written in C
    int32_t progress_calls;      // ISupportEvents::GetProgress calls the library made on it
    int32_t progress_bytes;      // the last call's bytes and total
    int32_t progress_total;
    int32_t sink_refs;  // the sink's reference count after the transfer
};

// Runs the calls above against the server at 127.0.0.1:port as mailbox
// `user`; every call goes through the C vtables. `local_file` is uploaded
// to the mailbox as "probe.bin".
void q5c_run_probe(int port, const char* user, const char* password, const char* field,
                   const char* local_file, struct q5c_probe* out);

#ifdef __cplusplus
}
#endif
