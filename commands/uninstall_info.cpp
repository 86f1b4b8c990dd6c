#include "commands/uninstall_info.h"

#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/ini_file.h"
#include "support/install_engine.h"
#include "support/system_path.h"
#include "support/zip_extract.h"

UninstallInfo::UninstallInfo(RunContext* engine) : GenericInfo(engine, "QenUninstall") {}

bool UninstallInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.empty()) {
        LogLine("UninstallInfo::HandleCommand: not enough arguments!");
        return false;
    }
    const PathObject archive(engine->DecodeMacros(arguments[0], 255));
    const CStdStr flushArgument =
        arguments.size() > 1 ? engine->DecodeMacros(arguments[1], 255) : CStdStr();
    if (engine->isCustomInstall())
        LogLine("UninstallInfo::HandleCommand: Skipping - custom installer is running.");
    else
        installUninstaller(archive);
    engine->flushLogOps(flushArgument);
    return true;
}

void UninstallInfo::installUninstaller(const PathObject& archive) {
    PathObject workingDir{SystemPath(SystemPath::TEMP_DIR)};
    workingDir.AppendDir(CStdStr(archive.GetFileName() + "_Extracted"));
    if (!FileOp::IsDirectory(workingDir.GetDir(), true)) {
        LogLine("UninstallInfo::HandleCommand: could not create temp path " + workingDir.GetDir());
        return;
    }
    if (!ExtractZipTo(archive, workingDir)) {
        LogLine("UninstallerInfo::HandleCommand: could not extract " + archive.GetFullPath() +
                " to " + workingDir.GetDir());
        return;
    }
    runEngine(workingDir);
    WipeOutDirectory(workingDir);
}

void UninstallInfo::runEngine(const PathObject& workingDir) {
    PathObject libraryDir = workingDir;
    libraryDir.AppendDir("Install");
    libraryDir.AppendDir("x86");
    PathObject library = libraryDir;
    library.SetFileName("Engine.dll");
    InstallEngine installEngine(library.GetFullPath());
    installEngine.setWorkingDir(libraryDir.GetDir());
    installEngine.setLanguage(engine->getLanguageIso());

    PathObject script = workingDir;
    script.SetFileName("Temp.isf");
    IniFile scriptFile;
    scriptFile.SetValue("Install", "Uninstaller", "1");
    scriptFile.Write(script.GetFullPath());
    installEngine.doInstall(script.GetFullPath(), CStdStr(), CStdStr());
    const int32_t code = installEngine.getErrorCode();
    LogLine("UninstallerInfo::HandleCommand: installation returned code ", code);
}
