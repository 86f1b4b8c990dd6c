#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/registry.h"
#include "support/system_path.h"
#include "support/text_file.h"

namespace {

CStdStr shortFormOf(const CStdStr& path) {
    std::string shortPath;
    if (platform::getShortPathName(path, &shortPath)) return CStdStr(shortPath);
    // The restart-time list of the 9x family takes short names only.
    LogLine("FileOp::replaceOnReboot: could not get the short name of ", path, " (error ",
            platform::getLastError(), ")");
    return path;
}

void addPendingRename(const CStdStr& line) {
    std::vector<CStdStr>& lines = FileOp::pendingRenames();
    for (const CStdStr& existing : lines)
        if (existing.EqualsNoCase(line)) return;
    lines.push_back(line);
}

}  // namespace

namespace FileOp {

std::vector<CStdStr>& pendingRenames() {
    static std::vector<CStdStr> lines;
    return lines;
}

bool replaceOnReboot(const CStdStr& from, const CStdStr* to) {
    if (from.empty()) return false;
    LogLine("Attempting to move " + from + " to " + (to != nullptr ? *to : CStdStr("NULL")) +
            " on reboot.");
    if (platform::moveFileEx(from, to, platform::kMoveFileDelayUntilReboot)) {
        LogLine(
            "! Reboot Required: To replace locked file. Inside FileOp::replaceOnReboot; "
            "MoveFileEx call.");
        return true;
    }
    const PathObject source(from);
    if (source.HasFileName() || source.GetDir().empty()) {
        const CStdStr target = to != nullptr ? shortFormOf(*to) : CStdStr("NUL");
        addPendingRename(CStdStr(target + "=" + shortFormOf(from)));
    } else {
        addToRebootBatFile(source.GetDir());
    }
    LogLine(
        "! Reboot Required: To replace file on reboot. Inside FileOp::replaceOnReboot; "
        "wininit.ini change.");
    return true;
}

}  // namespace FileOp

void addToRebootBatFile(const CStdStr& directory) {
    PathObject batch{SystemPath(SystemPath::TEMP_DIR)};
    batch.SetFileName("unsttmp0.bat");
    const CStdStr batchPath = batch.GetFullPath();

    std::vector<CStdStr> lines = ReadTextLines(batchPath);
    if (!lines.empty() && lines.back().find("del") != CStdStr::npos) lines.pop_back();
    lines.push_back(CStdStr("rmdir \"" + directory + "\""));
    lines.push_back(CStdStr("del \"" + batchPath + "\""));

    // The file deletes itself on its last line, so the new lines go before it: the file is
    // replaced whole, as other installers' lines in it must survive a failure.
    if (!ReplaceTextLines(batchPath, lines)) {
        LogLine("addToRebootBatFile: file " + batchPath + " could not be saved!");
        return;
    }

    PathObject commandInterpreter{SystemPath(SystemPath::WINDOWS_DIR)};
    commandInterpreter.SetFileName("command.com");
    RegValue value;
    value.kind = Reg_String;
    value.text = commandInterpreter.GetFullPath() + " /C \"" + batchPath + "\"";
    Registry().WriteValue("HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                          "QenTmpDelBat", value);
}
