// Throughput of the client library against a fast local server, each figure
// next to a plain socket client doing the same work on the same server:
//
//   getfile   GETFILE through IQ5Util::GetFile  vs  recv(64 KiB) -> write
//   putfile   PUTFILE through IQ5Util::PutFile  vs  read(64 KiB) -> send
//   noop      KeepAlive round trips             vs  blocking send + recv
//   q5events  Q5 log records queued and polled  vs  the 1,000,000 records/s goal
//   tls       GETFILE, PUTFILE and NOOP round trips of the library through
//             TLS (a pinned self-signed certificate) vs the same through
//             plain TCP, on two servers that differ only in TLS
//   q5flood   a flood of Q5 events against a caller that does not keep up:
//             the rate, and the peak resident memory of the queue and of
//             the whole process, each measured in a process of its own
//
// Each pair runs interleaved Q5BENCH_ROUNDS times (default 5); one line per
// figure: name, median, unit, ratio (library / baseline). Sizes:
// Q5BENCH_MIB (file size, default 256), Q5BENCH_NOOPS (default 20000),
// Q5BENCH_EVENTS (default 2000000), Q5BENCH_FLOOD (default 1000000),
// Q5BENCH_TICK_MS (the call window's poll tick, default 1000); Q5BENCH_ONLY
// names one figure (tls_getfile, tls_putfile, tls_noop: one pair of the tls
// figure); Q5BENCH_LINK_MBIT (with Q5BENCH_LINK_RTT_US, default 200, and
// Q5BENCH_LINK_NOOPS, default 2000) runs the tls pairs once more, each server
// behind a link of that speed; Q5BENCH_LIBRARY names another build of the library to load (to
// compare two builds with the same benchmark). Files go to $TMPDIR or /tmp;
// the server listens on 127.0.0.1 only.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "q5client/q5client.h"
#include "test_certificate.h"

