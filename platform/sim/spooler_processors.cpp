#include <filesystem>
#include <string>
#include <system_error>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_driver_layout.h"
#include "platform/spooler.h"

namespace platform {

namespace {

constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kErrorPrintProcessorAlreadyInstalled = 3005;

// A print processor's name becomes a registry key name.
bool isUsableProcessorName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos;
}

bool isBareFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos;
}

std::string processorsKey(const std::string& environment) {
    return sim::spooler::environmentsKey() + "\\" +
           sim::spooler::storedEnvironmentName(environment) + "\\Print Processors";
}

// The processor every spooler carries counts as installed even where no key records it.
bool isInstalled(const std::string& processorsKeyPath, const std::string& name) {
    if (sim::equalsIgnoringCase(name, "winprint")) return true;
    for (const std::string& installed : sim::registry::subkeys(processorsKeyPath))
        if (sim::equalsIgnoringCase(installed, name)) return true;
    return false;
}

// The spooler loads the library from the print-processor directory, so a missing one fails
// as a library that cannot be found.
bool libraryPresent(const sim::spooler::EnvironmentInfo& environment, const std::string& library) {
    const sim::ResolvedPath resolved =
        sim::resolvePath(sim::spooler::printProcessorDirectory(environment) + "\\" + library);
    std::error_code ec;
    return resolved.exists && std::filesystem::is_regular_file(resolved.host, ec);
}

}  // namespace

bool addPrintProcessor(const std::string& environment, const std::string& libraryName,
                       const std::string& processorName) {
    if (const uint32_t fault = sim::injectedFault("AddPrintProcessor", processorName))
        return sim::failWith(fault);
    if (!isUsableProcessorName(processorName) || !isBareFileName(libraryName))
        return sim::failWith(error::kInvalidParameter);
    const std::string requested = sim::spooler::requestedEnvironment(environment);
    const sim::spooler::EnvironmentInfo* known = sim::spooler::findEnvironment(requested);
    if (known == nullptr) return sim::failWith(sim::spooler::kErrorInvalidEnvironment);
    if (!libraryPresent(*known, libraryName)) return sim::failWith(kErrorModNotFound);
    const std::string key = processorsKey(known->name);
    if (isInstalled(key, processorName)) return sim::failWith(kErrorPrintProcessorAlreadyInstalled);
    if (!sim::registry::isStorableKeyPath(key + "\\" + processorName))
        return sim::failWith(error::kInvalidParameter);
    sim::registry::writeValue(key + "\\" + processorName, "Driver", kRegSz, libraryName + '\0');
    return true;
}

}  // namespace platform
