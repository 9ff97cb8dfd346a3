// The per-user registry file and the system registry behind it.
#include <q5client/com.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "test_env.h"

namespace q5test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(RegistryTest, MissingFileIsAnEmptyRegistry) {
    EXPECT_EQ(GetValue("CLSID", ""), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(RegistryPath())) << "reading does not create the file";
}

TEST_F(RegistryTest, LookupIgnoresAsciiCaseAndKeepsFirstSpelling) {
    ASSERT_EQ(Q5RegSetValue("Q5Client.CoQ5Client\\CurVer", "", "Q5Client.CoQ5Client.1"), S_OK);
    ASSERT_EQ(Q5RegSetValue("CLSID\\{AB}\\InprocServer32", "ThreadingModel", "Apartment"), S_OK);

    EXPECT_EQ(GetValue("q5client.coq5client\\CURVER", ""), "Q5Client.CoQ5Client.1");
    EXPECT_EQ(GetValue("clsid\\{ab}\\inprocserver32", "threadingmodel"), "Apartment");
    EXPECT_EQ(GetValue("CLSID\\{AB}\\InprocServer32", nullptr), "<missing>") << "no default value was set";
    EXPECT_EQ(GetValue("CLSID\\{AB}\\Other", ""), "<missing>");

    // Overwriting through another spelling changes the value, not the names.
    ASSERT_EQ(Q5RegSetValue("clsid\\{ab}\\INPROCSERVER32", "THREADINGMODEL", "Both"), S_OK);
    EXPECT_EQ(FileLines(), (Lines{
                               "CLSID",
                               "CLSID\\{AB}",
                               "CLSID\\{AB}\\InprocServer32\tThreadingModel\tBoth",
                               "Q5Client.CoQ5Client",
                               "Q5Client.CoQ5Client\\CurVer\t\tQ5Client.CoQ5Client.1",
                           }));
}

TEST_F(RegistryTest, SettingAValueCreatesEveryParentKey) {
    ASSERT_EQ(Q5RegSetValue("CLSID\\{X}\\InprocServer32", "", "/opt/q5/libq5client.so"), S_OK);
    EXPECT_EQ(FileLines(), (Lines{
                               "CLSID",
                               "CLSID\\{X}",
                               "CLSID\\{X}\\InprocServer32\t\t/opt/q5/libq5client.so",
                           }));

    // A later key under an existing parent takes the parent's spelling.
    ASSERT_EQ(Q5RegCreateKey("clsid\\{Y}"), S_OK);
    EXPECT_EQ(FileLines().back(), "CLSID\\{Y}");
    EXPECT_EQ(FileLines().size(), 4u);
}

TEST_F(RegistryTest, FileIsSortedTheSameWhateverTheOrderOfWrites) {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"b-key", "v"}, {"B\\z", "x"}, {"a", "n"}, {"B", ""},
        {"B\\A", "y"},  {"bA", "w"},   {"a", "M"}, {"a", ""},
    };
    for (const auto& [key, name] : entries) ASSERT_EQ(Q5RegSetValue(key.c_str(), name.c_str(), "1"), S_OK);
    const Lines forward = FileLines();
    std::filesystem::remove(RegistryPath());
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        ASSERT_EQ(Q5RegSetValue(it->first.c_str(), it->second.c_str(), "1"), S_OK);
    }

    // Keys without regard to case, each followed by its own subkeys before
    // any sibling; within a key the default value first, then by name.
    const Lines expected = {
        "a\t\t1", "a\tM\t1", "a\tn\t1", "B\t\t1", "B\\A\ty\t1", "B\\z\tx\t1", "b-key\tv\t1", "bA\tw\t1",
    };
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(FileLines(), expected);
}

TEST_F(RegistryTest, GetValueReportsTooSmallBuffer) {
    ASSERT_EQ(Q5RegSetValue("K", "", "12345"), S_OK);
    char buffer[6];
    EXPECT_EQ(Q5RegGetValue("K", "", buffer, 5), E_INVALIDARG) << "no room for the zero";
    EXPECT_EQ(buffer[0], '\0');
    ASSERT_EQ(Q5RegGetValue("K", "", buffer, 6), S_OK);
    EXPECT_STREQ(buffer, "12345");
    EXPECT_EQ(Q5RegGetValue("K", "", nullptr, 6), E_POINTER);
}

TEST_F(RegistryTest, DeleteTreeRemovesSubtreeButNotParentOrLookalikeSiblings) {
    for (const char* key : {"A\\B\\C\\D", "A\\BC", "A\\B-x", "AB"})
        ASSERT_EQ(Q5RegSetValue(key, "", "v"), S_OK);
    ASSERT_EQ(Q5RegSetValue("A\\B", "n", "v"), S_OK);

    EXPECT_EQ(Q5RegDeleteTree("a\\b"), S_OK);
    EXPECT_EQ(FileLines(), (Lines{"A", "A\\B-x\t\tv", "A\\BC\t\tv", "AB\t\tv"}));
    EXPECT_EQ(Q5RegDeleteTree("A\\B"), S_FALSE);
    EXPECT_EQ(Q5RegDeleteTree("A\\B\\C"), S_FALSE);
    EXPECT_EQ(Q5RegDeleteTree("A"), S_OK);
    EXPECT_EQ(FileLines(), (Lines{"AB\t\tv"}));
}

