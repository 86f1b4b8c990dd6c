#include <cstdlib>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_driver_layout.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

namespace {

std::string fullPath(const std::string& directory, const std::string& file) {
    return file.empty() ? file : directory + "\\" + file;
}

struct DriverKey {
    std::string key;
    std::string name;
    std::string versionDirectory;  // "3" for Version-3
};

std::vector<DriverKey> driverKeys(const std::string& environment) {
    const std::string drivers = sim::spooler::environmentsKey() + "\\" + environment + "\\Drivers";
    std::vector<DriverKey> keys;
    for (const std::string& versionKey : sim::registry::subkeys(drivers)) {
        constexpr std::string_view kPrefix = "Version-";
        if (versionKey.size() <= kPrefix.size() ||
            !sim::equalsIgnoringCase(std::string_view(versionKey).substr(0, kPrefix.size()),
                                     kPrefix))
            continue;
        const std::string versionPath = drivers + "\\" + versionKey;
        for (const std::string& name : sim::registry::subkeys(versionPath))
            keys.push_back({versionPath + "\\" + name, name, versionKey.substr(kPrefix.size())});
    }
    return keys;
}

void readLevel3(const DriverKey& driver, const std::string& environment,
                const std::string& directory, DriverInfo3* info) {
    using sim::spooler::textValue;
    const std::string& key = driver.key;
    info->version = sim::spooler::numberValue(
        key, "Version",
        static_cast<uint32_t>(std::strtoul(driver.versionDirectory.c_str(), nullptr, 10)));
    info->name = driver.name;
    info->environment = environment;
    info->driverPath = fullPath(directory, textValue(key, "Driver"));
    info->dataFile = fullPath(directory, textValue(key, "Data File"));
    info->configFile = fullPath(directory, textValue(key, "Configuration File"));
    info->helpFile = fullPath(directory, textValue(key, "Help File"));
    info->dependentFiles.clear();
    for (const std::string& file : sim::spooler::listValue(key, "Dependent Files"))
        info->dependentFiles.push_back(fullPath(directory, file));
    info->monitorName = textValue(key, "Monitor");
    info->defaultDataType = textValue(key, "Datatype");
}

void readLevel6Extras(const DriverKey& driver, DriverInfo6* info) {
    using sim::spooler::textValue;
    const std::string& key = driver.key;
    info->previousNames = sim::spooler::listValue(key, "Previous Names");
    info->driverDate = sim::spooler::quadValue(key, "DriverDate");
    info->driverVersion = sim::spooler::quadValue(key, "DriverVersion");
    info->mfgName = textValue(key, "Manufacturer");
    info->oemUrl = textValue(key, "OEM Url");
    info->hardwareId = textValue(key, "HardwareID");
    info->provider = textValue(key, "Provider");
}

void readRecord(const DriverKey& key, const std::string& environment, const std::string& directory,
                DriverInfo3* info) {
    readLevel3(key, environment, directory, info);
}

void readRecord(const DriverKey& key, const std::string& environment, const std::string& directory,
                DriverInfo6* info) {
    readLevel3(key, environment, directory, info);
    readLevel6Extras(key, info);
}

template <typename Record>
bool enumDrivers(const std::string& asked, std::vector<Record>* drivers) {
    if (drivers == nullptr) {
        setLastError(error::kInvalidParameter);
        return false;
    }
    drivers->clear();
    const std::string requested = sim::spooler::requestedEnvironment(asked);
    if (const uint32_t fault = sim::injectedFault("EnumPrinterDrivers", requested)) {
        setLastError(fault);
        return false;
    }
    const sim::spooler::EnvironmentInfo* environment = sim::spooler::findEnvironment(requested);
    if (environment == nullptr) {
        setLastError(sim::spooler::kErrorInvalidEnvironment);
        return false;
    }
    const std::string stored = sim::spooler::storedEnvironmentName(requested);
    for (const DriverKey& key : driverKeys(stored)) {
        Record record;
        readRecord(key, environment->name,
                   sim::spooler::driverVersionDirectory(*environment, key.versionDirectory),
                   &record);
        drivers->push_back(std::move(record));
    }
    return true;
}

}  // namespace

bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo3>* drivers) {
    return enumDrivers(environment, drivers);
}

bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo6>* drivers) {
    return enumDrivers(environment, drivers);
}

}  // namespace platform
