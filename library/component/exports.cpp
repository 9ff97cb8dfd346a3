// The library's four entry points, the only symbols it exports.

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <string>

#include "component/class_factory.h"
#include "component/co_events.h"
#include "component/co_q5client.h"
#include "component/module.h"
#include "component/registration.h"
#include "q5client/q5client.h"

#define Q5_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

q5::component::ClassFactory<q5::component::CoQ5Client> g_client_factory;
q5::component::ClassFactory<q5::component::CoEvents> g_events_factory;

// Version facts of the library file, readable with `strings` or `readelf -p`.
[[gnu::used, gnu::section(".q5client_version")]] const char kVersionInfo[] =
    "FileVersion=1.0.0.1\0ProductVersion=1.0.0.1\0FileDescription=Q5Client Module\0"
    "ProductName=Q5Client Module\0InternalName=Q5Client\0ProjectName=Q5Client";

std::string LibraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&g_client_factory), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
}

}  // namespace

Q5_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualCLSID(clsid, CLSID_CoQ5Client)) return g_client_factory.QueryInterface(iid, ppv);
    if (IsEqualCLSID(clsid, CLSID_CoEvents)) return g_events_factory.QueryInterface(iid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

Q5_EXPORT HRESULT DllCanUnloadNow() {
    return q5::component::Module::CanUnload() ? S_OK : S_FALSE;
}

Q5_EXPORT HRESULT DllRegisterServer() {
    try {
        std::string path = LibraryPath();
        if (path.empty()) return E_FAIL;
        return q5::component::RegisterAll(path);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

Q5_EXPORT HRESULT DllUnregisterServer() {
    return q5::component::UnregisterAll();
}
