#include "channel/endpoint.h"

#include <gtest/gtest.h>

namespace q5::channel {
namespace {

constexpr const char* kPinUpper =
    "0F:2A:91:30:9E:74:B6:CE:70:08:60:F3:6D:90:FA:B2:08:59:66:FB:9D:4A:7C:77:3D:BE:4E:63:B1:E8:A2:CD";
constexpr const char* kPinLower = "0f2a91309e74b6ce700860f36d90fab2085966fb9d4a7c773dbe4e63b1e8a2cd";

TEST(Endpoint, HostStringsParseOrSayWhatIsWrong) {
    struct Case {
        std::string text;
        bool ok;
        std::string host;
        int port;
        bool tls;
        bool pinned;
        std::string problem;
    } cases[] = {
        // Plain hosts go to the resolver untouched, whatever they hold.
        {"server", true, "server", 1008, false, false, ""},
        {"10.0.0.5:99", true, "10.0.0.5:99", 1008, false, false, ""},
        {"", true, "", 1008, false, false, ""},
        {"tls://server", true, "server", 1008, true, false, ""},
        {"TLS://server:1009", true, "server", 1009, true, false, ""},
        {std::string("tls://10.0.0.5:1009#sha256=") + kPinUpper, true, "10.0.0.5", 1009, true, true, ""},
        {std::string("tls://server#SHA256=") + kPinLower, true, "server", 1008, true, true, ""},
        {"tls://", false, "", 0, false, false, "the host name is missing"},
        {"tls://:1009", false, "", 0, false, false, "the host name is missing"},
        {"tls://server:", false, "", 0, false, false, "the port must be a number from 1 to 65535"},
        {"tls://server:0", false, "", 0, false, false, "the port must be a number from 1 to 65535"},
        {"tls://server:65536", false, "", 0, false, false, "the port must be a number from 1 to 65535"},
        {"tls://server:10x", false, "", 0, false, false, "the port must be a number from 1 to 65535"},
        {"tls://a:1:2", false, "", 0, false, false, "the port must be a number from 1 to 65535"},
        {"tls://ser ver", false, "", 0, false, false, "the host name \"ser ver\" is not valid"},
        {"tls://server#md5=00", false, "", 0, false, false,
         "unknown host option \"#md5=00\" (only #sha256= is known)"},
        {"tls://server#sha256=", false, "", 0, false, false,
         "the sha256 fingerprint must be 64 hex digits (colons between pairs allowed)"},
        {std::string("tls://server#sha256=") + kPinLower + "00", false, "", 0, false, false,
         "the sha256 fingerprint must be 64 hex digits (colons between pairs allowed)"},
        {std::string("tls://server#sha256=") + std::string(kPinLower).substr(2), false, "", 0, false, false,
         "the sha256 fingerprint must be 64 hex digits (colons between pairs allowed)"},
        {"tls://server#sha256=" + std::string(63, '0') + "g", false, "", 0, false, false,
         "the sha256 fingerprint must be 64 hex digits (colons between pairs allowed)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string problem = "left over";
        const std::optional<Endpoint> endpoint = ParseEndpoint(c.text, 1008, problem);
        ASSERT_EQ(endpoint.has_value(), c.ok);
        EXPECT_EQ(problem, c.problem);
        if (!endpoint) continue;
        EXPECT_EQ(endpoint->host, c.host);
        EXPECT_EQ(endpoint->port, c.port);
        EXPECT_EQ(endpoint->tls, c.tls);
        ASSERT_EQ(endpoint->pin.has_value(), c.pinned);
        if (c.pinned) {
            EXPECT_EQ(FormatFingerprint(*endpoint->pin), kPinUpper);
        }
    }
}

}  // namespace
}  // namespace q5::channel
