#include "tools/winsim/package_driver.h"

#include "support/ini_line.h"
#include "tools/winsim/driver_layout.h"

namespace winsim {

namespace {

using driver_package::WindowsInf;

// What the utility finds in one manufacturer section it reads, for a sentence about it.
std::string readingOf(const WindowsInf& inf, const CStdStr& sectionName,
                      const std::string& driverName) {
    const InfSection* section = inf.section(sectionName);
    if (section == nullptr) {
        if (sectionName.find(',') == std::string::npos) return {};
        return "it reads the [Manufacturer] value \"" + sectionName +
               "\" whole as a section name, and there is no such section";
    }
    CStdStr key, value;
    for (const CStdStr& line : section->lines) {
        if (!ini::splitNameValue(line, key, value, ini::NameQuotes::Remove)) continue;
        if (key.EqualsNoCase(CStdStr(driverName))) return {};
        if (key.find('%') != std::string::npos && inf.resolve(key) == driverName)
            return "it compares the model key \"" + key + "\" of [" + sectionName +
                   "] as written, not as the string it stands for";
    }
    return {};
}

}  // namespace

std::string unusableCopyFilesName(const driver_package::WindowsModel& model) {
    for (const driver_package::CopiedFile& file : model.files)
        if (!isBareFileName(file.name))
            return "the CopyFiles name \"" + file.name + "\"" +
                   (file.section == "@" ? std::string(" (an @file entry)")
                                        : " in [" + file.section + "]") +
                   " is not a file name the driver directory can hold";
    for (const std::string& name :
         {model.driverFile, model.dataFile, model.configFile, model.helpFile})
        if (!isBareFileName(name))
            return "the driver file name \"" + name +
                   "\" is not a file name the driver "
                   "directory can hold";
    return {};
}

std::string whyUtilityMissesModel(const WindowsInf& inf, const std::string& driverName) {
    std::string reasons;
    if (const InfSection* makers = inf.section("Manufacturer")) {
        CStdStr name, value;
        for (const CStdStr& line : makers->lines) {
            if (!ini::splitNameValue(line, name, value, ini::NameQuotes::Remove)) continue;
            const std::string reason = readingOf(inf, value.empty() ? name : value, driverName);
            if (!reason.empty()) reasons += (reasons.empty() ? "" : "; ") + reason;
        }
    }
    return "the utility's discovery rules did not find the model \"" + driverName + "\": " +
           (reasons.empty() ? std::string("no manufacturer section it reads lists the model as "
                                          "written, or the model's install section is empty")
                            : reasons);
}

}  // namespace winsim
