#include "platform/find_files.h"

#include <windows.h>

#include "platform/errors.h"

namespace platform {

struct FindSearch {
    HANDLE handle;
};

namespace {

void convert(const WIN32_FIND_DATAA& found, FindData* data) {
    data->fileName = found.cFileName;
    data->alternateName = found.cAlternateFileName;
    data->attributes = found.dwFileAttributes;
    data->size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    data->lastWrite = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                      found.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

FindSearch* findFirstFile(const std::string& pattern, FindData* data) {
    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA(pattern.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    convert(found, data);
    return new FindSearch{handle};
}

bool findNextFile(FindSearch* search, FindData* data) {
    if (search == nullptr) {
        SetLastError(error::kInvalidHandle);
        return false;
    }
    WIN32_FIND_DATAA found;
    if (FindNextFileA(search->handle, &found) == FALSE) return false;
    convert(found, data);
    return true;
}

void findClose(FindSearch* search) {
    if (search == nullptr) return;
    FindClose(search->handle);
    delete search;
}

}  // namespace platform
