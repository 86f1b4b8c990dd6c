#include "platform/file_ops.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

uint64_t ticksOf(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME fileTimeOf(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// Backup semantics let the same call open a directory.
HANDLE openForTimes(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// CloseHandle would overwrite the reason a call on the handle failed.
bool closeKeepingError(HANDLE handle, bool succeeded) {
    const DWORD reason = GetLastError();
    CloseHandle(handle);
    if (!succeeded) SetLastError(reason);
    return succeeded;
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool moveFile(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool moveFileEx(const std::string& from, const std::string* to, uint32_t flags) {
    return MoveFileExA(from.c_str(), to != nullptr ? to->c_str() : nullptr, flags) != FALSE;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool createDirectory(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool removeDirectory(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

bool setFileAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

// Attribute access only: sharing is not checked for it, so the times of a file that another
// program holds without any sharing can still be read, as they can be listed.
bool getFileTimes(const std::string& path, FileTimes* times) {
    HANDLE handle = openForTimes(path, FILE_READ_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FILETIME creation, lastAccess, lastWrite;
    const bool read = GetFileTime(handle, &creation, &lastAccess, &lastWrite) != FALSE;
    if (read) {
        times->creation = ticksOf(creation);
        times->lastAccess = ticksOf(lastAccess);
        times->lastWrite = ticksOf(lastWrite);
    }
    return closeKeepingError(handle, read);
}

// Opened for writing, so a read-only file or one held without write sharing refuses.
bool setFileTimes(const std::string& path, const FileTimes& times) {
    HANDLE handle = openForTimes(path, GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const FILETIME creation = fileTimeOf(times.creation);
    const FILETIME lastAccess = fileTimeOf(times.lastAccess);
    const FILETIME lastWrite = fileTimeOf(times.lastWrite);
    const bool written = SetFileTime(handle, times.creation != 0 ? &creation : nullptr,
                                     times.lastAccess != 0 ? &lastAccess : nullptr,
                                     times.lastWrite != 0 ? &lastWrite : nullptr) != FALSE;
    return closeKeepingError(handle, written);
}

uint32_t getTempFileName(const std::string& directory, const std::string& prefix, uint32_t unique,
                         std::string* name) {
    char buffer[MAX_PATH + 1] = {};
    const UINT number = GetTempFileNameA(directory.c_str(), prefix.c_str(), unique, buffer);
    if (number != 0) *name = buffer;
    return number;
}

bool getShortPathName(const std::string& path, std::string* shortPath) {
    // The needed size is asked first; the name can grow between the two calls, so ask again.
    for (;;) {
        const DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
        if (needed == 0) return false;
        std::vector<char> buffer(needed);
        const DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), needed);
        if (length == 0) return false;
        if (length < needed) {
            shortPath->assign(buffer.data(), length);
            return true;
        }
    }
}

}  // namespace platform
