// Error reporting of the component layer: one function makes a message the
// calling thread's error record; the code rule turns a session's state into
// a result code.
//
// Thread rule: the error record belongs to the calling thread.
#pragma once

#include <string>
#include <string_view>

#include "channel/server_session.h"
#include "q5client/q5client.h"

namespace q5::component {

inline constexpr std::u16string_view kSourceCoQ5Client = u"Q5Client.CoQ5Client.1";
inline constexpr std::u16string_view kSourceCoEvents = u"Q5Client.CoEvents.1";

// Sets the calling thread's error record: the message as description, the
// raising class as source, the null interface identity. Returns `code`
// unchanged so callers can write `return Raise(...)`.
HRESULT Raise(HRESULT code, std::u16string_view source, std::u16string_view message) noexcept;
// The same with 8-bit text from the wire (converted from the code page).
HRESULT RaiseWire(HRESULT code, std::u16string_view source, std::string_view message) noexcept;

// E_FAIL while the session is still connected, E_CONNECTION_LOST once it is not.
inline HRESULT CodeRule(const channel::ServerSession& session) noexcept {
    return session.connected() ? E_FAIL : E_CONNECTION_LOST;
}

// The result of a session command that failed with `message`: an argument
// refused before sending is E_INVALIDARG with the reason; anything else
// follows the code rule with the operation's own message.
HRESULT FailCommand(const channel::ServerSession& session, channel::Outcome outcome,
                    std::u16string_view source, std::u16string_view message) noexcept;

// A failed Connect: `message` alone, or, when the session knows why (a bad
// host string, a TLS handshake or certificate refusal), "message: why".
HRESULT RaiseConnectFailed(HRESULT code, std::u16string_view source, std::u16string_view message,
                           const channel::ServerSession& session) noexcept;

}  // namespace q5::component
