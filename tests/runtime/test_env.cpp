#include "test_env.h"

#include <q5client/com.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace q5test {
namespace {

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

void RegistryTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "q5com-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    registry_ = (dir_ / "registry").string();
    ASSERT_EQ(::setenv("Q5COM_REGISTRY", registry_.c_str(), 1), 0);
    ASSERT_EQ(::setenv("XDG_CONFIG_DIRS", (dir_ / "xdg").c_str(), 1), 0);
}

void RegistryTest::TearDown() {
    ::unsetenv("Q5COM_REGISTRY");
    ::unsetenv("XDG_CONFIG_DIRS");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::vector<std::string> RegistryTest::FileLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWhole(registry_));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void RegistryTest::WriteFile(const std::string& text) const {
    std::ofstream out(registry_, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string GetValue(const char* key, const char* name) {
    char buffer[4096];
    const HRESULT hr = Q5RegGetValue(key, name, buffer, sizeof buffer);
    if (hr == S_OK) return buffer;
    if (hr == S_FALSE) return "<missing>";
    char text[32];
    std::snprintf(text, sizeof text, "<error 0x%08X>", static_cast<unsigned>(hr));
    return text;
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProcessResult result;
    const std::string temp = std::filesystem::temp_directory_path().string();
    std::string outPath = temp + "/q5com-test-out-XXXXXX";
    std::string errPath = temp + "/q5com-test-err-XXXXXX";
    const int outFd = ::mkstemp(outPath.data());
    const int errFd = ::mkstemp(errPath.data());
    if (outFd < 0 || errFd < 0) {
        ADD_FAILURE() << "cannot create capture files";
        return result;
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(outFd);
    ::close(errFd);

    if (spawned == 0) {
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    } else {
        ADD_FAILURE() << "cannot start " << program;
    }
    result.out = ReadWhole(outPath);
    result.err = ReadWhole(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

}  // namespace q5test
