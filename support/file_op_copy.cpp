#include <cstdio>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "support/debug_log.h"
#include "support/file_op.h"

namespace {

bool copyOver(const PathObject& source, const PathObject& destination) {
    return platform::copyFile(source.GetFullPath(), destination.GetFullPath(), false);
}

// The destination is held open by someone: move it aside and copy again, or, when even that
// is refused, leave the new file beside it for the system to swap in at the next restart.
bool copyOverFileInUse(const PathObject& source, const PathObject& destination) {
    LogLine("FileOp::Copy: destination file " + destination.GetFullPath() +
            " is in use.  Trying to rename it...");
    // A free name beside the destination: the system makes the file, which goes again so that
    // only the name is kept.
    const PathObject temp = get_temp_name(destination);
    if (temp.HasFileName()) platform::deleteFile(temp.GetFullPath());
    if (platform::moveFile(destination.GetFullPath(), temp.GetFullPath())) {
        if (copyOver(source, destination)) {
            FileOp::RemoveFile(temp, 0);
            return true;
        }
        LogLine("FileOp::Copy: second CopyFile try failed with code ", platform::getLastError());
    }
    LogLine("FileOp::Copy: that sucker just won't budge.  Replacing " + destination.GetFullPath() +
            " with " + temp.GetFullPath() + " after reboot.");
    if (!copyOver(source, temp)) {
        LogLine("FileOp::Copy: third CopyFile try failed with code ", platform::getLastError());
        return false;
    }
    const CStdStr target = destination.GetFullPath();
    FileOp::replaceOnReboot(temp.GetFullPath(), &target);
    LogLine("! Reboot Required: To replace locked file. Inside FileOp::Copy.");
    return true;
}

// Without a replacing move, a copy over the destination would leave it half old, half new
// when the run is killed. The old file goes aside under a free name instead, the scratch file
// takes its name, and only then is the old one deleted: at every moment one of them is whole.
// False, with the old file back in place, when the scratch file cannot take the name.
bool moveInPlaceByName(const PathObject& scratch, const PathObject& destination) {
    const PathObject aside = get_temp_name(destination);
    if (!aside.HasFileName()) return false;
    platform::deleteFile(aside.GetFullPath());
    if (!platform::moveFile(destination.GetFullPath(), aside.GetFullPath())) return false;
    if (!platform::moveFile(scratch.GetFullPath(), destination.GetFullPath())) {
        const uint32_t code = platform::getLastError();
        platform::moveFile(aside.GetFullPath(), destination.GetFullPath());
        platform::setLastError(code);
        return false;
    }
    if (!platform::deleteFile(aside.GetFullPath()))
        FileOp::replaceOnReboot(aside.GetFullPath(), nullptr);
    return true;
}

bool canWriteOver(const CStdStr& path) {
    std::FILE* file = platform::openFile(path, "ab");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

}  // namespace

namespace FileOp {

bool PutInPlace(const PathObject& scratch, const PathObject& destination) {
    const CStdStr target = destination.GetFullPath();
    if (platform::moveFileEx(scratch.GetFullPath(), &target, platform::kMoveFileReplaceExisting))
        return true;
    if (platform::getLastError() != platform::error::kCallNotImplemented) return false;
    if (!destination.Exists()) return platform::moveFile(scratch.GetFullPath(), target);
    // Only a destination that could be written over is renamed: a read-only file, a
    // directory or a file another program holds refuses, as a copy over it would.
    if (!canWriteOver(target)) return false;
    if (moveInPlaceByName(scratch, destination)) return true;
    if (!copyOver(scratch, destination)) return false;
    platform::deleteFile(scratch.GetFullPath());
    return true;
}

bool ShouldCopy(const PathObject& source, const PathObject& destination, int flags) {
    if ((flags & (CopyIfVersionDiffers | CopyIfTimeDiffers)) == 0) return true;
    if (!destination.Exists()) return true;
    if ((flags & CopyIfVersionDiffers) && CompareVersion(source, destination) != 0) return true;
    return (flags & CopyIfTimeDiffers) && IsNewerTime(source, destination) != 0;
}

bool Copy(const PathObject& source, const PathObject& destination, int flags) {
    if (!ShouldCopy(source, destination, flags)) return true;
    if (copyOver(source, destination)) return true;
    const uint32_t code = platform::getLastError();
    const bool inUse = code == platform::error::kLockViolation ||
                       (code == platform::error::kSharingViolation && (flags & ReplaceInUse));
    if (!inUse) {
        LogLine("FileOp::Copy: CopyFile failed with code ", code);
        return false;
    }
    if ((flags & InUseOnlyIfDifferent) &&
        !ShouldCopy(source, destination, CopyIfVersionDiffers | CopyIfTimeDiffers))
        return true;
    return copyOverFileInUse(source, destination);
}

}  // namespace FileOp
