#pragma once

#include <cstdint>
#include <string>

// Directory listing with FindFirstFile/FindNextFile/FindClose.
namespace platform {

struct FindData {
    std::string fileName;       // the long name, without directory
    std::string alternateName;  // the 8.3 name when the long one needs one, else empty
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // FILETIME ticks
};

struct FindSearch;  // an open search; null stands for INVALID_HANDLE_VALUE

// pattern is a directory and a name with the '*' and '?' wildcards ("C:\dir\*.*"). Null and
// the last error (2, 3) when nothing matches or the directory is missing.
FindSearch* findFirstFile(const std::string& pattern, FindData* data);
// False with last error 18 (no more files) at the end.
bool findNextFile(FindSearch* search, FindData* data);
void findClose(FindSearch* search);

}  // namespace platform
