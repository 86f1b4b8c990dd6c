#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/spooler.h"

namespace platform {

namespace {

// Writable copies of a record's texts, in the shapes the winspool structures point to: a
// string, or null for an empty optional one, and lists as strings each ended by a NUL with
// one more NUL after the last.
class NativeTexts {
  public:
    LPSTR text(const std::string& value) { return keep(value + '\0'); }
    LPSTR optional(const std::string& value) { return value.empty() ? nullptr : text(value); }
    LPSTR list(const std::vector<std::string>& items) {
        std::string joined;
        for (const std::string& item : items)
            if (!item.empty()) joined += item + '\0';
        return joined.empty() ? nullptr : keep(joined + '\0');
    }

  private:
    LPSTR keep(std::string data) {
        stored.push_back(std::vector<char>(data.begin(), data.end()));
        return stored.back().data();
    }
    std::vector<std::vector<char>> stored;  // each buffer stays put when more are added
};

// DRIVER_INFO_6A begins with the members of DRIVER_INFO_3A, so one writer serves both levels.
template <typename Native>
void writeLevel3(const DriverInfo3& driver, NativeTexts* texts, Native* native) {
    native->cVersion = driver.version;
    native->pName = texts->text(driver.name);
    native->pEnvironment = texts->optional(driver.environment);
    native->pDriverPath = texts->text(driver.driverPath);
    native->pDataFile = texts->text(driver.dataFile);
    native->pConfigFile = texts->text(driver.configFile);
    native->pHelpFile = texts->optional(driver.helpFile);
    native->pDependentFiles = texts->list(driver.dependentFiles);
    native->pMonitorName = texts->optional(driver.monitorName);
    native->pDefaultDataType = texts->optional(driver.defaultDataType);
}

}  // namespace

bool addPrinterDriver(const DriverInfo3& driver) {
    NativeTexts texts;
    DRIVER_INFO_3A native{};
    writeLevel3(driver, &texts, &native);
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&native)) != FALSE;
}

bool addPrinterDriver(const DriverInfo6& driver) {
    NativeTexts texts;
    DRIVER_INFO_6A native{};
    writeLevel3(driver, &texts, &native);
    native.pszzPreviousNames = texts.list(driver.previousNames);
    native.ftDriverDate.dwLowDateTime = static_cast<DWORD>(driver.driverDate & 0xFFFFFFFFu);
    native.ftDriverDate.dwHighDateTime = static_cast<DWORD>(driver.driverDate >> 32);
    native.dwlDriverVersion = driver.driverVersion;
    native.pszMfgName = texts.optional(driver.mfgName);
    native.pszOEMUrl = texts.optional(driver.oemUrl);
    native.pszHardwareID = texts.optional(driver.hardwareId);
    native.pszProvider = texts.optional(driver.provider);
    return AddPrinterDriverA(nullptr, 6, reinterpret_cast<BYTE*>(&native)) != FALSE;
}

}  // namespace platform
