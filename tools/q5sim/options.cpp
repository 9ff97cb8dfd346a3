#include "options.h"

#include <charconv>

namespace q5sim {

namespace {

std::optional<long> Number(const std::string& text, long low, long high) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

const char* Usage() {
    return "usage: q5sim --data DIR [--listen HOST:PORT] [--seed-demo] [--demo-calls SECONDS]\n"
           "             [--su NAME:PASSWORD]... [--channels N] [--call-linger SECONDS]\n"
           "             [--ring-seconds SECONDS] [--login-seconds SECONDS] [--per-address N]\n"
           "             [--tls-cert FILE --tls-key FILE] [--quiet]\n"
           "       q5sim --help | --version\n"
           "  --listen HOST:PORT    address to serve (default 127.0.0.1:1008); port 0 picks a free\n"
           "                        port; the port is printed on stdout as \"port N\"\n"
           "  --data DIR            database (DIR/q5sim.db) and mailbox files (DIR/mailboxes/N/)\n"
           "  --seed-demo           create the demo mailboxes 101 (password 1234) and 102 (2345)\n"
           "  --demo-calls SECONDS  start a call for every logged-in mailbox every SECONDS\n"
           "  --su NAME:PASSWORD    a superuser account (repeatable)\n"
           "  --channels N          telephone channels (default 8)\n"
           "  --call-linger SECONDS how long an answered, transferred or voice-mail call lasts (default 3)\n"
           "  --ring-seconds S      unanswered calls go to voice mail after S seconds (default 30)\n"
           "  --login-seconds S     a connection must log in within S seconds of connecting or of\n"
           "                        QUIT, or it is closed (default 30)\n"
           "  --per-address N       open connections allowed from one peer address (default 32); more\n"
           "                        are closed at once, before the greeting\n"
           "  --tls-cert FILE       serve TLS (1.2 or later) with this PEM certificate (chain)\n"
           "  --tls-key FILE        and this PEM private key; both or neither\n"
           "  --quiet               no log lines on stderr\n"
           "  --help                print this help\n"
           "  --version             print the version\n";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options options;
    bool have_data = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--seed-demo") {
            options.seed_demo = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--data") {
            const auto v = value();
            if (!v) return std::nullopt;
            options.server.data_dir = *v;
            have_data = !v->empty();
        } else if (arg == "--listen") {
            const auto v = value();
            if (!v) return std::nullopt;
            const std::size_t colon = v->rfind(':');
            const auto port =
                colon == std::string::npos ? std::nullopt : Number(v->substr(colon + 1), 0, 65535);
            if (!port || colon == 0) {
                error = "--listen wants HOST:PORT";
                return std::nullopt;
            }
            options.server.host = v->substr(0, colon);
            options.server.port = static_cast<unsigned short>(*port);
        } else if (arg == "--tls-cert" || arg == "--tls-key") {
            const auto v = value();
            if (!v) return std::nullopt;
            (arg == "--tls-cert" ? options.server.tls_cert : options.server.tls_key) = *v;
        } else if (arg == "--su") {
            const auto v = value();
            if (!v) return std::nullopt;
            const std::size_t colon = v->find(':');
            if (colon == std::string::npos || colon == 0) {
                error = "--su wants NAME:PASSWORD";
                return std::nullopt;
            }
            options.server.superusers[v->substr(0, colon)] = v->substr(colon + 1);
        } else if (arg == "--demo-calls" || arg == "--channels" || arg == "--call-linger" ||
                   arg == "--ring-seconds" || arg == "--login-seconds" || arg == "--per-address") {
            const auto v = value();
            if (!v) return std::nullopt;
            const auto n = Number(*v, arg == "--demo-calls" || arg == "--call-linger" ? 0 : 1, 86400);
            if (!n || (arg == "--channels" && *n > 999) ||
                (arg == "--per-address" && static_cast<std::size_t>(*n) > options.server.max_connections)) {
                error = arg + " wants a number";
                return std::nullopt;
            }
            const int number = static_cast<int>(*n);
            if (arg == "--demo-calls") options.server.demo_call_seconds = number;
            if (arg == "--channels") options.server.channels = number;
            if (arg == "--call-linger") options.server.timing.linger_seconds = number;
            if (arg == "--ring-seconds") options.server.timing.ring_seconds = number;
            if (arg == "--login-seconds") options.server.login_limit = std::chrono::seconds(number);
            if (arg == "--per-address") options.server.max_per_address = static_cast<std::size_t>(number);
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (options.server.tls_cert.empty() != options.server.tls_key.empty()) {
        error = "--tls-cert and --tls-key go together";
        return std::nullopt;
    }
    if (!have_data && !options.help && !options.version) {
        error = "--data DIR is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace q5sim
