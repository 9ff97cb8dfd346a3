// q5ctl: the Q5Server from a shell, through the registered Q5Client library.
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "ctl_client.h"
#include "ctl_text.h"

namespace {

using q5ctl::Client;

std::string Env(const char* name, std::string fallback = {}) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

// Reads a line from the terminal with echo off; false when stdin is no
// terminal or nothing could be read.
bool PromptPassword(std::string& password) {
    if (!isatty(STDIN_FILENO)) return false;
    termios old_mode{};
    if (tcgetattr(STDIN_FILENO, &old_mode) != 0) return false;
    termios quiet = old_mode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    std::cerr << "Password: " << std::flush;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool got = static_cast<bool>(std::getline(std::cin, password));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &old_mode);
    std::cerr << "\n";
    return got;
}

void Stop(int) {
    Client::RequestStop();
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!q5ctl::FromUtf8(argv[i])) {
            std::cerr << "q5ctl: argument " << i << " is not valid UTF-8\n";
            return q5ctl::kUsage;
        }
    }

    CLI::App app{"Script the Q5Server through the Q5Client library."};
    app.name("q5ctl");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "q5ctl " Q5CTL_VERSION);

    q5ctl::Settings settings;
    std::string host = Env("Q5_HOST", "localhost");
    settings.user = Env("Q5_USER");
    std::string password_file, trace;
    app.add_option("--host", host,
                   "server as HOST[:PORT] or tls://HOST[:PORT][#sha256=FINGERPRINT] (default $Q5_HOST, else "
                   "localhost:1008)")
        ->type_name("HOST[:PORT]");
    app.add_option("--user", settings.user, "mailbox or superuser name (default $Q5_USER)")
        ->type_name("USER");
    app.add_option("--password-file", password_file, "read the password from the first line of FILE")
        ->type_name("FILE");
    app.add_flag("--su", settings.superuser, "log in as superuser");
    app.add_option("--timeout", settings.timeout, "connect timeout in seconds")
        ->type_name("SECONDS")
        ->check(CLI::Range(0, 3600));
    app.add_option("--mailbox", settings.mailbox,
                   "mailbox of files, conversions and faxes (default: the user)")
        ->type_name("BOX");
    app.add_flag("--json", settings.json, "print info and get as a JSON object");
    app.add_option("--trace", trace, "append the protocol's command and status lines to FILE")
        ->type_name("FILE");

    std::function<int(Client&)> action;
    bool offline = false;
    std::string table, remote, local, name, direction, attr, box, mode;
    std::vector<std::string> words;
    int job = 0, count = 0;
    bool status = false;

    app.add_subcommand("info", "server uptime, serial, version, load and version type")->callback([&] {
        action = [](Client& c) { return c.Info(); };
    });
    app.add_subcommand("tables", "list the tables")->callback([&] {
        offline = true;
        action = [](Client& c) { return c.Tables(); };
    });
    auto* fields = app.add_subcommand("fields", "list the fields of TABLE");
    fields->add_option("TABLE", table)->required();
    fields->callback([&] {
        offline = true;
        action = [&](Client& c) { return c.Fields(table); };
    });
    auto* get = app.add_subcommand("get", "print fields of the user's row of TABLE");
    get->add_option("TABLE", table)->required();
    get->add_option("FIELD", words);
    get->add_option("--key", settings.key, "open the row with this key first (superuser)");
    get->callback([&] { action = [&](Client& c) { return c.Get(table, words); }; });
    auto* set = app.add_subcommand("set", "change fields of the user's row of TABLE");
    set->add_option("TABLE", table)->required();
    set->add_option("FIELD=VALUE", words)->required();
    set->add_option("--key", settings.key, "open the row with this key first (superuser)");
    set->callback([&] { action = [&](Client& c) { return c.Set(table, words); }; });
    auto* dump = app.add_subcommand("dump", "print every row of TABLE as JSON lines (superuser)");
    dump->add_option("TABLE", table)->required();
    dump->callback([&] { action = [&](Client& c) { return c.Dump(table); }; });
    auto* get_file = app.add_subcommand("get-file", "download REMOTE of the mailbox to LOCAL");
    get_file->add_option("REMOTE", remote)->required();
    get_file->add_option("LOCAL", local)->required();
    get_file->callback([&] { action = [&](Client& c) { return c.GetFile(remote, local); }; });
    auto* put_file = app.add_subcommand("put-file", "upload LOCAL as REMOTE of the mailbox");
    put_file->add_option("LOCAL", local)->required();
    put_file->add_option("REMOTE", remote)->required();
    put_file->callback([&] { action = [&](Client& c) { return c.PutFile(local, remote); }; });
    auto* convert = app.add_subcommand("convert", "convert a mailbox file: v2w (to wave) or w2v");
    convert->add_option("DIRECTION", direction)->required()->check(CLI::IsMember({"v2w", "w2v"}));
    convert->add_option("NAME", name)->required();
    convert->callback([&] { action = [&](Client& c) { return c.Convert(direction, name); }; });
    auto* events = app.add_subcommand("events", "print events as JSON lines until interrupted");
    events->add_flag("--status", status, "channel status reports instead of Q5 events (superuser)");
    events->add_option("--count", count, "stop after N events")->check(CLI::Range(0, 1 << 30));
    events->callback([&] { action = [&](Client& c) { return c.Events(status, count); }; });

    auto* fax = app.add_subcommand("fax", "fax jobs of the mailbox");
    fax->require_subcommand(1);
    fax->add_subcommand("list", "list the job numbers")->callback([&] {
        action = [](Client& c) { return c.FaxList(); };
    });
    auto* fax_status = fax->add_subcommand("status", "print the state of JOB");
    fax_status->add_option("JOB", job)->required();
    fax_status->callback([&] { action = [&](Client& c) { return c.FaxStatus(job); }; });
    auto* fax_cancel = fax->add_subcommand("cancel", "cancel JOB");
    fax_cancel->add_option("JOB", job)->required();
    fax_cancel->callback([&] { action = [&](Client& c) { return c.FaxCancel(job); }; });
    auto* fax_retry = fax->add_subcommand("retry", "send JOB again");
    fax_retry->add_option("JOB", job)->required();
    fax_retry->callback([&] { action = [&](Client& c) { return c.FaxRetry(job); }; });
    auto* fax_attr = fax->add_subcommand("attr", "print attribute ATTR of JOB");
    fax_attr->add_option("JOB", job)->required();
    fax_attr->add_option("ATTR", attr)->required();
    fax_attr->callback([&] { action = [&](Client& c) { return c.FaxAttr(job, attr); }; });

    auto* admin = app.add_subcommand("admin", "administration (superuser)");
    admin->require_subcommand(1);
    auto* add_box = admin->add_subcommand("add-mailbox", "create mailbox BOX");
    add_box->add_option("BOX", box)->required();
    add_box->callback([&] { action = [&](Client& c) { return c.AddMailbox(box); }; });
    auto* del_box = admin->add_subcommand("delete-mailbox", "delete mailbox BOX");
    del_box->add_option("BOX", box)->required();
    del_box->callback([&] { action = [&](Client& c) { return c.DeleteMailbox(box); }; });
    auto* mwi = admin->add_subcommand("mwi", "set the message waiting lamp of BOX (MODE: one letter)");
    mwi->add_option("BOX", box)->required();
    mwi->add_option("MODE", mode)->required();
    mwi->callback([&] { action = [&](Client& c) { return c.Mwi(box, mode); }; });
    admin->add_subcommand("reset-mwi", "reset every message waiting lamp")->callback([&] {
        action = [](Client& c) { return c.ResetMwi(); };
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? q5ctl::kOk : q5ctl::kUsage;
    }
    if (!action) {
        std::cerr << app.help();
        return q5ctl::kUsage;
    }

    const auto where = q5ctl::ParseHost(host, 1008);
    if (!where) {
        std::cerr << "q5ctl: --host takes HOST, HOST:PORT or tls://HOST[:PORT], not " << host << "\n";
        return q5ctl::kUsage;
    }
    settings.host = where->host;
    settings.port = where->port;
    if (!trace.empty()) setenv("Q5CLIENT_TRACE", trace.c_str(), 1);

    if (!offline) {
        if (!password_file.empty()) {
            std::ifstream in(password_file);
            if (!in || !std::getline(in, settings.password)) {
                std::cerr << "q5ctl: cannot read the password from " << password_file << "\n";
                return q5ctl::kLocalFile;
            }
            if (!settings.password.empty() && settings.password.back() == '\r') settings.password.pop_back();
        } else if (const char* env = std::getenv("Q5_PASSWORD")) {
            settings.password = env;
        } else if (!PromptPassword(settings.password)) {
            std::cerr << "q5ctl: no password: give --password-file, set Q5_PASSWORD or run on a terminal\n";
            return q5ctl::kUsage;
        }
        if (!q5ctl::FromUtf8(settings.password)) {
            std::cerr << "q5ctl: the password is not valid UTF-8\n";
            return q5ctl::kUsage;
        }
    }
    settings.progress = isatty(STDERR_FILENO) != 0;

    struct sigaction on_stop {};
    on_stop.sa_handler = Stop;
    sigemptyset(&on_stop.sa_mask);
    sigaction(SIGINT, &on_stop, nullptr);
    sigaction(SIGTERM, &on_stop, nullptr);

    Client client(std::move(settings), std::cout, std::cerr);
    const int rc = action(client);
    std::cout.flush();
    return rc;
}
