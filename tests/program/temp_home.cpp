#include "temp_home.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

namespace q5test {

void UseTempHome(const std::string& root) {
    for (const char* sub : {"config", "data", "runtime", "system"}) {
        std::filesystem::create_directories(root + "/" + sub);
    }
    chmod((root + "/runtime").c_str(), 0700);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    // The administrator's folder: empty unless a test puts defaults there.
    setenv("XDG_CONFIG_DIRS", (root + "/system").c_str(), 1);
    setenv("Q5COM_REGISTRY", (root + "/registry").c_str(), 1);
    setenv("Q5CLIENT_LIBRARY", Q5CLIENT_LIBRARY, 1);
    unsetenv("Q5CLIENT_HOME");
}

TempHome::TempHome() {
    char dir_template[] = "/tmp/q5program-test-XXXXXX";
    if (mkdtemp(dir_template)) path_ = dir_template;
    UseTempHome(path_);
}

TempHome::~TempHome() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace q5test