TEST_F(RegistryTest, ControlCharactersAndMalformedKeysAreRefused) {
    ASSERT_EQ(Q5RegSetValue("Keep", "", "me"), S_OK);
    const Lines before = FileLines();

    for (const char* key : {"", "a\tb", "a\nb", "a\x7f", "\\a", "a\\", "a\\\\b", "a\rb"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(Q5RegSetValue(key, "", "v"), E_INVALIDARG);
        EXPECT_EQ(Q5RegCreateKey(key), E_INVALIDARG);
        EXPECT_EQ(Q5RegDeleteTree(key), E_INVALIDARG);
        char buffer[8];
        EXPECT_EQ(Q5RegGetValue(key, "", buffer, sizeof buffer), E_INVALIDARG);
    }
    EXPECT_EQ(Q5RegSetValue("Keep", "na\tme", "v"), E_INVALIDARG);
    EXPECT_EQ(Q5RegSetValue("Keep", "", "two\nlines"), E_INVALIDARG);
    EXPECT_EQ(Q5RegSetValue("Keep", "", "bell\a"), E_INVALIDARG);
    EXPECT_EQ(Q5RegSetValue(nullptr, "", "v"), E_INVALIDARG);
    EXPECT_EQ(Q5RegSetValue("Keep", "", nullptr), E_INVALIDARG);
    EXPECT_EQ(Q5RegCreateKey(nullptr), E_INVALIDARG);

    // Text outside ASCII is fine.
    EXPECT_EQ(Q5RegSetValue("Keep", "",
                            "Gr\xc3\xbc\xc3\x9f"
                            "e"),
              S_OK);
    EXPECT_EQ(FileLines().size(), before.size());
}

TEST_F(RegistryTest, UnreadableLinesAreSkippedButWrittenBack) {
    const std::string garbage[] = {
        "only\tone tab",
        "\tname\tno key",
        "K\\\\doubled\t\tv",
        "too\tmany\ttabs\there",
        std::string("nul\0byte", 8),
        "crlf\t\tvalue\r",
    };
    std::string text = "Good\t\tvalue\n\n";
    for (const std::string& line : garbage) text += line + "\n";
    text += "Last\tname\tno newline";
    WriteFile(text);

    EXPECT_EQ(GetValue("good", ""), "value");
    EXPECT_EQ(GetValue("last", "NAME"), "no newline");
    EXPECT_EQ(GetValue("crlf", ""), "<missing>");

    ASSERT_EQ(Q5RegSetValue("New", "", "v"), S_OK);
    const Lines lines = FileLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (Lines{"Good\t\tvalue", "Last\tname\tno newline", "New\t\tv"}));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
              std::vector<std::string>(std::begin(garbage), std::end(garbage)));
}

TEST_F(RegistryTest, SystemRegistryIsReadBehindTheUsersOwn) {
    const std::string key = "CLSID\\{00000000-0000-0000-0000-0000000000A1}\\InprocServer32";
    const std::filesystem::path second = Dir() / "second";
    struct Case {
        const char* what;
        std::optional<std::string> user;    // the user's file, if any
        std::optional<std::string> system;  // the system file, if any
        std::string dirs;                   // XDG_CONFIG_DIRS; empty: the fixture's
        std::string expected;
    };
    const Case cases[] = {
        {"a user's entry wins", key + "\t\t/user.so\n", key + "\t\t/system.so\n", "", "/user.so"},
        {"system only", std::nullopt, key + "\t\t/system.so\n", "", "/system.so"},
        {"user's other values hide nothing", key + "\tThreadingModel\tBoth\n", key + "\t\t/system.so\n", "",
         "/system.so"},
        {"neither", std::nullopt, std::nullopt, "", "<missing>"},
        {"malformed system file is ignored", std::nullopt,
         key + "\t\t/system.so\textra tab\n" + key + "\n" + std::string("\0\x01\xff\t\t", 6) + "\n", "",
         "<missing>"},
        {"good lines of a damaged system file count", std::nullopt,
         "broken\tline\n" + key + "\t\t/system.so\n\t\t\n", "", "/system.so"},
        {"first folder that has the file", std::nullopt, key + "\t\t/system.so\n",
         "relative/dir:" + second.string() + ":" + (Dir() / "xdg").string(), "/system.so"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Dir() / "xdg");
        std::filesystem::remove(RegistryPath());
        ::setenv("XDG_CONFIG_DIRS", c.dirs.empty() ? (Dir() / "xdg").c_str() : c.dirs.c_str(), 1);
        if (c.user) WriteFile(*c.user);
        if (c.system) {
            std::filesystem::create_directories(Dir() / "xdg" / "q5com");
            std::ofstream(SystemRegistryPath(), std::ios::binary) << *c.system;
        }
        EXPECT_EQ(GetValue(key.c_str(), ""), c.expected);
    }

    // A system registry that cannot be read leaves the user's entries working.
    std::filesystem::remove_all(Dir() / "xdg");
    std::filesystem::create_directories(SystemRegistryPath());
    ::setenv("XDG_CONFIG_DIRS", (Dir() / "xdg").c_str(), 1);
    WriteFile("Own\t\tvalue\n");
    EXPECT_EQ(GetValue("Own", ""), "value");
    EXPECT_EQ(GetValue(key.c_str(), ""), "<missing>");

    // Writes go to the user's file only: deleting a system entry there
    // changes nothing and it stays visible.
    std::filesystem::remove_all(Dir() / "xdg");
    std::filesystem::create_directories(Dir() / "xdg" / "q5com");
    std::ofstream(SystemRegistryPath(), std::ios::binary) << key + "\t\t/system.so\n";
    EXPECT_EQ(Q5RegDeleteTree(key.c_str()), S_FALSE);
    ASSERT_EQ(Q5RegSetValue("Other", "", "v"), S_OK);
    std::ifstream systemFile(SystemRegistryPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(systemFile), {}), key + "\t\t/system.so\n");
    EXPECT_EQ(GetValue(key.c_str(), ""), "/system.so");
}