namespace {

using Clock = std::chrono::steady_clock;

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    const long value = std::strtol(text, nullptr, 10);
    return value > 0 ? value : fallback;
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "q5bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

// A listening socket on 127.0.0.1 with a port the system picks.
int ListenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        Die("listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// Through TLS when `ssl` is given (the benchmark's server side only; its
// sockets block).
bool SendAll(int fd, const char* data, std::size_t size, SSL* ssl = nullptr) {
    while (size > 0) {
        const ssize_t n = ssl ? SSL_write(ssl, data, static_cast<int>(std::min<std::size_t>(size, 1 << 30)))
                              : ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return !ssl || BIO_flush(SSL_get_wbio(ssl)) == 1;
}

// Reads one line (up to '\n') through a small buffer of its own.
class LineReader {
public:
    explicit LineReader(int fd, SSL* ssl = nullptr) : fd_(fd), ssl_(ssl) {}
    // One receive (through TLS when given).
    static ssize_t Receive(int fd, SSL* ssl, char* out, std::size_t size) {
        return ssl ? SSL_read(ssl, out, static_cast<int>(std::min<std::size_t>(size, 1 << 30)))
                   : ::recv(fd, out, size, 0);
    }
    bool ReadLine(std::string& line) {
        line.clear();
        for (;;) {
            if (pos_ < len_) {
                const char* start = buf_ + pos_;
                const void* nl = std::memchr(start, '\n', len_ - pos_);
                const std::size_t n =
                    nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) + 1 : len_ - pos_;
                line.append(start, n);
                pos_ += n;
                if (nl) return true;
            }
            const ssize_t got = Receive(fd_, ssl_, buf_, sizeof buf_);
            if (got <= 0) return false;
            pos_ = 0;
            len_ = static_cast<std::size_t>(got);
        }
    }
    // Bytes already buffered past the last line.
    std::size_t TakeBuffered(char* out, std::size_t max) {
        const std::size_t n = std::min(max, len_ - pos_);
        std::memcpy(out, buf_ + pos_, n);
        pos_ += n;
        return n;
    }

private:
    int fd_;
    SSL* ssl_;
    char buf_[4096];
    std::size_t pos_ = 0, len_ = 0;
};

// ---- The server ----------------------------------------------------------------------

// Answers one connection at a time: greeting, then USER/PASS/NOOP with +OK,
// GETFILE with the whole file, PUTFILE by taking the bytes, EVENT_Q5 with the
// prepared event stream followed by a close.
class Server {
public:
    // `events_sent` (optional) runs on the server's thread each time the
    // whole event stream has been handed to a connection's socket.
    // With `tls`, every connection speaks TLS with that context.
    Server(std::size_t file_size, std::string events, std::function<void()> events_sent = {},
           SSL_CTX* tls = nullptr)
        : file_(file_size), events_(std::move(events)), events_sent_(std::move(events_sent)), tls_(tls) {
        for (std::size_t i = 0; i < file_.size(); ++i) file_[i] = static_cast<char>(i * 131);
        listen_ = ListenOnLoopback(port_);
        thread_ = std::thread([this] { Run(); });
    }
    ~Server() {
        stop_ = true;
        ::shutdown(listen_, SHUT_RDWR);
        ::close(listen_);
        thread_.join();
    }
    int port() const { return port_; }
    std::size_t file_size() const { return file_.size(); }

private:
    void Run() {
        while (!stop_) {
            const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) return;
            // Replies leave at once, as the emulator's and TLS fronts' do;
            // with Nagle's wait a TLS reply could sit behind an acknowledgement.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            SSL* ssl = nullptr;
            if (tls_) {
                // Records leave in large sends (flushed by SendAll), as the
                // library's own do, so the server costs as little as it can.
                ssl = SSL_new(tls_);
                BIO* socket = BIO_new_socket(fd, BIO_NOCLOSE);
                BIO* buffered = BIO_new(BIO_f_buffer());
                if (ssl && socket && buffered && BIO_up_ref(socket) == 1) {
                    BIO_set_write_buffer_size(buffered, 256 * 1024);
                    SSL_set_bio(ssl, socket, BIO_push(buffered, socket));
                }
                if (!ssl || SSL_accept(ssl) != 1) {
                    SSL_free(ssl);
                    ::close(fd);
                    continue;
                }
            }
            Serve(fd, ssl);
            if (ssl) {
                SSL_shutdown(ssl);
                SSL_free(ssl);
            }
            ::close(fd);
        }
    }

    void Serve(int fd, SSL* ssl) {
        static const std::string kOk = "+OK\r\n";
        if (!SendAll(fd, "+OK 7 bench server\r\n", 20, ssl)) return;
        LineReader reader(fd, ssl);
        std::string line;
        std::vector<char> sink(1 << 16);
        while (reader.ReadLine(line)) {
            if (line.rfind("GETFILE", 0) == 0) {
                const std::string head = "+OK " + std::to_string(file_.size()) + "\r\n";
                if (!SendAll(fd, head.data(), head.size(), ssl) ||
                    !SendAll(fd, file_.data(), file_.size(), ssl) ||
                    !SendAll(fd, kOk.data(), kOk.size(), ssl)) {
                    return;
                }
            } else if (line.rfind("PUTFILE", 0) == 0) {
                const std::size_t size = std::strtoul(line.c_str() + line.rfind(' ') + 1, nullptr, 10);
                if (!SendAll(fd, kOk.data(), kOk.size(), ssl)) return;
                std::size_t got = reader.TakeBuffered(sink.data(), size);
                while (got < size) {
                    const ssize_t n =
                        LineReader::Receive(fd, ssl, sink.data(), std::min(sink.size(), size - got));
                    if (n <= 0) return;
                    got += static_cast<std::size_t>(n);
                }
                if (!SendAll(fd, kOk.data(), kOk.size(), ssl)) return;
            } else if (line.rfind("EVENT_Q5", 0) == 0) {
                if (SendAll(fd, kOk.data(), kOk.size(), ssl) &&
                    SendAll(fd, events_.data(), events_.size(), ssl) && events_sent_) {
                    events_sent_();
                }
                return;
            } else if (!SendAll(fd, kOk.data(), kOk.size(), ssl)) {
                return;
            }
        }
    }

    std::vector<char> file_;
    std::string events_;
    std::function<void()> events_sent_;
    SSL_CTX* tls_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// ---- A network link between client and server --------------------------------------------

// Forwards every connection made to port() to the target port as a link of
// `mbit` megabits a second with `rtt_us` microseconds of round trip would:
// in each direction a chunk leaves once its bytes have crossed at the link's
// rate and half the round trip has passed, and at most kInFlight bytes are
// under way (beyond that the sender waits, as TCP's window would make it).
// Loopback runs at memory speed, where a transfer costs only copies; the
// link shows what the same work gives over a network.
class Link {
public:
    Link(int target_port, double mbit, long rtt_us)
        : target_port_(target_port),
          bytes_per_second_(mbit * 1e6 / 8),
          one_way_(std::chrono::microseconds(rtt_us / 2)) {
        listen_ = ListenOnLoopback(port_);
        accept_ = std::thread([this] { Accept(); });
    }
    ~Link() {
        ::shutdown(listen_, SHUT_RDWR);
        ::close(listen_);
        accept_.join();
        for (std::thread& connection : connections_) connection.join();
    }
    int port() const { return port_; }

private:
    static constexpr std::size_t kInFlight = 1 << 20;
    static constexpr std::size_t kChunk = 16 * 1024;

    struct Chunk {
        Clock::time_point due;
        std::vector<char> bytes;
    };
    struct Direction {
        std::mutex lock;
        std::condition_variable changed;
        std::deque<Chunk> chunks;
        std::size_t queued = 0;
        bool ended = false;   // the sending side closed
        bool broken = false;  // the receiving side is gone
    };

    void Accept() {
        for (;;) {
            const int client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) return;
            const int on = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            const int server = RawConnect(target_port_);
            connections_.emplace_back([this, client, server] {
                Direction up, down;
                std::thread a([&] { Read(client, up); }), b([&] { Write(server, up); });
                std::thread c([&] { Read(server, down); }), d([&] { Write(client, down); });
                a.join();
                b.join();
                c.join();
                d.join();
                ::close(client);
                ::close(server);
            });
        }
    }

    static int RawConnect(int port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            Die("link connect");
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return fd;
    }

    void Read(int from, Direction& way) const {
        Clock::time_point wire_free = Clock::now();
        std::vector<char> buffer(kChunk);
        for (;;) {
            const ssize_t n = ::recv(from, buffer.data(), buffer.size(), 0);
            if (n <= 0) break;
            const Clock::time_point now = Clock::now();
            wire_free = std::max(now, wire_free) +
                        std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(static_cast<double>(n) / bytes_per_second_));
            std::unique_lock<std::mutex> guard(way.lock);
            way.changed.wait(guard, [&] { return way.broken || way.queued < kInFlight; });
            if (way.broken) continue;  // nobody to hand it to: read on until the sender closes
            way.chunks.push_back(
                Chunk{wire_free + one_way_, std::vector<char>(buffer.data(), buffer.data() + n)});
            way.queued += static_cast<std::size_t>(n);
            way.changed.notify_all();
        }
        std::lock_guard<std::mutex> guard(way.lock);
        way.ended = true;
        way.changed.notify_all();
    }

