#include "commands/update_dep_files_info.h"

#include <algorithm>

#include "commands/driver_component.h"
#include "commands/run_context.h"
#include "support/debug_log.h"
#include "support/os_info.h"
#include "support/path_object.h"
#include "support/string_tokenizer.h"
#include "support/system_path.h"

namespace {

// A CopyFiles section line names its file before the '=' ("c.dll=c.dl_"), or is the name.
CStdStr fileNameOfLine(const CStdStr& line) {
    const size_t equals = line.find('=');
    if (equals == CStdStr::npos || equals == 0) return line;
    return CStdStr(line.substr(0, equals)).Trimmed();
}

CStdStr withoutLeadingAtsAndBlanks(const CStdStr& field) {
    size_t start = 0;
    while (start < field.size() && (field[start] == '@' || cstd::isSpace(field[start]))) ++start;
    return CStdStr(field.substr(start));
}

}  // namespace

UpdateDepFilesInfo::UpdateDepFilesInfo(RunContext* engine, platform::DriverInfo3* driver, int level)
    : GenericInfo(engine, "UpdateDependentFiles"), driver(driver), level(level) {}

std::vector<CStdStr> copyFilesNames(const RunContext& run, const CStdStr& installSection) {
    std::vector<CStdStr> names;
    CStdStr copyFiles;
    if (!run.getInfValue(installSection, "CopyFiles", copyFiles)) return names;
    StringTokenizer fields(copyFiles, ',', StringTokenizer::TrimBefore);
    CStdStr field;
    while (fields.next(field)) {
        if (!field.empty() && field.front() == '@') {
            names.push_back(withoutLeadingAtsAndBlanks(field));
            continue;
        }
        if (const std::vector<CStdStr>* lines = run.findInfSection(field))
            for (const CStdStr& line : *lines) names.push_back(fileNameOfLine(line));
    }
    return names;
}

bool UpdateDepFilesInfo::isMainFile(const CStdStr& path) const {
    if (level != 6 || !OSInfo::current().isWin2000OrLater()) return false;
    return path.EqualsNoCase(driver->dataFile) || path.EqualsNoCase(driver->configFile) ||
           path.EqualsNoCase(driver->driverPath) ||
           (!driver->helpFile.empty() && path.EqualsNoCase(driver->helpFile));
}

CStdStringList UpdateDepFilesInfo::infFileList(const CStdStr& installSection) const {
    CStdStringList list(CStdStringList::NoDuplicates);
    const bool nt = OSInfo::current().isWinNT();
    const SystemPath versionDir(SystemPath::PRINTER_DRIVER_VERSION_DIR);
    for (const CStdStr& name : copyFilesNames(*engine, installSection)) {
        if (name.empty()) continue;
        CStdStr entry = name;
        if (nt) {
            PathObject inVersionDir;
            inVersionDir.SetDir(versionDir.GetDir());
            inVersionDir.SetFileName(name);
            entry = inVersionDir.GetFullPath();
        }
        if (!isMainFile(entry)) list.Insert(entry);
    }
    return list;
}

bool UpdateDepFilesInfo::Process() {
    if (driver == nullptr || driver->name.empty()) return true;
    const CStdStr section = engine->getInstallSection(driver->name);
    if (section.empty()) return true;

    const CStdStringList fromInf = infFileList(section);
    if (fromInf.empty()) {
        LogLine("UpdateDepFilesInfo::Process: no inf dependent files found:");
        LogLine("\tDriver name: " + driver->name);
        LogLine("\tINF section: " + section);
        return false;
    }
    CStdStringList installed(CStdStringList::NoDuplicates);
    for (const std::string& file : driver->dependentFiles) installed.Insert(file);
    if (installed.empty()) {
        LogLine("UpdateDepFilesInfo::Process: no driver dependent files found:");
        LogLine("\tDriver name: " + driver->name);
        return false;
    }

    const auto missing = std::find_if(fromInf.begin(), fromInf.end(), [&](const CStdStr& entry) {
        return !entry.empty() && !installed.Contains(entry);
    });
    if (missing == fromInf.end()) return true;
    LogLine("\tThis file will cause an update: " + *missing);

    LogLine("UpdateDepFilesInfo::Process: driver " + driver->name + " needs an update");
    driver->dependentFiles.clear();
    for (const CStdStr& entry : fromInf)
        driver->dependentFiles.push_back(PathObject(entry).GetFileName());
    return DriverComponent::UpdatePrinterDriver(driver, level);
}
