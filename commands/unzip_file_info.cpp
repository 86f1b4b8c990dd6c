#include "commands/unzip_file_info.h"

#include "app/dadazado_engine.h"
#include "support/debug_log.h"
#include "support/path_object.h"
#include "support/zip_extract.h"

UnzipFileInfo::UnzipFileInfo(DadazadoEngine* engine) : GenericInfo(engine, "QenUnZipZipFile") {}

bool UnzipFileInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.empty()) {
        LogLine("UnZipInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const PathObject archive(engine->DecodeMacros(arguments[0], 255));
    // An empty target field counts as none: the process's current directory is no place the
    // INF could have meant.
    const CStdStr targetText =
        arguments.size() > 1 ? engine->DecodeMacros(arguments[1], 255).Trimmed() : CStdStr();
    PathObject target;
    target.SetDir(targetText.empty() ? archive.GetDir() : targetText);
    return ExtractZipTo(archive, target);
}