    static void Write(int to, Direction& way) {
        for (;;) {
            Chunk chunk;
            {
                std::unique_lock<std::mutex> guard(way.lock);
                way.changed.wait(guard, [&] { return way.ended || !way.chunks.empty(); });
                if (way.chunks.empty()) break;
                chunk = std::move(way.chunks.front());
                way.chunks.pop_front();
                way.queued -= chunk.bytes.size();
                way.changed.notify_all();
            }
            std::this_thread::sleep_until(chunk.due);
            if (!SendAll(to, chunk.bytes.data(), chunk.bytes.size())) {
                std::lock_guard<std::mutex> guard(way.lock);
                way.broken = true;
                way.chunks.clear();
                way.queued = 0;
                way.changed.notify_all();
                break;
            }
        }
        ::shutdown(to, SHUT_WR);
    }

    int target_port_;
    double bytes_per_second_;
    Clock::duration one_way_;
    int listen_ = -1;
    int port_ = 0;
    std::thread accept_;
    std::vector<std::thread> connections_;
};

// ---- Plain clients (the baselines) ------------------------------------------------------

int PlainConnect(int port, LineReader*& reader) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Die("connect");
    reader = new LineReader(fd);
    std::string greeting;
    if (!reader->ReadLine(greeting)) Die("greeting");
    return fd;
}

