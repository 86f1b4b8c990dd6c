#include "tools/winsim/driver_layout.h"

#include "platform/sim/names.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "platform/system_info.h"

namespace winsim {

std::string nativeEnvironment() { return sim::isWin9xMachine() ? "Windows 4.0" : "Windows NT x86"; }

uint32_t nativeDriverVersion() {
    if (sim::isWin9xMachine()) return 0;
    const std::string version = sim::registry::readString(sim::kNtVersionKey, "CurrentVersion");
    return version.rfind("4.", 0) == 0 ? 2 : 3;
}

std::string knownEnvironment(const std::string& name) {
    const sim::spooler::EnvironmentInfo* environment = sim::spooler::findEnvironment(name);
    return environment == nullptr ? std::string() : environment->name;
}

bool isBareFileName(const std::string& name) {
    return name.find_first_of("\\/:*?\"<>|\r\n") == std::string::npos && name != "." &&
           name != "..";
}

std::string environmentsKey() { return std::string(sim::spooler::kPrintKey) + "\\Environments"; }

std::string driverKey(const std::string& environment, uint32_t version, const std::string& name) {
    return environmentsKey() + "\\" + environment + "\\Drivers\\Version-" +
           std::to_string(version) + "\\" + name;
}

std::string driverFileDirectory(const std::string& environment, uint32_t version) {
    if (sim::isWin9xMachine()) return platform::getSystemDirectory();
    const sim::spooler::EnvironmentInfo* known = sim::spooler::findEnvironment(environment);
    const char* subdirectory = known == nullptr ? "w32x86" : known->driverSubdirectory;
    return platform::getSystemDirectory() + "\\spool\\drivers\\" + subdirectory + "\\" +
           std::to_string(version);
}

}  // namespace winsim
