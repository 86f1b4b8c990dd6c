#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/sim/host_file_times.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/dump_lines.h"
#include "tools/winsim/machine_reads.h"

namespace winsim {

namespace {

namespace fs = std::filesystem;

const CommandInfo kDump = {
    "dump",
    "usage: winsim dump DIR [--keys \"KEY;KEY\"] [--dirs \"C:\\DIR;C:\\DIR\"] [--times "
    "\"C:\\DIR\"]\n"
    "  Prints the machine as sorted lines that a program reading a real machine prints\n"
    "  the same way: the Windows NT x86 printer drivers, the printers and their data, the\n"
    "  monitors, the values of the registry keys (KEY|VALUE: one value) and the files (size\n"
    "  and fingerprint)\n"
    "  below the directories, and the last-write times of the files below the --times ones.\n",
    {{"--keys", true}, {"--dirs", true}, {"--times", true}},
    1,
    1};

constexpr const char* kDriverEnvironment = "Windows NT x86";

void addDrivers(std::vector<std::string>* lines) {
    std::vector<platform::DriverInfo3> drivers;
    if (!platform::enumPrinterDrivers(kDriverEnvironment, &drivers)) {
        lines->push_back("error|EnumPrinterDrivers");
        return;
    }
    for (const platform::DriverInfo3& driver : drivers)
        lines->push_back(dump::driverLine(driverRecordOf(driver)));
}

void addPrinters(std::vector<std::string>* lines) {
    std::vector<platform::PrinterInfo2> printers;
    if (!platform::enumPrinters(platform::kPrinterEnumLocal, &printers)) {
        lines->push_back("error|EnumPrinters");
        return;
    }
    for (const platform::PrinterInfo2& printer : printers) {
        lines->push_back(
            dump::printerLine(printer.printerName, printer.driverName, printer.portName));
        const std::string dataKey = std::string(sim::spooler::kPrintersKey) + "\\" +
                                    printer.printerName + "\\PrinterDriverData";
        for (const auto& [name, value] : sim::registry::values(dataKey))
            lines->push_back(
                dump::printerDataLine(printer.printerName, name, value.first, value.second));
    }
}

void addMonitors(std::vector<std::string>* lines) {
    std::vector<std::string> names;
    uint32_t needed = 0;
    if (!platform::enumMonitors(&names, &needed)) {
        lines->push_back("error|EnumMonitors");
        return;
    }
    for (const std::string& name : names) lines->push_back("monitor|" + name);
}

void addRegistryKey(const dump::KeyItem& item, std::vector<std::string>* lines) {
    if (!sim::registry::keyExists(item.key)) {
        lines->push_back("reg|" + item.key + "|(no key)");
        return;
    }
    for (const auto& [name, value] : sim::registry::values(item.key))
        if (!item.oneValue || sim::equalsIgnoringCase(name, item.value))
            lines->push_back(dump::registryLine(item.key, name, value.first, value.second));
}

// Calls take(host path) for every regular file below the Windows directory.
template <typename Take>
void forEachFile(const std::string& directory, Take take) {
    const sim::ResolvedPath resolved = sim::resolvePath(directory);
    std::error_code error;
    if (!resolved.exists || !fs::is_directory(resolved.host, error)) return;
    for (fs::recursive_directory_iterator it(resolved.host, error), end; !error && it != end;
         it.increment(error))
        if (it->is_regular_file(error)) take(it->path());
}

void addFiles(const std::string& directory, std::vector<std::string>* lines) {
    forEachFile(directory, [&](const fs::path& host) {
        lines->push_back(
            dump::fileLine(sim::windowsPathOf(host), sim::readHostFile(host).value_or("")));
    });
}

void addTimes(const std::string& directory, std::vector<std::string>* lines) {
    forEachFile(directory, [&](const fs::path& host) {
        platform::FileTimes times;
        if (sim::readHostTimes(host, &times))
            lines->push_back(dump::timeLine(sim::windowsPathOf(host), times.lastWrite));
    });
}

}  // namespace

int runDump(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kDump, words, &args, &exitCode)) return exitCode;
    if (!openExistingMachine(kDump, args.positional[0], &exitCode)) return exitCode;
    std::vector<std::string> lines;
    addDrivers(&lines);
    addPrinters(&lines);
    addMonitors(&lines);
    for (const std::string& key : dump::splitOn(args.value("--keys"), ';'))
        addRegistryKey(dump::keyItem(key), &lines);
    for (const std::string& dir : dump::splitOn(args.value("--dirs"), ';')) addFiles(dir, &lines);
    for (const std::string& dir : dump::splitOn(args.value("--times"), ';')) addTimes(dir, &lines);
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return kExitSuccess;
}

}  // namespace winsim
