#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_driver_layout.h"
#include "platform/spooler.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kErrorPrinterDriverBlocked = 3014;
constexpr uint32_t kHighestDriverVersion = 3;
constexpr const char* kWin9xEnvironment = "Windows 4.0";

// The spooler keeps a file by its name alone, whatever directory the caller named.
std::string fileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::vector<std::string> fileNamesOf(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fileNameOf(path));
    return names;
}

// The driver's files: the three every driver has, the help file when it has one, then the
// files it depends on.
std::vector<std::string> namedFiles(const DriverInfo3& driver) {
    std::vector<std::string> files = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty()) files.push_back(driver.helpFile);
    for (const std::string& file : driver.dependentFiles)
        if (!file.empty()) files.push_back(file);
    return files;
}

bool isCompleteRecord(const DriverInfo3& driver) {
    return !driver.name.empty() && driver.name.find('\\') == std::string::npos &&
           !driver.driverPath.empty() && !driver.dataFile.empty() && !driver.configFile.empty();
}

// Drivers newer than version 3 are refused as blocked; the 9x environment knows version 0 only.
uint32_t versionError(const sim::spooler::EnvironmentInfo& environment, uint32_t version) {
    if (version > kHighestDriverVersion) return kErrorPrinterDriverBlocked;
    if (std::string(environment.name) == kWin9xEnvironment && version != 0)
        return error::kInvalidParameter;
    return error::kSuccess;
}

bool isFile(const sim::ResolvedPath& resolved) {
    std::error_code ec;
    return resolved.exists && fs::is_regular_file(resolved.host, ec);
}

// A file waiting in the driver directory, to be copied into the version directory.
struct StagedFile {
    fs::path source;
    std::string name;
};

// Finds every file before anything is copied, so a missing one leaves the machine as it was.
uint32_t locateFiles(const DriverInfo3& driver, const std::string& driverDirectory,
                     const std::string& versionDirectory, std::vector<StagedFile>* staged) {
    for (const std::string& file : namedFiles(driver)) {
        const std::string name = fileNameOf(file);
        if (name.empty()) return error::kFileNotFound;
        const sim::ResolvedPath waiting = sim::resolvePath(driverDirectory + "\\" + name);
        if (isFile(waiting)) {
            staged->push_back({waiting.host, name});
            continue;
        }
        if (!isFile(sim::resolvePath(versionDirectory + "\\" + name))) return error::kFileNotFound;
    }
    return error::kSuccess;
}

bool ensureDirectory(const std::string& windowsPath) {
    const sim::ResolvedPath resolved = sim::resolvePath(windowsPath);
    if (resolved.exists)
        return sim::isDirectory(resolved.host) || sim::failWith(error::kAccessDenied);
    if (resolved.error != error::kFileNotFound) return sim::failWith(resolved.error);
    std::error_code ec;
    const sim::EntryChange change(resolved.host);
    fs::create_directory(resolved.host, ec);
    return !ec || sim::failWith(sim::win32ErrorOf(ec));
}

bool copyStagedFiles(const std::vector<StagedFile>& staged, const std::string& versionDirectory) {
    if (!staged.empty() && !ensureDirectory(versionDirectory)) return false;
    for (const StagedFile& file : staged) {
        const sim::ResolvedPath target = sim::resolvePath(versionDirectory + "\\" + file.name);
        if (target.exists && !isFile(target)) return sim::failWith(error::kAccessDenied);
        if (!target.exists && target.error != error::kFileNotFound)
            return sim::failWith(target.error);
        std::error_code ec;
        const sim::EntryChange change(target.host);
        fs::copy_file(file.source, target.host, fs::copy_options::overwrite_existing, ec);
        if (ec) return sim::failWith(sim::win32ErrorOf(ec));
    }
    return true;
}

std::string multiStringData(const std::vector<std::string>& items) {
    std::string data;
    for (const std::string& item : items)
        if (!item.empty()) data += item + '\0';
    return data + '\0';
}

