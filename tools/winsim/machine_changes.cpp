#include "tools/winsim/machine_changes.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "tools/winsim/driver_layout.h"
#include "tools/winsim/dump_lines.h"
#include "tools/winsim/machine_reads.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

constexpr const char* kWinSimKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim";
constexpr const char* kSessionManager =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenames = "PendingFileRenameOperations";
constexpr const char* kRunOnce =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

void readFiles(const fs::path& dir, const std::string& skipFile, MachineSnapshot* snapshot) {
    std::error_code ec;
    for (const auto& drive : fs::directory_iterator(dir, ec)) {
        if (drive.path().filename().string().rfind("drive_", 0) != 0) continue;
        for (fs::recursive_directory_iterator it(drive.path(), ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            const std::string path = sim::windowsPathOf(it->path());
            if (sim::equalsIgnoringCase(path, skipFile)) continue;
            const std::string content = sim::readHostFile(it->path()).value_or("");
            snapshot->files[sim::folded(path)] = path + " (" + std::to_string(content.size()) +
                                                 " bytes, " + dump::fingerprint(content) + ")";
        }
    }
}

void readKey(const std::string& key, MachineSnapshot* snapshot) {
    if (sim::equalsIgnoringCase(key, kWinSimKey)) return;  // the machine's own data
    for (const auto& [name, value] : sim::registry::values(key)) {
        if (sim::equalsIgnoringCase(key, kSessionManager) &&
            sim::equalsIgnoringCase(name, kPendingRenames))
            continue;  // reported as what waits for the restart
        const std::string shown = key + "\\" + (name.empty() ? "(default)" : name);
        snapshot->registry[sim::folded(shown)] = shown + " = " + dump::typeName(value.first) + " " +
                                                 dump::valueText(value.first, value.second);
    }
    for (const std::string& sub : sim::registry::subkeys(key)) readKey(key + "\\" + sub, snapshot);
}

void readSpooler(MachineSnapshot* snapshot) {
    std::vector<platform::PrinterInfo2> printers;
    if (platform::enumPrinters(platform::kPrinterEnumLocal | platform::kPrinterEnumConnections,
                               &printers))
        for (const platform::PrinterInfo2& p : printers)
            snapshot->printers[p.printerName] =
                p.printerName + " (driver " + p.driverName + ", port " + p.portName + ")";
    std::vector<platform::DriverInfo3> drivers;
    if (platform::enumPrinterDrivers(nativeEnvironment(), &drivers))
        for (const platform::DriverInfo3& d : drivers)
            snapshot->drivers[d.environment + "|" + std::to_string(d.version) + "|" + d.name] =
                dump::driverLine(driverRecordOf(d)).substr(sizeof "driver|" - 1);
    std::vector<std::string> monitors;
    uint32_t needed = 0;
    if (platform::enumMonitors(&monitors, &needed))
        snapshot->monitors.insert(monitors.begin(), monitors.end());
    const std::string processors = std::string(sim::spooler::kPrintKey) + "\\Environments\\" +
                                   nativeEnvironment() + "\\Print Processors";
    for (const std::string& name : sim::registry::subkeys(processors))
        snapshot->processors.insert(name);
}

void readRestart(MachineSnapshot* snapshot) {
    for (const std::string& operation : pendingRestartOperations())
        snapshot->restart.insert(operation);
    for (const auto& [name, value] : sim::registry::values(kRunOnce))
        snapshot->restart.insert("run once " + name + ": " +
                                 dump::valueText(value.first, value.second));
    // WININIT.INI's [Rename] section, which the 9x family carries out when it starts.
    const sim::ResolvedPath wininit =
        sim::resolvePath(platform::getWindowsDirectory() + "\\WININIT.INI");
    std::ifstream in(wininit.host);
    bool inRename = false;
    for (std::string line; wininit.exists && std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inRename = sim::equalsIgnoringCase(line, "[Rename]");
        } else if (inRename && !line.empty()) {
            snapshot->restart.insert("WININIT.INI " + line);
        }
    }
}

bool startsProgram(const std::string& line) {
    for (const char* start : {"CreateProcess", "system ", "batch file", "DocumentProperties",
                              "AdvancedDocumentProperties", "PrinterProperties"})
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

template <typename Map>
Difference mapDifference(const Map& before, const Map& after) {
    Difference d;
    for (const auto& [key, value] : after) {
        const auto was = before.find(key);
        if (was == before.end())
            d.added.push_back(value);
        else if (was->second != value)
            d.changed.push_back(value);
    }
    for (const auto& [key, value] : before)
        if (!after.contains(key)) d.removed.push_back(value);
    return d;
}

Difference setDifference(const std::set<std::string>& before, const std::set<std::string>& after) {
    Difference d;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(d.added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(d.removed));
    return d;
}

bool isLink(const std::string& shown) {
    return sim::endsWithIgnoringCase(shown.substr(0, shown.rfind(" (")), ".lnk");
}

}  // namespace

MachineSnapshot readMachine(const fs::path& dir, const std::string& skipFile) {
    MachineSnapshot snapshot;
    readFiles(dir, skipFile, &snapshot);
    for (const char* root :
         {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS", "HKEY_CURRENT_CONFIG"})
        readKey(root, &snapshot);
    readSpooler(&snapshot);
    std::ifstream journal(dir / "journal.log");
    for (std::string line; std::getline(journal, line);) snapshot.journal.push_back(line);
    readRestart(&snapshot);
    return snapshot;
}

MachineChanges compareMachines(const MachineSnapshot& before, const MachineSnapshot& after) {
    MachineChanges changes;
    changes.files = mapDifference(before.files, after.files);
    changes.registry = mapDifference(before.registry, after.registry);
    changes.printers = mapDifference(before.printers, after.printers);
    changes.drivers = mapDifference(before.drivers, after.drivers);
    changes.monitors = setDifference(before.monitors, after.monitors);
    changes.processors = setDifference(before.processors, after.processors);
    for (const std::string& file : changes.files.added)
        if (isLink(file)) changes.shortcuts.push_back(file.substr(0, file.rfind(" (")));
    for (size_t i = before.journal.size(); i < after.journal.size(); ++i)
        if (startsProgram(after.journal[i])) changes.programs.push_back(after.journal[i]);
    std::set_difference(after.restart.begin(), after.restart.end(), before.restart.begin(),
                        before.restart.end(), std::back_inserter(changes.restart));
    return changes;
}

}  // namespace winsim
