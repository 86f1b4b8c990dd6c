#pragma once

#include <cstdint>
#include <string>

// Copying, moving, deleting and describing files and directories, with the Win32 semantics
// the file toolbox relies on: failures leave the reason in the last error (2, 3, 5, 32, 33,
// 80, 120, 183, ...).
namespace platform {

constexpr uint32_t kMoveFileReplaceExisting = 0x1;
constexpr uint32_t kMoveFileCopyAllowed = 0x2;
constexpr uint32_t kMoveFileDelayUntilReboot = 0x4;

// CopyFile: existing destinations are overwritten unless failIfExists.
bool copyFile(const std::string& from, const std::string& to, bool failIfExists);
// MoveFile: a rename that fails when the target exists.
bool moveFile(const std::string& from, const std::string& to);
// MoveFileEx. With kMoveFileDelayUntilReboot the move is only recorded for the next restart;
// a null target then means a deletion at restart.
bool moveFileEx(const std::string& from, const std::string* to, uint32_t flags);
bool deleteFile(const std::string& path);
bool createDirectory(const std::string& path);
bool removeDirectory(const std::string& path);
bool setFileAttributes(const std::string& path, uint32_t attributes);

// Times in 100-nanosecond ticks since 1601-01-01 UTC, as a FILETIME holds them.
struct FileTimes {
    uint64_t creation = 0;
    uint64_t lastAccess = 0;
    uint64_t lastWrite = 0;
};
// CreateFile (attribute access only) and GetFileTime on a file or a directory.
bool getFileTimes(const std::string& path, FileTimes* times);
// SetFileTime: a field of 0 leaves that time unchanged.
bool setFileTimes(const std::string& path, const FileTimes& times);

// GetTempFileName: with unique 0 a new empty file named prefix (its first three characters),
// a hexadecimal number and ".TMP" is created in directory; its full path goes to *name. The
// number used is returned, 0 on failure.
uint32_t getTempFileName(const std::string& directory, const std::string& prefix, uint32_t unique,
                         std::string* name);

// GetShortPathName: the 8.3 form of an existing path; components that need no short name are
// kept as they are. False and the last error when the path does not exist.
bool getShortPathName(const std::string& path, std::string* shortPath);

}  // namespace platform
