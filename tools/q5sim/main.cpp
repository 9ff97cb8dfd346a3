// q5sim: an emulator of the Q5Server's side of the line protocol, for the
// end-to-end tests and for trying the client without a telephony server.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <thread>

#include "log.h"
#include "options.h"
#include "seed.h"
#include "server.h"

int main(int argc, char** argv) {
    std::string error;
    const auto options = q5sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "q5sim: %s\n%s", error.c_str(), q5sim::Usage());
        return 2;
    }
    if (options->help) {
        std::fputs(q5sim::Usage(), stdout);
        return 0;
    }
    if (options->version) {
        std::puts("q5sim " Q5_VERSION);
        return 0;
    }
    q5sim::SetQuiet(options->quiet);

    // Signals go to one waiting thread only; every other thread is spared.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        if (options->seed_demo && q5sim::SeedDemo(options->server.data_dir)) {
            q5sim::LogLine("demo mailboxes 101 and 102 created in " + options->server.data_dir.string());
        }
        q5sim::Server server(options->server);
        const unsigned short port = server.Start();
        std::printf("port %u\n", static_cast<unsigned>(port));
        std::fflush(stdout);
        q5sim::LogLine("listening on " + options->server.host + ":" + std::to_string(port) + ", data in " +
                       options->server.data_dir.string());
        std::thread waiter([&server, signals] {
            int received = 0;
            sigwait(&signals, &received);
            server.RequestStop();
        });
        server.Run();
        // Wake the waiter if the server ended for another reason.
        pthread_kill(waiter.native_handle(), SIGTERM);
        waiter.join();
        server.Stop();
        q5sim::LogLine("stopped");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "q5sim: %s\n", failure.what());
        return 1;
    }
    return 0;
}
