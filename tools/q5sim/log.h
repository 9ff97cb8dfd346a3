// One line per event on standard error, unless silenced.
//
// Thread rule: any thread; each line goes out whole in one write, without
// a lock.
#pragma once

#include <string_view>

namespace q5sim {

void SetQuiet(bool quiet);
void LogLine(std::string_view text);

}  // namespace q5sim
