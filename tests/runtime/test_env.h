// Shared fixture and helpers of the runtime tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace q5test {

// Gives every test its own registry file in a fresh directory, named by
// Q5COM_REGISTRY, and its own empty system configuration folder, named by
// XDG_CONFIG_DIRS, and removes the directory afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& Dir() const { return dir_; }
    const std::string& RegistryPath() const { return registry_; }
    // The system registry the runtime reads and `q5regsvr --system` writes.
    std::string SystemRegistryPath() const { return (dir_ / "xdg" / "q5com" / "registry").string(); }

    // The registry file's lines, without line ends; empty if there is no file.
    std::vector<std::string> FileLines() const;
    void WriteFile(const std::string& text) const;

private:
    std::filesystem::path dir_;
    std::string registry_;
};

// Reads the value or returns "<missing>" (S_FALSE) or "<error 0x...>".
std::string GetValue(const char* key, const char* name);

struct ProcessResult {
    int exitCode = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs program with args, in the current environment, capturing its output.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace q5test
