#include "platform/sim/spooler_driver_layout.h"

#include "platform/sim/names.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "platform/system_info.h"

namespace sim::spooler {

namespace {

std::string spoolDirectory(const char* kind, const EnvironmentInfo& environment) {
    if (isWin9xMachine()) return platform::getSystemDirectory();
    return platform::getSystemDirectory() + "\\spool\\" + kind + "\\" +
           environment.driverSubdirectory;
}

}  // namespace

std::string environmentsKey() { return std::string(kPrintKey) + "\\Environments"; }

std::string storedEnvironmentName(const std::string& name) {
    for (const std::string& stored : registry::subkeys(environmentsKey()))
        if (equalsIgnoringCase(stored, name)) return stored;
    return name;
}

std::string requestedEnvironment(const std::string& environment) {
    if (!environment.empty()) return environment;
    return isWin9xMachine() ? "Windows 4.0" : "Windows NT x86";
}

std::string driverDirectory(const EnvironmentInfo& environment) {
    return spoolDirectory("drivers", environment);
}

std::string driverVersionDirectory(const EnvironmentInfo& environment, const std::string& version) {
    if (isWin9xMachine()) return platform::getSystemDirectory();
    return driverDirectory(environment) + "\\" + version;
}

std::string printProcessorDirectory(const EnvironmentInfo& environment) {
    return spoolDirectory("prtprocs", environment);
}

}  // namespace sim::spooler
