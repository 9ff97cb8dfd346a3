// q5regsvr [--system] [-u] LIBRARY.so
//                            run the library's DllRegisterServer (or, with
//                            -u, DllUnregisterServer) on the user's registry
//                            or, with --system, on the system registry
// q5regsvr --dump            print the user's and the system registry
//
// Exit status: 0 on success, 1 when the operation fails, 2 for bad usage.
#include <q5client/com.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "registry_file.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage: q5regsvr [--system] [-u] LIBRARY.so\n"
        "       q5regsvr --dump\n"
        "       q5regsvr --help | --version\n"
        "\n"
        "Registers the component classes of LIBRARY.so by calling its DllRegisterServer\n"
        "entry point, or with -u removes them by calling DllUnregisterServer.\n"
        "\n"
        "  --system   register for every user of the machine: write the system registry\n"
        "             (q5com/registry in the first folder of $XDG_CONFIG_DIRS, default\n"
        "             /etc/xdg) instead of the user's; needs write access there\n"
        "  -u         unregister\n"
        "  --dump     print the user's registry, then the system registry, each after a\n"
        "             line \"# user registry: PATH\" or \"# system registry: PATH\";\n"
        "             one line per value as key<TAB>name<TAB>value, and the bare key\n"
        "             for a key without values. A user's value wins over the system's.\n"
        "  --help     print this help\n"
        "  --version  print the version\n",
        to);
}

const char* NameOf(HRESULT hr) {
    switch (hr) {
        case E_NOTIMPL:
            return "E_NOTIMPL";
        case E_NOINTERFACE:
            return "E_NOINTERFACE";
        case E_POINTER:
            return "E_POINTER";
        case E_FAIL:
            return "E_FAIL";
        case E_UNEXPECTED:
            return "E_UNEXPECTED";
        case E_OUTOFMEMORY:
            return "E_OUTOFMEMORY";
        case E_INVALIDARG:
            return "E_INVALIDARG";
        case REGDB_E_CLASSNOTREG:
            return "REGDB_E_CLASSNOTREG";
        default:
            return nullptr;
    }
}

std::string FormatResult(HRESULT hr) {
    char text[64];
    std::snprintf(text, sizeof text, "0x%08" PRIX32, static_cast<std::uint32_t>(hr));
    std::string out = text;
    if (const char* name = NameOf(hr)) out = out + " (" + name + ")";
    return out;
}

// The description of the error record the entry point left, if any.
std::string TakeErrorDescription() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    BSTR description = nullptr;
    std::string out;
    if (SUCCEEDED(info->GetDescription(&description)) && description) {
        // Text of the record is shown as is for ASCII; anything else becomes '?'.
        for (UINT i = 0; i < SysStringLen(description); ++i) {
            const char16_t c = description[i];
            out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
    }
    SysFreeString(description);
    info->Release();
    return out;
}

int Register(const std::string& library, bool unregister) {
    std::error_code ec;
    // An absolute path keeps the loader from searching the library path and
    // lets the library record where it lives.
    const std::string path = std::filesystem::absolute(library, ec).lexically_normal().string();
    if (ec) {
        std::fprintf(stderr, "q5regsvr: cannot resolve %s: %s\n", library.c_str(), ec.message().c_str());
        return kExitFailure;
    }
    const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";

    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "q5regsvr: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return kExitFailure;
    }
    ::dlerror();
    void* symbol = ::dlsym(handle, entryName);
    if (!symbol) {
        const char* why = ::dlerror();
        std::fprintf(stderr, "q5regsvr: %s does not export %s: %s\n", path.c_str(), entryName,
                     why ? why : "symbol is null");
        return kExitFailure;
    }

    const HRESULT hr = reinterpret_cast<PFN_DllRegisterServer>(symbol)();
    if (FAILED(hr)) {
        const std::string description = TakeErrorDescription();
        std::fprintf(stderr, "q5regsvr: %s in %s failed: %s%s%s\n", entryName, path.c_str(),
                     FormatResult(hr).c_str(), description.empty() ? "" : ": ", description.c_str());
        return kExitFailure;
    }
    std::printf("q5regsvr: %s in %s succeeded.\n", entryName, path.c_str());
    return 0;
}

