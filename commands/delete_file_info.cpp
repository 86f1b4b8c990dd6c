#include "commands/delete_file_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/file_op.h"

namespace {

// Removal mode of the INF line to the flags of FileOp::Remove.
int removeFlags(int mode) {
    switch (mode) {
        case 0:
            return FileOp::NoRebootFallback;
        case 2:
            return FileOp::RemoveAtReboot;
        default:
            return 0;
    }
}

}  // namespace

DeleteFileInfo::DeleteFileInfo(RunContext* engine) : GenericInfo(engine, "QenDelFiles") {}

bool DeleteFileInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.empty()) {
        LogLine("DeleteFileInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const PathObject target(engine->DecodeMacros(arguments[0], 255));
    int mode = arguments.size() > 1 ? cstd::atoi(arguments[1]) : 1;
    if (mode < 0 || mode > 2) {
        LogLine("DeleteFilesInfo::HandleCommand: invalid flag: ", mode);
        mode = 1;
    }
    return FileOp::Remove(target, removeFlags(mode));
}
