// The fault sweep: one known exchange with the library, played again and
// again against a FaultPeer, with a cut, a stall and each hostile byte at
// every offset of the server's bytes. Each case runs through the public
// interfaces of a CoQ5Client and a CoEvents made by CoCreateInstance; one
// pair of objects serves every case of a family, so every case also proves
// that the object works again after the one before.
//
// After every case the sweep checks what the peer saw: no deviation from the
// exchange before the fault, the connection let go, and after a cut or stall
// nothing sent beyond what was due before the fault. Around a family it
// checks that no descriptor was left open, and it reports how many offsets
// and cases it tried.
//
// Thread rule: the test's thread only.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fault_peer.h"
#include "services_fixture.h"

namespace q5test {

inline constexpr const char* kFaultGreeting = "+OK 47 Q5Server ready\r\n";

// The bytes put in place of one byte of a reply: a refusal and a success
// sign, a NUL, a byte of no text, the event record end and a line end.
inline constexpr std::array<char, 6> kHostileBytes = {'-', '+', '\0', '\xFF', '.', '\n'};

// How long one case may take before it counts as hung. The waits of the
// process are shortened (see fault_main.cpp), so a case takes milliseconds.
inline constexpr std::chrono::seconds kHangGuard{10};

// Every session and log connects with timeout 0: a plain blocking connect,
// as the desktop program's session does. A time limit of T seconds would
// give the handshake only T + 1 of the shortened steps, which a busy machine
// can overrun; the read timeout is 30 steps either way.
inline constexpr LONG kConnectTimeout = 0;

// What a call reports when byte `at` of a reply line of `length` bytes is
// replaced by `value` and the client reads that line as its answer: the
// line end replaced leaves the client waiting for a line that never ends
// (lost); a '-' at the start is a refusal when `status_rule` applies.
enum class Verdict { ok, refused, lost };
Verdict LineVerdict(std::size_t at, std::size_t length, char value, bool status_rule = true);
HRESULT CodeOf(Verdict verdict);

struct SweepFigures {
    std::size_t offsets = 0;
    std::size_t cases = 0;
};
// Totals over every family of the process (printed at its end).
SweepFigures& TotalFigures();

class FaultSweep : public RegisteredLibrary {
protected:
    void SetUp() override;
    void TearDown() override;

    // Plays `exchange` without a fault, then every fault at every offset in
    // [first, server size), then once more without a fault. `one_case`
    // makes the calls of one case and checks their results; the sweep closes
    // the session and ends both logs after it.
    void Sweep(const std::string& family, const Exchange& exchange, std::size_t first,
               const std::function<void(const Fault&)>& one_case);

    // From now on the peer serves TLS with a certificate made for the test,
    // Connect pins it, and Sweep plays only the no-fault cases and `family`.
    void UseTls(FaultKind family);
    // The session's host: "127.0.0.1", or with TLS on its pinned tls:// form.
    std::string Host() const;
    HRESULT Connect();
    // Ends both event logs; each End must return promptly.
    void EndLogs();
    std::string LocalFile(const std::string& name) const;
    // The error record of the last failing call; empty when none was left.
    std::u16string TakeMessage();

    FaultPeer peer_;
    ComPtr<IQ5Connect> connect_;
    ComPtr<IQ5Util> util_;
    ComPtr<IQ5Admin> admin_;
    ComPtr<IQ5FaxServer> fax_;
    ComPtr<IQ5Table> table_;
    ComPtr<ICoEvents> events_;
    std::string folder_;
    bool tls_ = false;
    FaultKind tls_family_ = FaultKind::none;
    std::string tls_pin_;
};

// The reply lines in `bytes` as the client reads them: each up to and
// including its line feed. A last piece without a line feed goes to `rest`.
std::vector<std::string> Lines(std::string_view bytes, std::string* rest = nullptr);
// Text as a C string holds it: cut at its first NUL.
std::string UpToNul(std::string_view text);
// The decimal number at the start of a reply line (white space skipped, a
// sign allowed); 0 when there is none.
long LeadingNumber(std::string_view text);

// Open descriptors of this process.
std::size_t OpenDescriptors();
std::u16string U16(const std::string& text);

}  // namespace q5test
