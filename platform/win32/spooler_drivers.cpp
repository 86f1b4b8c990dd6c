#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/spooler.h"
#include "platform/win32/spooler_buffer.h"

namespace platform {

namespace {

using win32::listOf;
using win32::textOf;

// DRIVER_INFO_6A begins with the members of DRIVER_INFO_3A, so one reader serves both levels.
template <typename Native>
void readLevel3(const Native& d, DriverInfo3* info) {
    info->version = d.cVersion;
    info->name = textOf(d.pName);
    info->environment = textOf(d.pEnvironment);
    info->driverPath = textOf(d.pDriverPath);
    info->dataFile = textOf(d.pDataFile);
    info->configFile = textOf(d.pConfigFile);
    info->helpFile = textOf(d.pHelpFile);
    info->dependentFiles = listOf(d.pDependentFiles);
    info->monitorName = textOf(d.pMonitorName);
    info->defaultDataType = textOf(d.pDefaultDataType);
}

DriverInfo3 fromWinspool(const DRIVER_INFO_3A& d) {
    DriverInfo3 info;
    readLevel3(d, &info);
    return info;
}

DriverInfo6 fromWinspool(const DRIVER_INFO_6A& d) {
    DriverInfo6 info;
    readLevel3(d, &info);
    info.previousNames = listOf(d.pszzPreviousNames);
    info.driverDate =
        (static_cast<uint64_t>(d.ftDriverDate.dwHighDateTime) << 32) | d.ftDriverDate.dwLowDateTime;
    info.driverVersion = d.dwlDriverVersion;
    info.mfgName = textOf(d.pszMfgName);
    info.oemUrl = textOf(d.pszOEMUrl);
    info.hardwareId = textOf(d.pszHardwareID);
    info.provider = textOf(d.pszProvider);
    return info;
}

// An empty environment asks for the machine's own.
template <typename Native, typename Record>
bool enumDrivers(const std::string& environment, DWORD level, std::vector<Record>* drivers) {
    drivers->clear();
    std::string name = environment;
    LPSTR environmentArgument = name.empty() ? nullptr : name.data();
    win32::SpoolerBuffer buffer;
    DWORD returned = 0;
    const bool ok = win32::querySpooler(&buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return EnumPrinterDriversA(nullptr, environmentArgument, level, data, size, needed,
                                   &returned);
    });
    if (!ok) return false;
    const auto* records = reinterpret_cast<const Native*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) drivers->push_back(fromWinspool(records[i]));
    return true;
}

}  // namespace

bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo3>* drivers) {
    return enumDrivers<DRIVER_INFO_3A>(environment, 3, drivers);
}

bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo6>* drivers) {
    return enumDrivers<DRIVER_INFO_6A>(environment, 6, drivers);
}

}  // namespace platform