void PlainGetFile(int port, const std::string& path) {
    LineReader* reader = nullptr;
    const int fd = PlainConnect(port, reader);
    const std::string command = "GETFILE 100 bench.bin\r\n";
    std::string line;
    if (!SendAll(fd, command.data(), command.size()) || !reader->ReadLine(line)) Die("GETFILE");
    const std::size_t size = std::strtoul(line.c_str() + 4, nullptr, 10);
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> buf(1 << 16);
    std::size_t got = reader->TakeBuffered(buf.data(), std::min(size, buf.size()));
    if (got > 0 && ::write(out, buf.data(), got) != static_cast<ssize_t>(got)) Die("write");
    while (got < size) {
        const ssize_t n = ::recv(fd, buf.data(), std::min(buf.size(), size - got), 0);
        if (n <= 0) Die("recv");
        if (::write(out, buf.data(), static_cast<std::size_t>(n)) != n) Die("write");
        got += static_cast<std::size_t>(n);
    }
    if (!reader->ReadLine(line)) Die("final line");
    ::close(out);
    ::close(fd);
    delete reader;
}

void PlainPutFile(int port, const std::string& path, std::size_t size) {
    LineReader* reader = nullptr;
    const int fd = PlainConnect(port, reader);
    const std::string command = "PUTFILE 100 bench.bin " + std::to_string(size) + "\r\n";
    std::string line;
    if (!SendAll(fd, command.data(), command.size()) || !reader->ReadLine(line)) Die("PUTFILE");
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0) Die("read");
        if (n == 0) break;
        if (!SendAll(fd, buf.data(), static_cast<std::size_t>(n))) Die("send");
    }
    if (!reader->ReadLine(line)) Die("final line");
    ::close(in);
    ::close(fd);
    delete reader;
}

void PlainNoops(int port, long count) {
    LineReader* reader = nullptr;
    const int fd = PlainConnect(port, reader);
    std::string line;
    for (long i = 0; i < count; ++i) {
        if (!SendAll(fd, "NOOP\r\n", 6) || !reader->ReadLine(line)) Die("NOOP");
    }
    ::close(fd);
    delete reader;
}

// ---- The library ------------------------------------------------------------------------

ComPtr<IClassFactory> Factory(REFCLSID clsid) {
    const char* other = std::getenv("Q5BENCH_LIBRARY");
    void* library = ::dlopen(other && *other ? other : Q5CLIENT_LIBRARY, RTLD_NOW);
    if (!library) {
        std::fprintf(stderr, "q5bench: %s\n", ::dlerror());
        std::exit(1);
    }
    auto get = reinterpret_cast<PFN_DllGetClassObject>(::dlsym(library, "DllGetClassObject"));
    ComPtr<IClassFactory> factory;
    if (!get || FAILED(get(clsid, IID_IClassFactory, factory.AsOut()))) Die("DllGetClassObject");
    return factory;
}

template <class T>
ComPtr<T> Create(REFCLSID clsid, REFIID iid) {
    ComPtr<T> object;
    if (FAILED(Factory(clsid)->CreateInstance(nullptr, iid, object.AsOut()))) Die("CreateInstance");
    return object;
}

BStr Wide(const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    return BStr(wide.c_str(), static_cast<UINT>(wide.size()));
}

const std::string kPlainHost = "127.0.0.1";

ComPtr<IQ5Util> ConnectedUtil(int port, const std::string& host) {
    auto connect = Create<IQ5Connect>(CLSID_CoQ5Client, IID_IQ5Connect);
    if (connect->Connect(Wide(host).Get(), port, 0) != S_OK) Die("library Connect to " + host);
    ComPtr<IQ5Util> util;
    connect.As(IID_IQ5Util, util);
    return util;
}

