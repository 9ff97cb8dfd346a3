// Location of the registry files, reading them, and changing them safely
// while other threads and processes may do the same.
//
// Thread rule: free functions without shared state; safe from any thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "registry_store.h"

namespace q5com::reg {

// $Q5COM_REGISTRY if set and not empty, else $XDG_CONFIG_HOME/q5com/registry
// (when that is an absolute path), else <home>/.config/q5com/registry.
// False when no home directory can be found.
bool ResolvePath(std::string& path);

// The system registry files in order of precedence: <dir>/q5com/registry for
// each absolute entry of $XDG_CONFIG_DIRS, or /etc/xdg/q5com/registry when it
// names none.
std::vector<std::string> SystemPaths();

// The system registry to read: the first of SystemPaths() that exists;
// false when none does.
bool FindSystemPath(std::string& path);

// Reads and parses the file; a missing file is an empty registry. On failure
// returns false and describes the problem in error.
bool Load(const std::string& path, Store& store, std::string& error);

// Runs change on the current contents while holding an exclusive lock on
// "<path>.lock", and when change reports a modification replaces the file
// atomically (temporary file in the same directory, fsync, rename). Creates
// missing parent directories. On failure returns false and describes the
// problem in error; the file is then unchanged.
bool Update(const std::string& path, const std::function<bool(Store&)>& change, std::string& error);

}  // namespace q5com::reg
