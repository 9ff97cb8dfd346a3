#include "services_fixture.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace q5test {

namespace {
std::u16string Text(BSTR text) {
    return text ? std::u16string(text, SysStringLen(text)) : std::u16string();
}
}  // namespace

HRESULT RecordingSink::QueryInterface(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ISupportEvents)) return E_NOINTERFACE;
    *ppv = static_cast<ISupportEvents*>(this);
    AddRef();
    return S_OK;
}

HRESULT RecordingSink::GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) {
    Add({"status", chan, Text(mode), Text(status), Text(box), 0, refs_.load()});
    return S_OK;
}

HRESULT RecordingSink::GetQ5Event(LONG msgid, BSTR data1, BSTR data2, BSTR data3) {
    Add({"event", msgid, Text(data1), Text(data2), Text(data3), 0, refs_.load()});
    return S_OK;
}

HRESULT RecordingSink::GetProgress(LONG bytes, LONG total) {
    Add({"progress", bytes, {}, {}, {}, total, refs_.load()});
    return S_OK;
}

void RecordingSink::Add(Call call) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
    }
    changed_.notify_all();
}

std::vector<RecordingSink::Call> RecordingSink::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

bool RecordingSink::WaitForCalls(std::size_t n, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return calls_.size() >= n; });
}

std::vector<std::pair<LONG, LONG>> RecordingSink::progress() const {
    std::vector<std::pair<LONG, LONG>> out;
    for (const Call& call : calls()) {
        if (call.kind == "progress") out.emplace_back(call.number, call.total);
    }
    return out;
}

void ServicesTest::SetUp() {
    RegisteredLibrary::SetUp();
    ASSERT_EQ(
        CoCreateInstance(CLSID_CoQ5Client, nullptr, CLSCTX_INPROC_SERVER, IID_IQ5Connect, connect_.AsOut()),
        S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5Util, util_), S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5Admin, admin_), S_OK);
    ASSERT_EQ(connect_.As(IID_IQ5FaxServer, fax_), S_OK);
    folder_ = std::filesystem::path(registry_path_).parent_path().string();
    TakeErrorRecord();  // every test starts with no record
}

void ServicesTest::TearDown() {
    fax_.Reset();
    admin_.Reset();
    util_.Reset();
    connect_.Reset();
    RegisteredLibrary::TearDown();
}

HRESULT ServicesTest::ConnectTo(const ScriptedPeer& peer) {
    return connect_->Connect(B(u"127.0.0.1").Get(), peer.port(), 5);
}

std::string ServicesTest::LocalFile(const std::string& name) const {
    return folder_ + "/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

BStr Wide(const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    return BStr(wide.c_str(), static_cast<UINT>(wide.size()));
}

}  // namespace q5test
