#include "platform/files.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/errors.h"

namespace platform {

namespace {

// The runtime keeps the system's own reason for a failed open in _doserrno; errno alone
// would lose the difference between a missing file and a missing directory.
uint32_t reasonForFailedOpen() {
    if (_doserrno != 0) return static_cast<uint32_t>(_doserrno);
    switch (errno) {
        case ENOENT:
            return error::kFileNotFound;
        case EINVAL:
            return error::kInvalidParameter;
        case EMFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        default:
            return error::kAccessDenied;
    }
}

std::FILE* openStream(const std::string& path, const char* mode) {
    _doserrno = 0;
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) SetLastError(reasonForFailedOpen());
    return file;
}

}  // namespace

uint32_t getFileAttributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

std::FILE* openFile(const std::string& path, const char* mode) { return openStream(path, mode); }

bool appendTextFile(const std::string& path, const std::string& text) {
    // Text mode: the runtime turns each line feed into carriage return and line feed.
    std::FILE* file = openStream(path, "a");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

std::string getCurrentDirectory() {
    // The directory can change between asking for the size and reading it: ask again then.
    for (;;) {
        const DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0) return {};
        std::vector<char> buffer(needed);
        const DWORD length = GetCurrentDirectoryA(needed, buffer.data());
        if (length == 0) return {};
        if (length < needed) return std::string(buffer.data(), length);
    }
}

bool setCurrentDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

}  // namespace platform
