#include "platform/errors.h"
#include "platform/file_ops.h"
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

}  // namespace

namespace FileOp {

bool PutInPlace(const PathObject& scratch, const PathObject& destination) {
    const CStdStr target = destination.GetFullPath();
    if (platform::moveFileEx(scratch.GetFullPath(), &target, platform::kMoveFileReplaceExisting))
        return true;
    if (platform::getLastError() != platform::error::kCallNotImplemented) return false;
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
