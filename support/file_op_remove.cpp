#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "support/debug_log.h"
#include "support/file_finder.h"
#include "support/file_op.h"

namespace FileOp {

bool RemoveFile(const PathObject& file, int flags) {
    const CStdStr path = file.GetFullPath();
    const uint32_t attributes = platform::getFileAttributes(path);
    if (attributes != platform::kInvalidFileAttributes)
        platform::setFileAttributes(path, attributes & ~platform::kFileAttributeReadOnly);
    if (!(flags & RemoveAtReboot)) {
        if (platform::deleteFile(path)) return true;
        const uint32_t code = platform::getLastError();
        if ((flags & NoRebootFallback) || code == platform::error::kFileNotFound ||
            code == platform::error::kPathNotFound)
            return false;
    }
    return replaceOnReboot(path, nullptr);
}

bool Remove(const PathObject& target, int flags) {
    if (target.HasFileName()) return RemoveFile(target, flags);
    if (!target.GetDir().empty()) return deleteDir(target);
    LogLine("FileOp::Remove: nothin' from nothin' leaves nothin'!");
    return false;
}

}  // namespace FileOp

bool deleteDir(const PathObject& directory) {
    if (platform::removeDirectory(directory.GetDir())) return true;
    if (platform::getLastError() != platform::error::kFileNotFound)
        FileOp::replaceOnReboot(CStdStr(directory.GetDir() + "\\"), nullptr);
    return true;
}

bool WipeOutDirectory(const PathObject& directory) {
    if (directory.GetDir().empty() || directory.HasFileName()) {
        LogLine("WipeOutDirectory: the parameter must be a directory!  Passed: ",
                directory.GetFullPath());
        return false;
    }
    PathObject pattern;
    pattern.SetDir(directory.GetDir());
    pattern.SetFileName("*.*");
    for (FileFinder finder(pattern); finder.IsValid(); finder.Next()) {
        if (finder.IsDotEntry()) continue;
        PathObject entry = finder.Current();
        if (finder.IsDirectoryEntry()) {
            PathObject subdirectory;
            subdirectory.SetDir(directory.GetDir());
            subdirectory.AppendDir(entry.GetFileName());
            WipeOutDirectory(subdirectory);
        } else {
            FileOp::Remove(entry, 0);
        }
    }
    FileOp::Remove(directory, 0);
    return true;
}
