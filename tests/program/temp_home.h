// A temp folder per test that stands in for the user's home: config, data
// and runtime folders (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR), the
// administrator's configuration folder (XDG_CONFIG_DIRS: <root>/system) and
// the registry of classes (Q5COM_REGISTRY) point into it while it lives;
// Q5CLIENT_LIBRARY names the library under test.
#pragma once

#include <string>

namespace q5test {

void UseTempHome(const std::string& root);

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace q5test
