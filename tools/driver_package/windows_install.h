#pragma once

#include <string>
#include <vector>

#include "tools/driver_package/windows_inf.h"

// What Windows' printer installation takes from a vendor INF for one model on one version of
// Windows, by Windows' documented INF rules: whether it installs the model at all, from which
// models and install sections, under which driver name, with which files and registry lines.
namespace driver_package {

struct WindowsTarget {
    bool win9x = false;
    int major = 0, minor = 0;  // 4.0 is NT 4.0; the 9x family is 4.x
    bool server = false;       // a server edition (product type 3)
    bool x64 = false;          // a 64-bit (x64) edition
};

// A file the driver installation copies: the name it gets, and the package file it comes from.
struct CopiedFile {
    std::string name, source;
    std::string section;  // the CopyFiles list that names it, or "@" for an @file entry
};

struct WindowsModel {
    bool installs = false;
    std::string why;                   // why Windows does not install it, when it does not
    std::string modelsSection;         // the models section Windows reads the model from
    std::string driverName;            // as Windows names the driver: the model's name, resolved
    std::string installSection;        // as the model line names it
    std::string actualInstallSection;  // with the platform extension Windows picks
    std::string driverFile, dataFile, configFile, helpFile, languageMonitor;
    std::vector<CopiedFile> files;
    std::vector<std::vector<std::string>> addReg, delReg;  // the fields of each registry line
};

// Looks the model up as Windows would on target. The model is matched against the names
// Windows shows: the model lines' keys with their strings resolved, case ignored.
WindowsModel windowsModel(const WindowsInf& inf, const WindowsTarget& target,
                          const std::string& model);

}  // namespace driver_package
