// Counting what a process holds, from /proc: open descriptors, threads.
//
// Thread rule: stateless; any thread.
#pragma once

namespace q5test {

// Entries of a folder, "." and ".." not counted; 0 when it cannot be read.
// For /proc/self/fd the count includes the descriptor of the listing itself.
long CountDirectoryEntries(const char* folder);

}  // namespace q5test
