#include "support/shortcut.h"

#include "platform/shell.h"
#include "platform/text_conversion.h"
#include "support/debug_log.h"
#include "support/file_op.h"

namespace {

void logFailure(const char* what, const CStdStr& value) {
    LogLine("Shortcut::CreateLink: ", what, value);
}

// A drive alone ("C:") names the drive's current directory; the root needs its back-slash.
CStdStr workingDirectoryOf(const PathObject& target) {
    CStdStr dir = target.GetDir();
    if (dir.size() == 2) dir += '\\';
    return dir;
}

}  // namespace

void Shortcut::setLocation(const PathObject& linkFolder, const CStdStr& itemName) {
    folder = linkFolder;
    linkFile = PathObject();
    linkFile.SetDir(folder.GetDir());
    linkFile.SetFileName(itemName + ".LNK");
}

// Every property is tried even after one failed, so the log names all that are wrong.
bool Shortcut::setProperties(platform::ShellLink& link) const {
    bool ok = true;
    if (!platform::succeeded(link.setPath(target.GetFullPath()))) {
        logFailure("failed to set shortcut path: ", target.GetFullPath());
        ok = false;
    }
    if (!arguments.empty() && !platform::succeeded(link.setArguments(arguments))) {
        logFailure("failed to set shortcut arguments: ", arguments);
        ok = false;
    }
    if (!platform::succeeded(link.setWorkingDirectory(workingDirectoryOf(target)))) {
        logFailure("failed to set working directory: ", target.GetDir());
        ok = false;
    }
    if (!comment.empty() && !platform::succeeded(link.setDescription(comment))) {
        logFailure("failed to set comment: ", comment);
        ok = false;
    }
    if (icon.HasFileName() &&
        !platform::succeeded(link.setIconLocation(icon.GetFullPath(), iconIndex))) {
        LogLine("Shortcut::CraeteLink: failed to set icon path: ", icon.GetFullPath(), '\n',
                "\twith icon number: ", iconIndex);
        ok = false;
    }
    return ok;
}

bool Shortcut::CreateLink() {
    if (!FileOp::IsDirectory(linkFile.GetDir(), true)) return false;
    platform::ShellLink link;
    if (!platform::succeeded(link.create())) return false;
    if (!setProperties(link)) return false;
    const CStdStr linkPath = linkFile.GetFullPath();
    const platform::HResult saved = link.save(platform::ansiToWide(linkPath), true);
    // A link that was not written is not a shortcut the user will find.
    if (!platform::succeeded(saved)) {
        LogLine("Shortcut::CreateLink: failed to save link: ", linkPath, " (error ",
                static_cast<uint32_t>(saved), ")");
        return false;
    }
    platform::notifyDirectoryUpdated(folder.GetFullPath());
    return true;
}
