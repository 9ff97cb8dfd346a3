#include "component_fixture.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace q5test {

void RegisteredLibrary::SetUp() {
    char dir_template[] = "/tmp/q5client-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    registry_path_ = std::string(dir_template) + "/registry";
    setenv("Q5COM_REGISTRY", registry_path_.c_str(), 1);
    // No system registry: the machine's must not stand in for the test's.
    setenv("XDG_CONFIG_DIRS", (std::string(dir_template) + "/system").c_str(), 1);
    int status = -1;
    RunCommand(std::string(Q5REGSVR_TOOL) + " " + Q5CLIENT_LIBRARY, &status);
    ASSERT_EQ(status, 0) << "registration of the library failed";
}

void RegisteredLibrary::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(registry_path_).parent_path(), ignored);
    unsetenv("Q5COM_REGISTRY");
    unsetenv("XDG_CONFIG_DIRS");
}

std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *status = -1;
        return out;
    }
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
    int rc = pclose(pipe);
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

ErrorRecord TakeErrorRecord() {
    ErrorRecord record;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return record;
    record.present = true;
    BStr description, source;
    info->GetDescription(description.ReleaseAndGetAddressOf());
    info->GetSource(source.ReleaseAndGetAddressOf());
    info->GetGUID(&record.guid);
    record.description = std::u16string(description.View());
    record.source = std::u16string(source.View());
    info->Release();
    return record;
}

BStr B(const char16_t* text) {
    return BStr(text);
}

}  // namespace q5test
