#include "channel/endpoint.h"

#include <cctype>
#include <charconv>

namespace q5::channel {

namespace {

constexpr std::string_view kTlsScheme = "tls://";
constexpr std::string_view kPinKey = "sha256=";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A host name or dotted address: letters, digits, '-', '.', '_'.
bool ValidHost(std::string_view host) {
    if (host.empty()) return false;
    for (char c : host) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '_') return false;
    }
    return true;
}

}  // namespace

std::optional<Sha256> ParseFingerprint(std::string_view text) {
    Sha256 digest{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        if (i > 0 && at < text.size() && text[at] == ':') ++at;
        if (at + 2 > text.size()) return std::nullopt;
        const int high = HexValue(text[at]);
        const int low = HexValue(text[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
        at += 2;
    }
    if (at != text.size()) return std::nullopt;
    return digest;
}

std::string FormatFingerprint(const Sha256& digest) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(digest.size() * 3);
    for (std::uint8_t byte : digest) {
        if (!text.empty()) text.push_back(':');
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

std::optional<Endpoint> ParseEndpoint(std::string_view text, int default_port, std::string& problem) {
    problem.clear();
    Endpoint endpoint;
    endpoint.port = default_port;
    if (!StartsWithNoCase(text, kTlsScheme)) {
        // A plain host goes to the resolver exactly as given.
        endpoint.host.assign(text);
        return endpoint;
    }
    endpoint.tls = true;
    text.remove_prefix(kTlsScheme.size());

    const std::size_t hash = text.find('#');
    if (hash != std::string_view::npos) {
        const std::string_view fragment = text.substr(hash + 1);
        text = text.substr(0, hash);
        if (!StartsWithNoCase(fragment, kPinKey)) {
            problem = "unknown host option \"#" + std::string(fragment) + "\" (only #sha256= is known)";
            return std::nullopt;
        }
        endpoint.pin = ParseFingerprint(fragment.substr(kPinKey.size()));
        if (!endpoint.pin) {
            problem = "the sha256 fingerprint must be 64 hex digits (colons between pairs allowed)";
            return std::nullopt;
        }
    }

    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view digits = text.substr(colon + 1);
        int port = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || port < 1 ||
            port > 65535) {
            problem = "the port must be a number from 1 to 65535";
            return std::nullopt;
        }
        endpoint.port = port;
        text = text.substr(0, colon);
    }
    if (!ValidHost(text)) {
        problem = text.empty() ? "the host name is missing"
                               : "the host name \"" + std::string(text) + "\" is not valid";
        return std::nullopt;
    }
    endpoint.host.assign(text);
    return endpoint;
}

}  // namespace q5::channel
