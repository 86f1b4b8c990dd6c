#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/registry.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_store.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/driver_layout.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kDriverAdd = {
    "driver add",
    "usage: winsim driver add DIR NAME [--version N] [--environment ENV] [--driver-path F]\n"
    "                         [--data-file F] [--config-file F] [--help-file F]\n"
    "                         [--dependent F,...] [--monitor M]\n"
    "  Installs printer driver NAME. Files are bare names; each one missing from the driver\n"
    "  directory is created there empty.\n"
    "  --version      driver version 0 to 3 (default: 0 on 9x, 2 on NT4, 3 from 2000 on)\n"
    "  --environment  Windows NT x86, Windows 4.0, Windows x64 or Windows IA64\n"
    "                 (default: Windows 4.0 on 9x, else Windows NT x86)\n",
    {{"--version", true},
     {"--environment", true},
     {"--driver-path", true},
     {"--data-file", true},
     {"--config-file", true},
     {"--help-file", true},
     {"--dependent", true},
     {"--monitor", true}},
    2,
    2};

constexpr uint32_t kHighestDriverVersion = 3;

struct NewDriver {
    std::string name;
    std::string environment;
    uint32_t version = 0;
    std::string driverPath, dataFile, configFile, helpFile, monitor;
    std::vector<std::string> dependentFiles;

    std::vector<std::string> files() const {
        std::vector<std::string> all = {driverPath, dataFile, configFile, helpFile};
        all.insert(all.end(), dependentFiles.begin(), dependentFiles.end());
        return all;
    }
};

// Names and numbers from the command line; empty when they are usable, else what is wrong.
std::string describeDriver(const ParsedArgs& args, NewDriver* driver) {
    driver->name = args.positional[1];
    if (driver->name.empty() || driver->name.find_first_of("\\,\r\n") != std::string::npos)
        return "bad driver name \"" + driver->name + "\"";
    if (args.has("--version") &&
        !parseDecimal(args.value("--version"), kHighestDriverVersion, &driver->version))
        return "bad driver version \"" + args.value("--version") + "\" (0 to 3)";
    if (args.has("--environment")) {
        driver->environment = knownEnvironment(args.value("--environment"));
        if (driver->environment.empty())
            return "unknown environment \"" + args.value("--environment") + "\"";
    }
    driver->driverPath = args.value("--driver-path");
    driver->dataFile = args.value("--data-file");
    driver->configFile = args.value("--config-file");
    driver->helpFile = args.value("--help-file");
    driver->monitor = args.value("--monitor");
    driver->dependentFiles = splitList(args.value("--dependent"));
    for (const std::string& file : driver->files())
        if (!isBareFileName(file)) return "not a bare file name: \"" + file + "\"";
    return {};
}

// The machine decides what the command line left open.
void applyMachineDefaults(const ParsedArgs& args, NewDriver* driver) {
    if (driver->environment.empty()) driver->environment = nativeEnvironment();
    if (!args.has("--version")) driver->version = nativeDriverVersion();
}

std::string multiStringData(const std::vector<std::string>& items) {
    std::string data;
    for (const std::string& item : items) data += item + '\0';
    return data + '\0';
}

void writeDriverValues(const NewDriver& driver) {
    const std::string key = driverKey(driver.environment, driver.version, driver.name);
    auto text = [&key](const char* name, const std::string& value) {
        sim::registry::writeValue(key, name, platform::kRegSz, textData(value));
    };
    sim::registry::writeValue(key, "Version", platform::kRegDword, sim::dwordData(driver.version));
    text("Driver", driver.driverPath);
    text("Data File", driver.dataFile);
    text("Configuration File", driver.configFile);
    text("Help File", driver.helpFile);
    sim::registry::writeValue(key, "Dependent Files", platform::kRegMultiSz,
                              multiStringData(driver.dependentFiles));
    text("Monitor", driver.monitor);
    text("Datatype", "");
}

// An empty file stands in for each driver file the machine does not have yet.
std::string createPlaceholders(const NewDriver& driver) {
    const std::string directory = driverFileDirectory(driver.environment, driver.version);
    for (const std::string& file : driver.files()) {
        if (file.empty()) continue;
        const sim::ResolvedPath resolved = sim::resolvePath(directory + "\\" + file);
        if (resolved.exists) continue;
        std::error_code ec;
        // A file where a directory should be is reported as this host path; never overwrite it.
        if (resolved.host.empty() || fs::exists(fs::symlink_status(resolved.host, ec)))
            return directory + "\\" + file + ": cannot be placed in the machine";
        fs::create_directories(resolved.host.parent_path(), ec);
        // Kept in the directory's listing, so that the next name does not read it again.
        const sim::EntryChange change(resolved.host);
        std::ofstream out(resolved.host, std::ios::binary);
        if (ec || !out) return resolved.host.string() + ": cannot be created";
    }
    return {};
}

}  // namespace

int runDriverAdd(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kDriverAdd, words, &args, &exitCode)) return exitCode;
    NewDriver driver;
    const std::string problem = describeDriver(args, &driver);
    if (!problem.empty()) return usageError(kDriverAdd, problem);
    if (!openExistingMachine(kDriverAdd, args.positional[0], &exitCode)) return exitCode;
    applyMachineDefaults(args, &driver);
    if (!sim::registry::isStorableKeyPath(
            driverKey(driver.environment, driver.version, driver.name)))
        return usageError(kDriverAdd, "driver name too long");
    const std::string placed = createPlaceholders(driver);
    if (!placed.empty()) return failure(kDriverAdd, placed);
    writeDriverValues(driver);
    return kExitSuccess;
}

}  // namespace winsim
