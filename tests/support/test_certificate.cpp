#include "test_certificate.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

namespace q5test {

namespace {

// Runs `command` through the shell and returns its standard output; `ok`
// tells whether it ended with status 0.
std::string Run(const std::string& command, bool& ok) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ok = false;
        return out;
    }
    char chunk[256];
    while (fgets(chunk, sizeof chunk, pipe) != nullptr) out += chunk;
    const int status = pclose(pipe);
    ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return out;
}

}  // namespace

TestCertificate MakeTestCertificate(const std::string& dir, const std::string& name,
                                    const std::string& common_name, const std::string& alt_names) {
    TestCertificate made;
    made.cert_file = dir + "/" + name + ".pem";
    made.key_file = dir + "/" + name + ".key";
    bool ok = false;
    const std::string log =
        Run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30"
            " -subj '/CN=" +
                common_name + "' -addext 'subjectAltName=" + alt_names + "' -keyout '" + made.key_file +
                "' -out '" + made.cert_file + "' 2>&1",
            ok);
    if (!ok) {
        made.error = "openssl req failed: " + log;
        return made;
    }
    const std::string line = Run("openssl x509 -noout -fingerprint -sha256 -in '" + made.cert_file + "'", ok);
    const std::size_t equals = line.find('=');
    if (!ok || equals == std::string::npos) {
        made.error = "openssl x509 failed: " + line;
        return made;
    }
    made.fingerprint = line.substr(equals + 1);
    while (!made.fingerprint.empty() && (made.fingerprint.back() == '\n' || made.fingerprint.back() == '\r'))
        made.fingerprint.pop_back();
    return made;
}

}  // namespace q5test