void LibraryGetFile(int port, const std::string& path, const std::string& host = kPlainHost) {
    auto util = ConnectedUtil(port, host);
    if (util->GetFile(Wide("100").Get(), Wide("bench.bin").Get(), Wide(path).Get()) != S_OK) Die("GetFile");
}

void LibraryPutFile(int port, const std::string& path, const std::string& host = kPlainHost) {
    auto util = ConnectedUtil(port, host);
    if (util->PutFile(Wide("100").Get(), Wide("bench.bin").Get(), Wide(path).Get()) != S_OK) Die("PutFile");
}

void LibraryNoops(int port, long count, const std::string& host = kPlainHost) {
    auto util = ConnectedUtil(port, host);
    for (long i = 0; i < count; ++i) {
        if (util->KeepAlive() != S_OK) Die("KeepAlive");
    }
}

// The event that ends every benchmark stream; the stream's own events are
// numbered 1 to 1000. The queue drops its oldest events when the caller
// falls behind, never the newest, so the last event always arrives.
constexpr LONG kLastEvent = 99999;

ComPtr<ICoEvents> StartQ5Log(int port) {
    auto events = Create<ICoEvents>(CLSID_CoEvents, IID_ICoEvents);
    if (events->BeginQ5Log(Wide("127.0.0.1").Get(), port, 5, Wide("100").Get(), Wide("1234").Get(),
                           nullptr) != S_OK) {
        Die("BeginQ5Log");
    }
    return events;
}

// Takes every queued event; true once the last event of the stream came.
// With `copy`, each event's texts are copied out as a window would keep them.
bool DrainQueue(ICoEvents& events, long& seen, bool copy = false) {
    for (;;) {
        LONG id = 0;
        BStr d1, d2, d3;
        events.GetQ5Event(&id, d1.ReleaseAndGetAddressOf(), d2.ReleaseAndGetAddressOf(),
                          d3.ReleaseAndGetAddressOf());
        if (id == 0) return false;
        if (id == kLastEvent) return true;
        if (copy) {
            const std::u16string key(d1.View()), number(d2.View()), name(d3.View());
            if (key.empty() && number.empty() && name.empty()) Die("empty event");
        }
        ++seen;
    }
}

// Starts the Q5 log without a sink and polls as fast as it can until the
// last event arrived; returns how many of the stream's events were polled.
long LibraryEvents(int port) {
    auto events = StartQ5Log(port);
    long seen = 0;
    while (!DrainQueue(*events.Get(), seen)) std::this_thread::yield();
    events->EndQ5Log();
    return seen;
}

// ---- Measurement ----------------------------------------------------------------------------

double Seconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs baseline and library alternately (which goes first alternates too)
// and prints both medians as rates of `amount` per second. Each round is made
// of `slices` alternations of a slice each (amount / slices of work), so a
// short measurement sees the same load on the machine for both sides.
// The lines are "<name>_plain" and "<name>_library" unless `base_name` and
// `lib_name` are given.
void Pair(const char* name, const char* unit, double amount, int rounds, int slices,
          const std::function<void()>& baseline, const std::function<void()>& library,
          const std::string& base_name = {}, const std::string& lib_name = {}) {
    std::vector<double> base_rates, lib_rates;
    for (int round = 0; round < rounds; ++round) {
        double base_time = 0, lib_time = 0;
        for (int slice = 0; slice < slices; ++slice) {
            if ((round + slice) % 2 == 0) {
                base_time += Seconds(baseline);
                lib_time += Seconds(library);
            } else {
                lib_time += Seconds(library);
                base_time += Seconds(baseline);
            }
        }
        base_rates.push_back(amount / base_time);
        lib_rates.push_back(amount / lib_time);
    }
    const double base = Median(base_rates);
    const double lib = Median(lib_rates);
    const std::string base_line = base_name.empty() ? std::string(name) + "_plain" : base_name;
    const std::string lib_line = lib_name.empty() ? std::string(name) + "_library" : lib_name;
    std::printf("%s %.1f %s 1.000\n", base_line.c_str(), base, unit);
    std::printf("%s %.1f %s %.3f\n", lib_line.c_str(), lib, unit, lib / base);
    std::fflush(stdout);
}

