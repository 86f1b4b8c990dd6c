#include "tools/winsim/machine_reads.h"

#include <algorithm>
#include <cstdint>

#include "platform/sim/registry_store.h"

namespace winsim {

namespace {

constexpr const char* kSessionManager =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

}  // namespace

std::vector<std::string> pendingRestartOperations() {
    uint32_t type = 0;
    std::string data;
    std::vector<std::string> texts;
    if (sim::registry::readValue(kSessionManager, "PendingFileRenameOperations", &type, &data)) {
        for (size_t start = 0; start < data.size();) {
            const size_t end = std::min(data.find('\0', start), data.size());
            texts.push_back(data.substr(start, end - start));
            start = end + 1;
        }
    }
    // Pairs of texts: the source, then the target ("" for a deletion); an empty source ends
    // the list.
    std::vector<std::string> operations;
    for (size_t i = 0; i + 1 < texts.size() && !texts[i].empty(); i += 2)
        operations.push_back(texts[i + 1].empty() ? "delete " + texts[i]
                                                  : "move " + texts[i] + " to " + texts[i + 1]);
    return operations;
}

dump::DriverRecord driverRecordOf(const platform::DriverInfo3& driver) {
    dump::DriverRecord record;
    record.environment = driver.environment;
    record.name = driver.name;
    record.version = driver.version;
    record.driverPath = driver.driverPath;
    record.dataFile = driver.dataFile;
    record.configFile = driver.configFile;
    record.helpFile = driver.helpFile;
    record.monitor = driver.monitorName;
    record.dependentFiles = driver.dependentFiles;
    return record;
}

}  // namespace winsim