// Says why the system registry at path cannot be written.
bool RefuseSystemRegistry(const std::string& path, int err) {
    const bool rights = err == EACCES || err == EPERM || err == EROFS;
    std::fprintf(stderr, "q5regsvr: cannot write the system registry %s: %s%s\n", path.c_str(),
                 std::strerror(err), rights ? " (registering for all users needs administrator rights)" : "");
    return false;
}

// Makes the system registry file exist, readable by every user, and checks
// that this process may replace it; then points the runtime's writes at it.
// The library's entry point writes through the runtime, which writes the
// file that Q5COM_REGISTRY names.
bool UseSystemRegistry() {
    const std::string path = q5com::reg::SystemPaths().front();
    const std::string dir = path.substr(0, path.rfind('/'));
    // The missing folders, readable by everyone.
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string prefix = dir.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return RefuseSystemRegistry(path, errno);
        if (slash == std::string::npos) break;
    }
    // The runtime replaces the file by renaming a new one over it, which
    // needs write access to the folder rather than to the file.
    if (::access(dir.c_str(), W_OK) != 0) return RefuseSystemRegistry(path, errno);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return RefuseSystemRegistry(path, errno);
    // The umask may have taken the others' read access away; readers need it.
    struct stat info {};
    const bool ok = ::fstat(fd, &info) == 0 && ((info.st_mode & 0044) == 0044 || ::fchmod(fd, 0644) == 0);
    const int saved = errno;
    ::close(fd);
    if (!ok) return RefuseSystemRegistry(path, saved);
    return ::setenv("Q5COM_REGISTRY", path.c_str(), 1) == 0;
}

// Prints one registry after a line naming it. A missing file is empty.
bool DumpFile(const char* which, const std::string& path) {
    std::printf("# %s registry: %s\n", which, path.c_str());
    q5com::reg::Store store;
    std::string error;
    if (!q5com::reg::Load(path, store, error)) {
        std::fprintf(stderr, "q5regsvr: %s\n", error.c_str());
        return false;
    }
    const std::string entries = store.SerializeEntries();
    std::fwrite(entries.data(), 1, entries.size(), stdout);
    if (const std::size_t unparsed = store.UnparsedLines().size(); unparsed > 0) {
        std::fprintf(stderr, "q5regsvr: %zu unreadable line(s) in %s left as they are\n", unparsed,
                     path.c_str());
    }
    return true;
}

int Dump() {
    std::string path;
    if (!q5com::reg::ResolvePath(path)) {
        std::fputs("q5regsvr: cannot locate the registry: no home directory\n", stderr);
        return kExitFailure;
    }
    bool ok = DumpFile("user", path);
    // The system registry the runtime reads, else the one --system would write.
    std::string systemPath;
    if (!q5com::reg::FindSystemPath(systemPath)) systemPath = q5com::reg::SystemPaths().front();
    if (systemPath != path) ok = DumpFile("system", systemPath) && ok;
    return std::fflush(stdout) == 0 && ok ? 0 : kExitFailure;
}

int UsageError(const char* message) {
    std::fprintf(stderr, "q5regsvr: %s\n", message);
    PrintUsage(stderr);
    return kExitUsage;
}

int Run(const std::vector<std::string_view>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::puts("q5regsvr " Q5_VERSION);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--dump") return Dump();

    bool unregister = false;
    bool system = false;
    bool optionsDone = false;
    std::vector<std::string_view> libraries;
    for (const std::string_view arg : args) {
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "-u") {
            unregister = true;
        } else if (!optionsDone && arg == "--system") {
            system = true;
        } else if (!optionsDone &&
                   (arg == "--dump" || arg == "--help" || arg == "-h" || arg == "--version")) {
            return UsageError((std::string(arg) + " takes no other arguments").c_str());
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            return UsageError(("unknown option " + std::string(arg)).c_str());
        } else {
            libraries.push_back(arg);
        }
    }
    if (libraries.size() != 1) return UsageError("expected exactly one library");
    if (system && !UseSystemRegistry()) return kExitFailure;
    return Register(std::string(libraries[0]), unregister);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "q5regsvr: %s\n", e.what());
        return kExitFailure;
    }
}