std::string EventStream(long count) {
    std::string stream;
    stream.reserve(static_cast<std::size_t>(count) * 30 + 32);
    for (long i = 1; i <= count; ++i) {
        stream += std::to_string(i % 1000 + 1);
        stream += ";CALL;4711;0815 555 12 34.";
    }
    stream += std::to_string(kLastEvent) + ";END;END;END.";
    return stream;
}

// ---- The flood, one process per figure ------------------------------------------------------

// A figure of /proc/self/status in KiB (VmRSS now, VmHWM the peak so far).
long StatusKib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
    }
    return -1;
}

// The child's side of a flood figure (q5bench --flood MODE PORT READY_FD):
//   queue    the caller polls nothing until the server has handed over the
//            whole flood (READY_FD becomes readable), then drains the queue:
//            the queue alone fills up as far as it may;
//   program  the library with the call window's way of polling: every tick
//            (Q5BENCH_TICK_MS) it takes every queued event.
// Prints "baseline_kib peak_kib after_kib polled seconds": resident memory
// once the library is loaded and the event object made, the peak, and what
// is resident after the queue was drained and the log ended.
int FloodChild(const std::string& mode, int port, int ready_fd) {
    auto events = Create<ICoEvents>(CLSID_CoEvents, IID_ICoEvents);
    {
        // Warm the string conversions, so the baseline holds what they cost.
        LONG id = 0;
        BStr d1;
        events->GetQ5Event(&id, d1.ReleaseAndGetAddressOf(), nullptr, nullptr);
        (void)Wide("127.0.0.1");
    }
    const long baseline = StatusKib("VmRSS");
    const auto start = Clock::now();
    if (events->BeginQ5Log(Wide("127.0.0.1").Get(), port, 5, Wide("100").Get(), Wide("1234").Get(),
                           nullptr) != S_OK) {
        Die("BeginQ5Log");
    }
    long seen = 0;
    if (mode == "queue") {
        char byte = 0;
        if (::read(ready_fd, &byte, 1) != 1) Die("flood signal");
        while (!DrainQueue(*events.Get(), seen)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else {
        const auto tick = std::chrono::milliseconds(EnvNumber("Q5BENCH_TICK_MS", 1000));
        while (!DrainQueue(*events.Get(), seen, true)) std::this_thread::sleep_for(tick);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long peak = StatusKib("VmHWM");
    events->EndQ5Log();
    const long after = StatusKib("VmRSS");
    std::printf("%ld %ld %ld %ld %.6f\n", baseline, peak, after, seen, seconds);
    return 0;
}

// Runs one flood figure in a fresh process of this program, so that no
// figure inherits another's memory; returns the child's printed line.
std::string RunFloodChild(const char* mode, int port, int ready_fd) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) Die("pipe");
    const std::string port_text = std::to_string(port), fd_text = std::to_string(ready_fd);
    const pid_t pid = ::fork();
    if (pid < 0) Die("fork");
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const char* argv[] = {"q5bench", "--flood", mode, port_text.c_str(), fd_text.c_str(), nullptr};
        ::execv("/proc/self/exe", const_cast<char* const*>(argv));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buf[256];
    ssize_t n = 0;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "q5bench: the %s flood child failed\n", mode);
        std::exit(1);
    }
    return text;
}

double Mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

// One line per mode: the flood's rate (events of the stream per second from
// the start of the log until its last event was polled), the process's peak
// resident memory, the queue's share of it (peak less the baseline) and
// what stayed resident after draining, beyond the baseline.
void Flood(long count) {
    int ready[2];
    if (::pipe(ready) != 0) Die("pipe");
    ::fcntl(ready[1], F_SETFD, FD_CLOEXEC);
    Server server(0, EventStream(count), [&] {
        const char byte = 1;
        if (::write(ready[1], &byte, 1) != 1) Die("flood signal");
    });
    for (const char* mode : {"queue", "program"}) {
        std::istringstream line(RunFloodChild(mode, server.port(), ready[0]));
        long baseline = 0, peak = 0, after = 0, seen = 0;
        double seconds = 0;
        if (!(line >> baseline >> peak >> after >> seen >> seconds)) Die("flood child output");
        std::printf(
            "q5flood_%s %.0f events/s peak_rss %.1f MiB queue %.1f MiB after_drain %.1f MiB"
            " (%ld events, %ld polled, %ld dropped)\n",
            mode, static_cast<double>(count) / seconds, Mib(peak), Mib(peak - baseline),
            Mib(after - baseline), count, seen, count - seen);
        std::fflush(stdout);
    }
    ::close(ready[0]);
    ::close(ready[1]);
}

}  // namespace

