#include "dir_entries.h"

#include <dirent.h>

namespace q5test {

long CountDirectoryEntries(const char* folder) {
    long count = 0;
    if (DIR* dir = ::opendir(folder)) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.') ++count;
        }
        ::closedir(dir);
    }
    return count;
}

}  // namespace q5test
