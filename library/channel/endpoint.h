// Endpoint: what a host string names. A plain host ("server", "10.0.0.5")
// is taken as it is, with the port the caller gives, exactly as always. A
// host written "tls://host[:port][#sha256=HEX]" is reached through TLS: the
// port in the string, when there is one, takes the place of the caller's;
// the fingerprint, when there is one, pins the server's certificate (its
// SHA-256 digest over the DER form, 64 hex digits, either case, colons
// between the bytes allowed) in place of the usual chain and name checks.
//
// Thread rule: pure functions; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q5::channel {

using Sha256 = std::array<std::uint8_t, 32>;

struct Endpoint {
    std::string host;
    int port = 0;
    bool tls = false;
    std::optional<Sha256> pin;  // tls only
};

// The endpoint a host string names, or nullopt with `problem` saying what
// is wrong with it ("port is not a number" and so on).
std::optional<Endpoint> ParseEndpoint(std::string_view text, int default_port, std::string& problem);

// "AB:01:..." (upper case, colon-separated): how fingerprints are shown.
std::string FormatFingerprint(const Sha256& digest);
// Accepts 64 hex digits of either case, with or without a colon between
// each pair; nullopt otherwise.
std::optional<Sha256> ParseFingerprint(std::string_view text);

}  // namespace q5::channel