// NOOP rounds are short; they alternate in this many slices.
constexpr int kNoopSlices = 10;

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--flood") {
        return FloodChild(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    const int rounds = static_cast<int>(EnvNumber("Q5BENCH_ROUNDS", 5));
    const std::size_t file_size = static_cast<std::size_t>(EnvNumber("Q5BENCH_MIB", 256)) << 20;
    const long noops = EnvNumber("Q5BENCH_NOOPS", 20000);
    // Round trips over a link take its round trip time each.
    const long link_noops = EnvNumber("Q5BENCH_LINK_NOOPS", 2000);
    const long events = EnvNumber("Q5BENCH_EVENTS", 2000000);
    const long flood = EnvNumber("Q5BENCH_FLOOD", 1000000);
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp && *tmp ? tmp : "/tmp";
    const std::string download = folder + "/q5bench-" + std::to_string(::getpid()) + "-down.bin";
    const std::string upload = folder + "/q5bench-" + std::to_string(::getpid()) + "-up.bin";

    Server server(file_size, EventStream(events));
    {
        const int out = ::open(upload.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::vector<char> block(1 << 20, 'x');
        for (std::size_t done = 0; done < file_size; done += block.size()) {
            const std::size_t n = std::min(block.size(), file_size - done);
            if (::write(out, block.data(), n) != static_cast<ssize_t>(n)) Die("write " + upload);
        }
        ::close(out);
    }
    const int port = server.port();
    const double mib = static_cast<double>(file_size) / (1 << 20);

    // Q5BENCH_ONLY=getfile (or putfile, noop, q5events, q5flood, tls) runs one figure.
    const char* only_env = std::getenv("Q5BENCH_ONLY");
    const std::string only = only_env ? only_env : "";
    auto wanted = [&](const char* name) { return only.empty() || only == name; };
    auto tls_wanted = [&](const char* name) {
        return only.empty() || only == "tls" || only == std::string("tls_") + name;
    };

    std::printf("# name median unit ratio (%d rounds, %.0f MiB files, %ld noops, %ld events, flood of %ld)\n",
                rounds, mib, noops, events, flood);
    if (wanted("getfile"))
        Pair(
            "getfile", "MiB/s", mib, rounds, 1, [&] { PlainGetFile(port, download); },
            [&] { LibraryGetFile(port, download); });
    if (wanted("putfile"))
        Pair(
            "putfile", "MiB/s", mib, rounds, 1, [&] { PlainPutFile(port, upload, file_size); },
            [&] { LibraryPutFile(port, upload); });
    if (wanted("noop"))
        Pair(
            "noop", "round-trips/s", static_cast<double>(noops), rounds, kNoopSlices,
            [&] { PlainNoops(port, noops / kNoopSlices); }, [&] { LibraryNoops(port, noops / kNoopSlices); });

    // The Q5 log has a goal rather than a baseline: a million records a second.
    // Records that the poll did not take before the queue had to drop them
    // do not count.
    if (wanted("q5events")) {
        std::vector<double> rates;
        long dropped = 0;
        for (int round = 0; round < rounds; ++round) {
            long seen = 0;
            const double seconds = Seconds([&] { seen = LibraryEvents(port); });
            rates.push_back(static_cast<double>(seen) / seconds);
            dropped += events - seen;
        }
        std::printf("q5events_library %.0f records/s %.3f (%ld dropped in %d rounds)\n", Median(rates),
                    Median(rates) / 1e6, dropped, rounds);
    }
    if (wanted("q5flood")) Flood(flood);

    // TLS against plain TCP, both through the library, on two servers that
    // differ only in TLS (goal: transfers 0.8 of plain, round trips 0.9).
    if (tls_wanted("getfile") || tls_wanted("putfile") || tls_wanted("noop")) {
        signal(SIGPIPE, SIG_IGN);
        char dir_template[] = "/tmp/q5bench-tls-XXXXXX";
        if (!mkdtemp(dir_template)) Die("mkdtemp");
        const q5test::TestCertificate cert =
            q5test::MakeTestCertificate(dir_template, "bench", "localhost", "IP:127.0.0.1");
        if (!cert.error.empty()) Die(cert.error);
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        if (!context || SSL_CTX_use_certificate_chain_file(context, cert.cert_file.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, cert.key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
            Die("TLS context");
        }
        SSL_CTX_set_read_ahead(context, 1);
        SSL_CTX_set_default_read_buffer_len(context, 64 * 1024);
        ::unlink(cert.cert_file.c_str());
        ::unlink(cert.key_file.c_str());
        ::rmdir(dir_template);
        Server tls_server(file_size, std::string(), {}, context);
        const int tls_port = tls_server.port();
        const std::string tls_host = "tls://127.0.0.1#sha256=" + cert.fingerprint;
        if (tls_wanted("getfile"))
            Pair(
                "getfile", "MiB/s", mib, rounds, 1, [&] { LibraryGetFile(port, download); },
                [&] { LibraryGetFile(tls_port, download, tls_host); }, "getfile_tcp", "getfile_tls");
        if (tls_wanted("putfile"))
            Pair(
                "putfile", "MiB/s", mib, rounds, 1, [&] { LibraryPutFile(port, upload); },
                [&] { LibraryPutFile(tls_port, upload, tls_host); }, "putfile_tcp", "putfile_tls");
        if (tls_wanted("noop"))
            Pair(
                "noop", "round-trips/s", static_cast<double>(noops), rounds, kNoopSlices,
                [&] { LibraryNoops(port, noops / kNoopSlices); },
                [&] { LibraryNoops(tls_port, noops / kNoopSlices, tls_host); }, "noop_tcp", "noop_tls");

        // The same pairs over a network link (Q5BENCH_LINK_MBIT megabits a
        // second, Q5BENCH_LINK_RTT_US microseconds of round trip, default
        // 200), each server behind a link of its own.
        const long link_mbit = EnvNumber("Q5BENCH_LINK_MBIT", 0);
        if (link_mbit > 0) {
            const long rtt_us = EnvNumber("Q5BENCH_LINK_RTT_US", 200);
            Link plain_link(port, static_cast<double>(link_mbit), rtt_us);
            Link tls_link(tls_port, static_cast<double>(link_mbit), rtt_us);
            const std::string suffix = "_" + std::to_string(link_mbit) + "mbit";
            const int plain_via = plain_link.port(), tls_via = tls_link.port();
            std::printf("# over a link of %ld Mbit/s with a round trip of %ld us\n", link_mbit, rtt_us);
            if (tls_wanted("getfile"))
                Pair(
                    "getfile", "MiB/s", mib, rounds, 1, [&] { LibraryGetFile(plain_via, download); },
                    [&] { LibraryGetFile(tls_via, download, tls_host); }, "getfile_tcp" + suffix,
                    "getfile_tls" + suffix);
            if (tls_wanted("putfile"))
                Pair(
                    "putfile", "MiB/s", mib, rounds, 1, [&] { LibraryPutFile(plain_via, upload); },
                    [&] { LibraryPutFile(tls_via, upload, tls_host); }, "putfile_tcp" + suffix,
                    "putfile_tls" + suffix);
            if (tls_wanted("noop"))
                Pair(
                    "noop", "round-trips/s", static_cast<double>(link_noops), rounds, kNoopSlices,
                    [&] { LibraryNoops(plain_via, link_noops / kNoopSlices); },
                    [&] { LibraryNoops(tls_via, link_noops / kNoopSlices, tls_host); }, "noop_tcp" + suffix,
                    "noop_tls" + suffix);
        }
    }

    ::unlink(download.c_str());
    ::unlink(upload.c_str());
    return 0;
}
