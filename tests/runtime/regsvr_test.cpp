// The q5regsvr tool against the test component.
#include <q5client/com.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_component.h"
#include "test_env.h"

namespace q5test {
namespace {

class RegsvrTest : public RegistryTest {
protected:
    // What --dump prints for the given entries of the two registries.
    std::string Dumped(const std::string& user, const std::string& system = "") const {
        return "# user registry: " + RegistryPath() + "\n" + user +
               "# system registry: " + SystemRegistryPath() + "\n" + system;
    }
};

ProcessResult Regsvr(const std::vector<std::string>& args) {
    return RunProgram(Q5_REGSVR_PATH, args);
}

// The entries the test component registers, as --dump prints them.
std::string AdderEntries() {
    const std::string clsidKey = std::string("CLSID\\") + kAdderClsidText;
    const std::string path = std::filesystem::absolute(Q5_TEST_COMPONENT_PATH).lexically_normal().string();
    return "CLSID\n" + clsidKey + "\t\tRuntime Test Adder\n" + clsidKey + "\\InprocServer32\t\t" + path +
           "\n" + clsidKey + "\\InprocServer32\tThreadingModel\tApartment\n" + clsidKey +
           "\\ProgID\t\tQ5Test.Adder.1\n"
           "Q5Test.Adder\t\tRuntime Test Adder\n"
           "Q5Test.Adder\\CLSID\t\t" +
           kAdderClsidText +
           "\n"
           "Q5Test.Adder\\CurVer\t\tQ5Test.Adder.1\n"
           "Q5Test.Adder.1\n"
           "Q5Test.Adder.1\\CLSID\t\t" +
           kAdderClsidText + "\n";
}

TEST_F(RegsvrTest, RegisterCreateUnregisterRoundTrip) {
    const ProcessResult reg = Regsvr({Q5_TEST_COMPONENT_PATH});
    ASSERT_EQ(reg.exitCode, 0) << reg.err;
    EXPECT_NE(reg.out.find("DllRegisterServer"), std::string::npos);

    const ProcessResult dump = Regsvr({"--dump"});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(dump.out, Dumped(AdderEntries()));

    // What the tool registered is enough to create the class by name.
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"Q5Test.Adder.1", &clsid), S_OK);
    ComPtr<IAdder> adder;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IAdder, adder.AsOut()), S_OK);
    adder.Reset();

    const ProcessResult unreg = Regsvr({"-u", Q5_TEST_COMPONENT_PATH});
    ASSERT_EQ(unreg.exitCode, 0) << unreg.err;
    EXPECT_NE(unreg.out.find("DllUnregisterServer"), std::string::npos);
    EXPECT_EQ(Regsvr({"--dump"}).out, Dumped("CLSID\n")) << "the shared CLSID key stays";
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IAdder, adder.AsOut()),
              REGDB_E_CLASSNOTREG);
}

TEST_F(RegsvrTest, SystemRegistrationServesThisUserWithoutTouchingHisRegistry) {
    const ProcessResult reg = Regsvr({"--system", Q5_TEST_COMPONENT_PATH});
    ASSERT_EQ(reg.exitCode, 0) << reg.err;
    EXPECT_EQ(Regsvr({"--dump"}).out, Dumped("", AdderEntries()));
    EXPECT_FALSE(std::filesystem::exists(RegistryPath()));
    struct stat info {};
    ASSERT_EQ(::stat(SystemRegistryPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0044, 0044u) << "every user reads the system registry";

    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"Q5Test.Adder", &clsid), S_OK);
    ComPtr<IAdder> adder;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IAdder, adder.AsOut()), S_OK);
    adder.Reset();

    const ProcessResult unreg = Regsvr({"--system", "-u", Q5_TEST_COMPONENT_PATH});
    ASSERT_EQ(unreg.exitCode, 0) << unreg.err;
    EXPECT_EQ(Regsvr({"--dump"}).out, Dumped("", "CLSID\n"));
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IAdder, adder.AsOut()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(std::filesystem::exists(RegistryPath()));

    // Without write access to the system folder: a clear refusal, nothing
    // written anywhere. The superuser may write any folder but none in /proc.
    const std::filesystem::path locked = ::geteuid() == 0 ? std::filesystem::path("/proc") : Dir() / "locked";
    if (::geteuid() != 0) {
        std::filesystem::create_directory(locked);
        std::filesystem::permissions(locked,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    ::setenv("XDG_CONFIG_DIRS", locked.c_str(), 1);
    const ProcessResult refused = Regsvr({"--system", Q5_TEST_COMPONENT_PATH});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find((locked / "q5com").string()), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out.find("succeeded"), std::string::npos) << refused.out;
    EXPECT_FALSE(std::filesystem::exists(locked / "q5com"));
    EXPECT_FALSE(std::filesystem::exists(RegistryPath()));
    if (::geteuid() != 0) std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(RegsvrTest, RelativeLibraryPathIsRegisteredAbsolute) {
    const std::filesystem::path library = std::filesystem::absolute(Q5_TEST_COMPONENT_PATH);
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(library.parent_path());
    const ProcessResult reg = Regsvr({library.filename().string()});
    std::filesystem::current_path(saved);
    ASSERT_EQ(reg.exitCode, 0) << reg.err;

    const std::string key = std::string("CLSID\\") + kAdderClsidText + "\\InprocServer32";
    EXPECT_EQ(GetValue(key.c_str(), ""), library.lexically_normal().string());
}

TEST_F(RegsvrTest, FailuresAreReportedWithNonZeroExit) {
    const ProcessResult missing = Regsvr({(Dir() / "nothing.so").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("nothing.so"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("No such file"), std::string::npos)
        << "loader's reason shown: " << missing.err;

    ::setenv(kFailRegistrationVariable, "1", 1);
    const ProcessResult refused = Regsvr({Q5_TEST_COMPONENT_PATH});
    ::unsetenv(kFailRegistrationVariable);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("0x80004001"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("registration refused on request"), std::string::npos) << refused.err;
    EXPECT_EQ(Regsvr({"--dump"}).out, Dumped(""));

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"-x"}, {"-u"}, {"a.so", "b.so"}, {"--dump", "a.so"}}) {
        const ProcessResult bad = Regsvr(args);
        EXPECT_EQ(bad.exitCode, 2);
        EXPECT_NE(bad.err.find("usage:"), std::string::npos);
        EXPECT_EQ(bad.out, "");
    }
    const ProcessResult help = Regsvr({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

TEST_F(RegsvrTest, DumpWarnsAboutUnreadableLinesWithoutPrintingThem) {
    WriteFile("Key\t\tvalue\nbroken\tline\n");
    const ProcessResult dump = Regsvr({"--dump"});
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.out, Dumped("Key\t\tvalue\n"));
    EXPECT_NE(dump.err.find("1 unreadable line"), std::string::npos) << dump.err;
}

}  // namespace
}  // namespace q5test
