// Shared pieces of the service tests: a session object connected to a
// scripted server, a sink that records what the library tells it, and
// helpers for local files in a private temporary folder.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "component_fixture.h"
#include "scripted_peer.h"

namespace q5test {

inline constexpr const char* kGreeting = "+OK 5 Q5Server ready\r\n";

// An ISupportEvents that records every call. Calls may come from any thread.
// The test owns the object; the reference count is only observed.
class RecordingSink final : public ISupportEvents {
public:
    struct Call {
        std::string kind;  // "status", "event", "progress"
        LONG number = 0;   // channel, event number or bytes
        std::u16string a, b, c;
        LONG total = 0;
        ULONG refs = 0;  // the sink's reference count during the call
        bool operator==(const Call&) const = default;
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG chan, BSTR mode, BSTR status, BSTR box) override;
    HRESULT STDMETHODCALLTYPE GetQ5Event(LONG msgid, BSTR data1, BSTR data2, BSTR data3) override;
    HRESULT STDMETHODCALLTYPE GetProgress(LONG bytes, LONG total) override;

    ULONG refs() const { return refs_.load(); }
    std::vector<Call> calls() const;
    // Waits until at least n calls were made (at most `limit`).
    bool WaitForCalls(std::size_t n, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    // (bytes, total) of every progress call.
    std::vector<std::pair<LONG, LONG>> progress() const;

private:
    void Add(Call call);
    std::atomic<ULONG> refs_{1};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Call> calls_;
};

// A registered library and a CoQ5Client with its util, admin and fax views.
class ServicesTest : public RegisteredLibrary {
protected:
    void SetUp() override;
    void TearDown() override;
    // Connects to the peer (whose script must start with Accept and the greeting).
    HRESULT ConnectTo(const ScriptedPeer& peer);
    // A path in the test's private folder.
    std::string LocalFile(const std::string& name) const;

    ComPtr<IQ5Connect> connect_;
    ComPtr<IQ5Util> util_;
    ComPtr<IQ5Admin> admin_;
    ComPtr<IQ5FaxServer> fax_;
    std::string folder_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Deterministic bytes of every value 0..255.
std::string Pattern(std::size_t size);
// A path as the wide string the interfaces take.
BStr Wide(const std::string& text);

}  // namespace q5test
