#include "server.h"

#include <algorithm>
#include <stdexcept>

#include "connection.h"
#include "log.h"
#include "screening.h"
#include "seed.h"
#include "session.h"
#include "store.h"

namespace q5sim {

Server::Server(ServerConfig config)
    : context_(std::make_unique<ServerContext>(std::move(config))), acceptor_(io_) {}

Server::~Server() {
    Stop();
}

unsigned short Server::Start() {
    Store::Initialize(context_->config.data_dir);
    if (const int removed = Store::RemovePartialUploads(context_->config.data_dir); removed > 0)
        LogLine("removed " + std::to_string(removed) + " unfinished upload(s)");
    if (!context_->config.tls_cert.empty()) {
        // TLS 1.2 or later; the files are read now, so a bad one stops the start.
        tls_ = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_server);
        tls_->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                          asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                          asio::ssl::context::no_tlsv1_1);
        tls_->use_certificate_chain_file(context_->config.tls_cert.string());
        tls_->use_private_key_file(context_->config.tls_key.string(), asio::ssl::context::pem);
    }
    // A host name is looked up; its first address is served.
    asio::ip::tcp::resolver resolver(io_);
    const auto results = resolver.resolve(context_->config.host, std::to_string(context_->config.port),
                                          asio::ip::resolver_base::numeric_service);
    if (results.empty()) throw std::runtime_error("no address for " + context_->config.host);
    const asio::ip::tcp::endpoint endpoint = results.begin()->endpoint();
    acceptor_.open(endpoint.protocol());
    acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
    acceptor_.bind(endpoint);
    acceptor_.listen();
    Accept();
    if (context_->config.demo_call_seconds > 0) demo_thread_ = std::thread([this] { DemoCallLoop(); });
    return acceptor_.local_endpoint().port();
}

void Server::Run() {
    io_.run();
}

void Server::RequestStop() {
    context_->stop = true;
    asio::post(io_, [this] {
        asio::error_code ignored;
        acceptor_.close(ignored);
    });
    {
        std::lock_guard lock(demo_mutex_);
        stopped_ = true;
    }
    demo_wake_.notify_all();
}

void Server::Stop() {
    RequestStop();
    io_.stop();
    if (demo_thread_.joinable()) demo_thread_.join();
    std::list<std::unique_ptr<Worker>> workers;
    {
        std::lock_guard lock(workers_mutex_);
        workers.swap(workers_);
    }
    for (auto& worker : workers) {
        if (worker->thread.joinable()) worker->thread.join();
    }
}

void Server::ReapFinished() {
    std::list<std::unique_ptr<Worker>> finished;
    {
        std::lock_guard lock(workers_mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            if ((*it)->done) {
                finished.push_back(std::move(*it));
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& worker : finished) worker->thread.join();
}

void Server::Accept() {
    acceptor_.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
        if (!error) {
            ReapFinished();
            asio::error_code ignored;
            const std::string address = socket.remote_endpoint(ignored).address().to_string();
            std::unique_lock lock(workers_mutex_);
            const auto from_address =
                static_cast<std::size_t>(std::count_if(workers_.begin(), workers_.end(), [&](const auto& w) {
                    return !w->done && w->address == address;
                }));
            const char* refusal = workers_.size() >= context_->config.max_connections ? "too many connections"
                                  : from_address >= context_->config.max_per_address
                                      ? "too many connections from one address"
                                      : nullptr;
            if (refusal) {
                lock.unlock();
                LogLine(std::string(refusal) + "; refusing " + address);
                socket.close(ignored);
            } else {
                auto worker = std::make_unique<Worker>();
                worker->address = address;
                Worker* raw = worker.get();
                const int id = next_id_++;
                raw->thread = std::thread([this, raw, id, s = std::move(socket)]() mutable {
                    try {
                        Connection connection(std::move(s), context_->stop);
                        std::string problem;
                        if (tls_ && !connection.StartTls(tls_->native_handle(),
                                                         context_->config.transfer_limit, problem)) {
                            LogLine("#" + std::to_string(id) + " TLS handshake with " + connection.peer() +
                                    " failed: " + problem);
                            raw->done = true;
                            return;
                        }
                        Session session(*context_, connection, id);
                        session.Run();
                    } catch (const std::exception& failure) {
                        LogLine("#" + std::to_string(id) + " ended by error: " + failure.what());
                    }
                    raw->done = true;
                });
                workers_.push_back(std::move(worker));
            }
        }
        Accept();
    });
}

void Server::DemoCallLoop() {
    std::size_t turn = 0;
    const auto callers = DemoCallers();
    std::unique_ptr<Store> store;
    std::unique_lock lock(demo_mutex_);
    while (!stopped_) {
        demo_wake_.wait_for(lock, std::chrono::seconds(context_->config.demo_call_seconds),
                            [this] { return stopped_; });
        if (stopped_) break;
        lock.unlock();
        try {
            if (!store) store = std::make_unique<Store>(context_->config.data_dir);
            for (const std::string& box : context_->calls.LoggedIn()) {
                const DemoCaller& caller = callers[turn++ % callers.size()];
                StartScreenedCall(*store, context_->calls, box, caller.number, caller.name);
            }
        } catch (const std::exception& failure) {
            LogLine(std::string("demo call failed: ") + failure.what());
        }
        lock.lock();
    }
}

}  // namespace q5sim
