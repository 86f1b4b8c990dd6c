#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

namespace {

// Size of MONITOR_INFO_1 in a 32-bit process: one pointer.
constexpr uint32_t kMonitorInfo1FixedSize = 4;

std::vector<std::string> installedMonitors() {
    return sim::registry::subkeys(std::string(sim::spooler::kPrintKey) + "\\Monitors");
}

uint32_t recordsSize(const std::vector<std::string>& names) {
    uint32_t size = 0;
    for (const std::string& name : names)
        size += kMonitorInfo1FixedSize + static_cast<uint32_t>(name.size() + 1);
    return size;
}

}  // namespace

bool enumMonitors(std::vector<std::string>* names, uint32_t* needed) {
    if (needed != nullptr) *needed = 0;
    if (names == nullptr) {
        if (const uint32_t fault = sim::injectedFault("EnumMonitorsSize", ""))
            return sim::failWith(fault);
        if (needed != nullptr) *needed = recordsSize(installedMonitors());
        return sim::failWith(error::kInsufficientBuffer);
    }
    names->clear();
    if (const uint32_t fault = sim::injectedFault("EnumMonitors", "")) return sim::failWith(fault);
    *names = installedMonitors();
    if (needed != nullptr) *needed = recordsSize(*names);
    return true;
}

}  // namespace platform
