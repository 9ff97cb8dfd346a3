// q5regsvr [-u] LIBRARY.so   run the library's DllRegisterServer (or, with
//                            -u, DllUnregisterServer)
// q5regsvr --dump            print the registry of classes
//
// Exit status: 0 on success, 1 when the operation fails, 2 for bad usage.
#include <q5client/com.h>

#include <dlfcn.h>

#include <cinttypes>
#include <cstdio>
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
        "usage: q5regsvr [-u] LIBRARY.so\n"
        "       q5regsvr --dump\n"
        "       q5regsvr --help\n"
        "\n"
        "Registers the component classes of LIBRARY.so by calling its DllRegisterServer\n"
        "entry point, or with -u removes them by calling DllUnregisterServer.\n"
        "--dump prints the registry of classes: one line per value as\n"
        "key<TAB>name<TAB>value, and the bare key for a key without values.\n",
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

int Dump() {
    std::string path;
    if (!q5com::reg::ResolvePath(path)) {
        std::fputs("q5regsvr: cannot locate the registry: no home directory\n", stderr);
        return kExitFailure;
    }
    q5com::reg::Store store;
    std::string error;
    if (!q5com::reg::Load(path, store, error)) {
        std::fprintf(stderr, "q5regsvr: %s\n", error.c_str());
        return kExitFailure;
    }
    const std::string entries = store.SerializeEntries();
    std::fwrite(entries.data(), 1, entries.size(), stdout);
    if (const std::size_t unparsed = store.UnparsedLines().size(); unparsed > 0) {
        std::fprintf(stderr, "q5regsvr: %zu unreadable line(s) in %s left as they are\n", unparsed,
                     path.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
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
    if (args.size() == 1 && args[0] == "--dump") return Dump();

    bool unregister = false;
    bool optionsDone = false;
    std::vector<std::string_view> libraries;
    for (const std::string_view arg : args) {
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "-u") {
            unregister = true;
        } else if (!optionsDone && (arg == "--dump" || arg == "--help" || arg == "-h")) {
            return UsageError((std::string(arg) + " takes no other arguments").c_str());
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            return UsageError(("unknown option " + std::string(arg)).c_str());
        } else {
            libraries.push_back(arg);
        }
    }
    if (libraries.size() != 1) return UsageError("expected exactly one library");
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
