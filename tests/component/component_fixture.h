#pragma once

#include <gtest/gtest.h>

#include <string>

#include "q5client/q5client.h"

namespace q5test {

// Gives each test a registry file of its own with the library registered in
// it, so CoCreateInstance finds the freshly built library.
class RegisteredLibrary : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string registry_path_;
};

// Runs a command line and returns its standard output; exit status in *status.
std::string RunCommand(const std::string& command, int* status);

// The thread's current error record as (description, source); takes it.
struct ErrorRecord {
    bool present = false;
    std::u16string description;
    std::u16string source;
    GUID guid{};
};
ErrorRecord TakeErrorRecord();

// UTF-16 literal helpers.
BStr B(const char16_t* text);

}  // namespace q5test
