#pragma once

#include <string>
#include <vector>

// What the standard INF mechanism installs for a model of a driver package, read with the
// utility's own INF handling, so that a trial machine starts as the driver installation
// would have left it.
namespace winsim {

struct PackageDriver {
    std::string installSection;
    std::string driverFile, dataFile, configFile, helpFile;
    // The files the install section copies: by the names they get, and the package files
    // they come from (the same name, or the compressed one a "name=source" line gives).
    std::vector<std::string> files;
    std::vector<std::string> sources;
};

// Reads the model from the INF at a Windows path of the open machine. False with *problem set
// when the INF cannot be read or no manufacturer section lists the model.
bool readPackageDriver(const std::string& infPath, const std::string& model, PackageDriver* driver,
                       std::string* problem);

}  // namespace winsim
