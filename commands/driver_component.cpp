#include "commands/driver_component.h"

#include <vector>

#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/file_op.h"
#include "support/os_info.h"
#include "support/system_path.h"

namespace {

// Every file the record names, as a path: dependent files without a directory are taken
// from the driver's version directory. The main files follow only in a level-6 record.
std::vector<PathObject> filesOfRecord(const platform::DriverInfo3& driver, int level) {
    const SystemPath versionDir(SystemPath::PRINTER_DRIVER_VERSION_DIR);
    std::vector<PathObject> files;
    for (const std::string& dependent : driver.dependentFiles) {
        PathObject file{CStdStr(dependent)};
        if (file.GetDir().empty()) file.SetDir(versionDir.GetDir());
        files.push_back(file);
    }
    if (level == 6) {
        for (const std::string* path :
             {&driver.helpFile, &driver.configFile, &driver.dataFile, &driver.driverPath}) {
            // A driver without a help file names none; an empty path is no missing file.
            if (!path->empty()) files.emplace_back(CStdStr(*path));
        }
    }
    return files;
}

// The spooler takes a driver's files only from its driver directory.
bool stageFiles(const platform::DriverInfo3& driver, int level) {
    const SystemPath driverDir(SystemPath::PRINTER_DRIVER_DIR);
    for (const PathObject& file : filesOfRecord(driver, level)) {
        PathObject target;
        target.SetDir(driverDir.GetDir());
        target.SetFileName(file.GetFileName());
        if (target.Exists()) continue;
        if (!file.Exists()) {
            LogLine("DriverComponent::UpdatePrinterDriver: dependent file not found: " +
                    file.GetFullPath());
            return false;
        }
        if (!FileOp::Copy(file, target, FileOp::CopyIfVersionDiffers | FileOp::CopyIfTimeDiffers)) {
            LogLine("DriverComponent::UpdatePrinterDriver: unable to copy file " +
                    file.GetFullPath() + " to " + target.GetFullPath());
            return false;
        }
    }
    return true;
}

bool addDriver(const platform::DriverInfo3& driver, int level) {
    if (level == 6)
        return platform::addPrinterDriver(static_cast<const platform::DriverInfo6&>(driver));
    return platform::addPrinterDriver(driver);
}

}  // namespace

namespace DriverComponent {

bool UpdatePrinterDriver(platform::DriverInfo3* driver, int level) {
    if (!OSInfo::current().isDriverForThisOS(driver->version)) {
        LogLine("UpdatePrinterDriver: not updating alt driver ", driver->name, " (version ",
                driver->version, "): wrong OS");
        return true;
    }
    if (OSInfo::current().isWinNT() && !stageFiles(*driver, level)) return false;
    if (!addDriver(*driver, level)) {
        LogLine("DriverComponent::UpdatePrinterDriver: AddPrinterDriver failed with code ",
                platform::getLastError());
        LogLine("\tDriver name: " + driver->name);
        return false;
    }
    return true;
}

}  // namespace DriverComponent
