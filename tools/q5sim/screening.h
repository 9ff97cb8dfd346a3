// Starting a call the way the telephony side would: when the mailbox screens
// callers visually (SCREEN "V"), the caller's name is recorded into the
// mailbox folder as "VS" + the call's name number before the call is
// announced, so a client that reacts to the new-call event finds it.
//
// Thread rule: the store belongs to the calling thread; the call center is
// shared.
#pragma once

#include <optional>
#include <string>

#include "calls.h"
#include "store.h"

namespace q5sim {

// The call's key, or nullopt when every channel is busy.
std::optional<std::string> StartScreenedCall(Store& store, CallCenter& calls, const std::string& box,
                                             const std::string& number, const std::string& name);

}  // namespace q5sim
