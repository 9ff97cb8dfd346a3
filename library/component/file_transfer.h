// File transfers between a local file and a mailbox's storage on the server
// (GETFILE, PUTFILE), with progress reports to an optional sink.
//
// Progress: the bytes of a transfer count in chunks of kProgressChunk. Before
// any byte past a chunk boundary moves, the sink hears (bytes moved so far,
// total); there is no report before the first chunk and none once everything
// has moved (the caller sees completion as the call's return). A 10,000-byte
// file therefore reports (4095, 10000) and (8190, 10000). The I/O underneath
// moves much larger blocks; with a sink it only stops at each boundary.
//
// Thread rule: runs on the caller's thread, on a session that thread owns;
// the sink is called on that thread and holds a reference for the transfer.
#pragma once

#include <cstddef>
#include <string>

#include "channel/server_session.h"
#include "q5client/q5client.h"

namespace q5::component {

enum class Transfer {
    done,         // the file moved and the server confirmed it
    not_started,  // not connected, local file not opened, refused at the start,
                  // or a download agreed with an unusable size (session closed)
    broken,       // the connection or the local file failed midway; session closed
    bad_argument  // the command line could not be formed; nothing sent or touched
};

inline constexpr std::size_t kProgressChunk = 4095;

// Downloads `remote` of `mailbox` into `local_path`. The local file is
// created or truncated only once the server has agreed with a usable size;
// a download that never starts leaves it as it was (and makes none). A
// positive first reply whose size is missing, negative or not a number
// closes the session, since the file's bytes may follow it.
Transfer Download(channel::ServerSession& session, const char* mailbox, const char* remote,
                  const std::string& local_path, ISupportEvents* sink);

// Uploads the file at `local_path` as `remote` of `mailbox`.
Transfer Upload(channel::ServerSession& session, const char* mailbox, const char* remote,
                const std::string& local_path, ISupportEvents* sink);

// A local file name for the operating system (UTF-8); unpaired surrogates
// become U+FFFD.
std::string LocalPath(BSTR name);

}  // namespace q5::component
