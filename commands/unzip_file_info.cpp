#include "commands/unzip_file_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/path_object.h"
#include "support/zip_extract.h"

UnzipFileInfo::UnzipFileInfo(RunContext* engine) : GenericInfo(engine, "QenUnZipZipFile") {}

bool UnzipFileInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.empty()) {
        LogLine("UnZipInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const PathObject archive(engine->DecodeMacros(arguments[0], 255));
    // Without a target field the archive is unpacked beside itself; an empty one (or one that
    // expands to nothing) leaves the member names relative to the current directory.
    PathObject target;
    target.SetDir(arguments.size() > 1 ? engine->DecodeMacros(arguments[1], 255).Trimmed()
                                       : archive.GetDir());
    return ExtractZipTo(archive, target);
}
