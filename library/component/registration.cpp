#include "component/registration.h"

#include <cstdio>
#include <initializer_list>

#include "q5client/q5client.h"

namespace q5::component {

namespace {

struct ClassEntry {
    const GUID* clsid;
    const char* prog_id;
    const char* independent_prog_id;
    const char* help;
};

constexpr ClassEntry kClasses[] = {
    {&CLSID_CoQ5Client, "Q5Client.CoQ5Client.1", "Q5Client.CoQ5Client", "CoQ5Client Class"},
    {&CLSID_CoEvents, "Q5Client.CoEvents.1", "Q5Client.CoEvents", "CoEvents Class"},
};

struct InterfaceEntry {
    const GUID* iid;
    const char* name;
};

constexpr InterfaceEntry kInterfaces[] = {
    {&IID_IQ5Connect, "IQ5Connect"},
    {&IID_IQ5Table, "IQ5Table"},
    {&IID_IQ5Admin, "IQ5Admin"},
    {&IID_IQ5Util, "IQ5Util"},
    {&IID_IQ5FaxServer, "IQ5FaxServer"},
    {&IID_ICoEvents, "ICoEvents"},
    {&IID_ISupportEvents, "ISupportEvents"},
};

constexpr const char* kTypeLibHelp = "Q5Client 1.0 Type Library";
constexpr const char* kTypeLibVersion = "1.0";

// Keeps the first failure and goes on, so one bad entry does not hide others.
class Writer {
public:
    void Set(const std::string& key, const char* name, const std::string& value) {
        Keep(Q5RegSetValue(key.c_str(), name, value.c_str()));
    }
    void Remove(const std::string& key) { Keep(Q5RegDeleteTree(key.c_str())); }
    HRESULT result() const { return result_; }

private:
    void Keep(HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result_)) result_ = hr;
    }
    HRESULT result_ = S_OK;
};

std::string Directory(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

std::string GuidText(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

HRESULT RegisterAll(const std::string& library_path) noexcept {
    try {
        Writer w;
        const std::string libid = GuidText(LIBID_Q5CLIENTLib);
        for (const ClassEntry& c : kClasses) {
            const std::string clsid = GuidText(*c.clsid);
            w.Set(c.prog_id, "", c.help);
            w.Set(std::string(c.prog_id) + "\\CLSID", "", clsid);
            w.Set(c.independent_prog_id, "", c.help);
            w.Set(std::string(c.independent_prog_id) + "\\CLSID", "", clsid);
            w.Set(std::string(c.independent_prog_id) + "\\CurVer", "", c.prog_id);
            const std::string key = "CLSID\\" + clsid;
            w.Set(key, "", c.help);
            w.Set(key + "\\ProgID", "", c.prog_id);
            w.Set(key + "\\VersionIndependentProgID", "", c.independent_prog_id);
            w.Set(key + "\\InprocServer32", "", library_path);
            w.Set(key + "\\InprocServer32", "ThreadingModel", "Apartment");
            w.Set(key + "\\TypeLib", "", libid);
        }
        // The type library: its version key, where the library file is, and
        // the interfaces it describes.
        const std::string tlb = "TypeLib\\" + libid + "\\" + kTypeLibVersion;
        w.Set(tlb, "", kTypeLibHelp);
        w.Set(tlb + "\\0\\linux", "", library_path);
        w.Set(tlb + "\\FLAGS", "", "0");
        w.Set(tlb + "\\HELPDIR", "", Directory(library_path));
        for (const InterfaceEntry& i : kInterfaces) {
            const std::string key = "Interface\\" + GuidText(*i.iid);
            w.Set(key, "", i.name);
            w.Set(key + "\\TypeLib", "", libid);
            w.Set(key + "\\TypeLib", "Version", kTypeLibVersion);
        }
        return w.result();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterAll() noexcept {
    try {
        Writer w;
        for (const ClassEntry& c : kClasses) {
            w.Remove(c.prog_id);
            w.Remove(c.independent_prog_id);
            // The class's own key goes whole; the CLSID key above it stays.
            w.Remove("CLSID\\" + GuidText(*c.clsid));
        }
        w.Remove("TypeLib\\" + GuidText(LIBID_Q5CLIENTLib));
        for (const InterfaceEntry& i : kInterfaces) w.Remove("Interface\\" + GuidText(*i.iid));
        return w.result();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace q5::component
