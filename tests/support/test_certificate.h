// Self-signed certificates for the TLS tests, made with the openssl command
// line tool: an EC P-256 key and a certificate valid for 30 days whose
// subject alternative names are given (for example "DNS:localhost,IP:127.0.0.1").
// The certificate is its own CA, so a test can trust it through
// Q5CLIENT_TLS_CA or pin its fingerprint.
//
// Thread rule: stateless; any thread.
#pragma once

#include <string>

namespace q5test {

struct TestCertificate {
    std::string cert_file;
    std::string key_file;
    std::string fingerprint;  // SHA-256, "AB:CD:..." as openssl prints it
    std::string error;        // empty when the files were made
};

// Writes `dir`/`name`.pem and `dir`/`name`.key.
TestCertificate MakeTestCertificate(const std::string& dir, const std::string& name,
                                    const std::string& common_name, const std::string& alt_names);

}  // namespace q5test