void SetMany(const std::string& prefix, int count, std::atomic<int>& failures) {
    for (int i = 0; i < count; ++i) {
        const std::string key = "Writers\\" + prefix + "\\" + std::to_string(i);
        if (Q5RegSetValue(key.c_str(), "", prefix.c_str()) != S_OK) ++failures;
    }
}

std::set<std::string> ValueLines(const Lines& lines) {
    std::set<std::string> values;
    for (const std::string& line : lines) {
        if (line.find('\t') != std::string::npos) values.insert(line);
    }
    return values;
}

TEST_F(RegistryTest, ConcurrentThreadsLoseNoWrites) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (const char* prefix : {"t1", "t2"}) threads.emplace_back(SetMany, prefix, 100, std::ref(failures));
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(ValueLines(FileLines()).size(), 200u);
}

TEST_F(RegistryTest, ConcurrentProcessesLoseNoWrites) {
    std::vector<pid_t> children;
    for (const char* prefix : {"p1", "p2"}) {
        const pid_t pid = ::fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            std::atomic<int> failures{0};
            SetMany(prefix, 100, failures);
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::set<std::string> values = ValueLines(FileLines());
    EXPECT_EQ(values.size(), 200u);
    EXPECT_TRUE(values.count("Writers\\p1\\99\t\tp1"));
    EXPECT_TRUE(values.count("Writers\\p2\\0\t\tp2"));
}

TEST_F(RegistryTest, UnwritableLocationFailsWithoutSideEffects) {
    std::ofstream(Dir() / "plainfile") << "x";
    const std::string blocked = (Dir() / "plainfile" / "registry").string();
    ASSERT_EQ(::setenv("Q5COM_REGISTRY", blocked.c_str(), 1), 0);
    EXPECT_EQ(Q5RegSetValue("K", "", "v"), E_FAIL);
    EXPECT_EQ(Q5RegDeleteTree("K"), E_FAIL);
    EXPECT_EQ(GetValue("K", ""), "<error 0x80004005>");
}

// Sets an environment variable for one scope and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST_F(RegistryTest, PathFollowsEnvironmentAndWritesCreateDirectories) {
    char path[4096];
    ASSERT_EQ(Q5RegPath(path, sizeof path), S_OK);
    EXPECT_EQ(path, RegistryPath());
    EXPECT_EQ(Q5RegPath(path, RegistryPath().size()), E_INVALIDARG) << "no room for the zero";

    const std::string xdg = (Dir() / "xdg").string();
    const std::string home = (Dir() / "home").string();
    ScopedEnv noExplicitPath("Q5COM_REGISTRY", "");
    {
        ScopedEnv config("XDG_CONFIG_HOME", xdg.c_str());
        ASSERT_EQ(Q5RegPath(path, sizeof path), S_OK);
        EXPECT_EQ(std::string(path), xdg + "/q5com/registry");
        EXPECT_EQ(Q5RegSetValue("K", "", "v"), S_OK);
        EXPECT_TRUE(std::filesystem::is_regular_file(xdg + "/q5com/registry"));
    }
    {
        ScopedEnv relativeConfig("XDG_CONFIG_HOME", "relative/config");
        ScopedEnv homeDir("HOME", home.c_str());
        ASSERT_EQ(Q5RegPath(path, sizeof path), S_OK);
        EXPECT_EQ(std::string(path), home + "/.config/q5com/registry")
            << "a relative XDG_CONFIG_HOME is ignored";
        EXPECT_EQ(Q5RegSetValue("K", "", "v"), S_OK);
        EXPECT_TRUE(std::filesystem::is_regular_file(home + "/.config/q5com/registry"));
    }
}

}  // namespace
}  // namespace q5test
