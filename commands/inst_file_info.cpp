#include "commands/inst_file_info.h"

#include <optional>

#include "commands/run_context.h"
#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/lz.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/os_info.h"
#include "support/szdd_header.h"

namespace {

CStdStr lzCopyReason(int32_t result) {
    switch (result) {
        case platform::kLzErrorBadInHandle:
            return " bad input handle";
        case platform::kLzErrorBadOutHandle:
            return " bad output handle";
        case platform::kLzErrorRead:
            return " source file format invalid";
        case platform::kLzErrorGlobalAlloc:
            return " too many open compressed files";
        case platform::kLzErrorGlobalLock:
            return " LZ file handle cannot be locked down";
        default:
            return CStdStr(" unknown code " + std::to_string(result));
    }
}

// The LZ library reports a cut-off SZDD stream as success with a short file: only the size
// its header promises counts as a complete expansion.
int32_t checkedSize(const PathObject& source, int32_t result) {
    const std::optional<uint32_t> declared = szddDeclaredSize(source.GetFullPath());
    if (result > 0 && declared && *declared != static_cast<uint32_t>(result))
        return platform::kLzErrorRead;
    return result;
}

}  // namespace

InstFileInfo::InstFileInfo(RunContext* engine) : GenericInfo(engine, "QenInstallFile") {}

PathObject InstFileInfo::pathArgument(const CStdStr& text) const {
    return PathObject(engine->DecodeMacros(text, 255));
}

bool InstFileInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 3) {
        LogLine("InstFileInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const PathObject destination = pathArgument(arguments[0]);
    const PathObject source = pathArgument(arguments[1]);
    const PathObject temp = pathArgument(arguments[2]);
    const int deleteSource = arguments.size() > 3 ? cstd::atoi(arguments[3]) : 0;
    const int logKind = arguments.size() > 4 ? cstd::atoi(arguments[4]) : 0;

    if (!source.Exists()) {
        LogLine("InstFileInfo::HandleCommand: file " + source.GetFullPath() + " does not exist!");
        return false;
    }
    if (!FileOp::IsDirectory(destination.GetDir(), true)) {
        LogLine("InstFileInfo::HandleCommand: dest dir " + destination.GetDir() +
                " does not exist and cannot be created");
        return false;
    }
    if (!FileOp::IsDirectory(temp.GetDir(), true)) {
        LogLine("InstFileInfo::HandleCommand: temp dir " + temp.GetDir() +
                " does not exist and cannot be created");
        return false;
    }
    const bool installed = install(source, destination, temp);
    // A destination that is still missing was not installed: recording it would hand the
    // uninstaller a file that is not there.
    if (!destination.Exists()) {
        LogLine("InstFileInfo::HandleCommand: could not install file " + destination.GetFullPath());
        return false;
    }
    // Deleting the source of a file that was not put in place would lose the only new copy.
    if (deleteSource != 0 && installed) FileOp::Remove(source, 0);
    record(destination, logKind);
    return true;
}

bool InstFileInfo::install(const PathObject& source, const PathObject& destination,
                           const PathObject& temp) {
    if (!destination.Exists()) return ourLZCopy(source, destination);
    const int byVersion = FileOp::CompareVersion(source, destination);
    const bool newer =
        byVersion > 0 || (byVersion == 0 && FileOp::IsNewerTime(source, destination) > 0);
    if (!newer || ourLZCopy(source, destination)) return true;
    return replaceInUse(source, destination, temp);
}

bool InstFileInfo::replaceInUse(const PathObject& source, const PathObject& destination,
                                const PathObject& temp) {
    if (OSInfo::current().isWinNT()) {
        platform::moveFile(destination.GetFullPath(), temp.GetFullPath());
        if (ourLZCopy(source, destination)) {
            platform::moveFileEx(temp.GetFullPath(), nullptr, platform::kMoveFileDelayUntilReboot);
            return true;
        }
        platform::moveFile(temp.GetFullPath(), destination.GetFullPath());
        return false;
    }
    return ourLZCopy(source, temp) && FileOp::Copy(temp, destination, FileOp::InUseOnlyIfDifferent);
}

void InstFileInfo::record(const PathObject& destination, int logKind) {
    CStdStr owner;
    bool useArgument = false;
    if (logKind == 1) {
        owner = "Uninstaller";
        useArgument = true;
    } else if (logKind == 2) {
        owner = CStdStr("Driver " + engine->getDriverName());
    } else {
        return;
    }
    engine->logOperation(1, owner, destination.GetFullPath(), useArgument);
    LogLine("InstFileInfo::HandleCommand: wrote file " + destination.GetFullPath() +
            " log section " + owner);
}

bool InstFileInfo::ourLZCopy(const PathObject& source, const PathObject& destination) {
    const int32_t input = platform::lzOpenFile(source.GetFullPath(), platform::kLzOpenRead);
    if (input < 0) return false;
    // Expanded beside the destination and put in place only when complete, so that a
    // failed expansion never costs the file that was there.
    const PathObject scratch = get_temp_name(destination);
    const int32_t output =
        scratch.HasFileName() ? platform::lzOpenFile(scratch.GetFullPath(), platform::kLzOpenCreate)
                              : platform::kLzErrorBadOutHandle;
    if (output < 0) {
        platform::lzClose(input);
        if (scratch.HasFileName()) platform::deleteFile(scratch.GetFullPath());
        return false;
    }
    const int32_t result = checkedSize(source, platform::lzCopy(input, output));
    platform::lzClose(input);
    platform::lzClose(output);
    if (result <= 0) {
        LogLine("InstFileInfo::ourLZCopy: LZCopy failed: " + lzCopyReason(result));
        platform::deleteFile(scratch.GetFullPath());
        return false;
    }
    if (!FileOp::PutInPlace(scratch, destination)) {
        LogLine("InstFileInfo::ourLZCopy: could not put the expanded file in place as ",
                destination.GetFullPath(), " (Error code: ", platform::getLastError(), ")");
        platform::deleteFile(scratch.GetFullPath());
        return false;
    }
    return true;
}
