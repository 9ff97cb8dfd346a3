// The command line of q5sim.
//
// Thread rule: stateless; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server.h"

namespace q5sim {

struct Options {
    ServerConfig server;
    bool seed_demo = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Nullopt with `error` set when the arguments are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);
const char* Usage();

}  // namespace q5sim
