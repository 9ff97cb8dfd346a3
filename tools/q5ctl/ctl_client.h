// Client: the commands of q5ctl, carried out through the component runtime
// as any outside caller does (CoCreateInstance of the registered library and
// its public interfaces). Every command returns the tool's exit status
// (ctl_text.h) and writes its results to `out`, its complaints to `err`.
//
// Thread rule: one thread uses a Client (the objects it makes are
// apartment-threaded). RequestStop() may be called from a signal handler: it
// ends Events(), and a watcher thread cancels (IQ5CallCancel) whatever call
// the session object waits in.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <thread>
#include <vector>

#include "q5client/q5client.h"

namespace q5ctl {

struct Settings {
    std::string host = "localhost";
    int port = 1008;
    int timeout = 10;  // seconds
    std::string user;
    std::string password;
    bool superuser = false;
    bool json = false;
    bool progress = false;  // draw a progress bar on `err` during transfers
    std::string mailbox;    // for files, conversions and faxes; default: the user
    std::string key;        // row to open before get/set (superuser)
};

class Client {
public:
    Client(Settings settings, std::ostream& out, std::ostream& err);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Offline.
    int Tables();
    int Fields(const std::string& table);

    int Info();
    int Get(const std::string& table, const std::vector<std::string>& fields);
    int Set(const std::string& table, const std::vector<std::string>& assignments);
    int Dump(const std::string& table);
    int GetFile(const std::string& remote, const std::string& local);
    int PutFile(const std::string& local, const std::string& remote);
    int Convert(const std::string& direction, const std::string& name);
    // Prints events as JSON lines until `count` were printed (0: no limit)
    // or RequestStop was called.
    int Events(bool status, int count);
    int FaxList();
    int FaxStatus(int job);
    int FaxCancel(int job);
    int FaxRetry(int job);
    int FaxAttr(int job, const std::string& attr);
    int AddMailbox(const std::string& box);
    int DeleteMailbox(const std::string& box);
    int Mwi(const std::string& box, const std::string& mode);
    int ResetMwi();

    // Async-signal-safe: makes Events() end after its current wait and
    // cancels the session's waiting call.
    static void RequestStop() noexcept;

private:
    // Creates the session object, connects and logs in; an exit status.
    int Open();
    // Reports a failed call with the error record's text; an exit status.
    int Fail(HRESULT hr, const std::string& what);
    int Usage(const std::string& message);
    BStr Wide(const std::string& text);
    std::string Mailbox() const;
    template <class T>
    ComPtr<T> Facet(REFIID iid);
    int Fetch(IQ5Table* table, const std::string& name);
    std::vector<std::pair<std::string, std::string>> Values(IQ5Table* table,
                                                            const std::vector<std::string>& fields);
    void Print(const std::vector<std::pair<std::string, std::string>>& values);

    Settings settings_;
    std::ostream& out_;
    std::ostream& err_;
    ComPtr<IQ5Connect> session_;
    // Cancels the session's calls once a stop was requested; runs from
    // Open() to the destructor.
    ComPtr<IQ5CallCancel> cancel_;
    std::thread watcher_;
    std::atomic<bool> watching_{false};
};

}  // namespace q5ctl