// A new record replaces every value the old one of that name had.
void clearRecord(const std::string& key) {
    for (const auto& value : sim::registry::values(key))
        sim::registry::deleteValue(key, value.first);
}

void writeLevel3(const std::string& key, const DriverInfo3& driver) {
    sim::registry::writeValue(key, "Version", kRegDword, sim::dwordData(driver.version));
    sim::writeText(key, "Driver", fileNameOf(driver.driverPath));
    sim::writeText(key, "Data File", fileNameOf(driver.dataFile));
    sim::writeText(key, "Configuration File", fileNameOf(driver.configFile));
    sim::writeText(key, "Help File", fileNameOf(driver.helpFile));
    sim::registry::writeValue(key, "Dependent Files", kRegMultiSz,
                              multiStringData(fileNamesOf(driver.dependentFiles)));
    sim::writeText(key, "Monitor", driver.monitorName);
    sim::writeText(key, "Datatype", driver.defaultDataType);
}

void writeLevel6Extras(const std::string& key, const DriverInfo6& driver) {
    sim::registry::writeValue(key, "Previous Names", kRegMultiSz,
                              multiStringData(driver.previousNames));
    sim::writeText(key, "Manufacturer", driver.mfgName);
    sim::writeText(key, "OEM Url", driver.oemUrl);
    sim::writeText(key, "HardwareID", driver.hardwareId);
    sim::writeText(key, "Provider", driver.provider);
    sim::registry::writeValue(key, "DriverDate", kRegBinary,
                              sim::littleEndianData(driver.driverDate, 8));
    sim::registry::writeValue(key, "DriverVersion", kRegQword,
                              sim::littleEndianData(driver.driverVersion, 8));
}

std::string recordKey(const sim::spooler::EnvironmentInfo& environment, const DriverInfo3& driver) {
    return sim::spooler::environmentsKey() + "\\" +
           sim::spooler::storedEnvironmentName(environment.name) + "\\Drivers\\Version-" +
           std::to_string(driver.version) + "\\" + driver.name;
}

// Level 3 when extras is null, else level 6 with extras the same record.
bool addDriver(const DriverInfo3& driver, const DriverInfo6* extras) {
    if (const uint32_t fault = sim::injectedFault("AddPrinterDriver", driver.name))
        return sim::failWith(fault);
    if (!isCompleteRecord(driver)) return sim::failWith(error::kInvalidParameter);
    const sim::spooler::EnvironmentInfo* environment =
        sim::spooler::findEnvironment(sim::spooler::requestedEnvironment(driver.environment));
    if (environment == nullptr) return sim::failWith(sim::spooler::kErrorInvalidEnvironment);
    if (const uint32_t refusal = versionError(*environment, driver.version))
        return sim::failWith(refusal);
    const std::string key = recordKey(*environment, driver);
    if (!sim::registry::isStorableKeyPath(key)) return sim::failWith(error::kInvalidParameter);

    const std::string versionDirectory =
        sim::spooler::driverVersionDirectory(*environment, std::to_string(driver.version));
    const std::string driverDirectory = sim::spooler::driverDirectory(*environment);
    std::vector<StagedFile> staged;
    if (const uint32_t missing = locateFiles(driver, driverDirectory, versionDirectory, &staged))
        return sim::failWith(missing);
    // On 9x the files are added where they already are.
    if (driverDirectory != versionDirectory && !copyStagedFiles(staged, versionDirectory))
        return false;

    clearRecord(key);
    writeLevel3(key, driver);
    if (extras != nullptr) writeLevel6Extras(key, *extras);
    return true;
}

}  // namespace

bool addPrinterDriver(const DriverInfo3& driver) { return addDriver(driver, nullptr); }

bool addPrinterDriver(const DriverInfo6& driver) { return addDriver(driver, &driver); }

}  // namespace platform
