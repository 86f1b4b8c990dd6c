#include <algorithm>
#include <cstdio>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/os_keys.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "tools/winsim/command.h"
#include "tools/winsim/commands.h"
#include "tools/winsim/driver_layout.h"
#include "tools/winsim/machine_reads.h"

namespace winsim {

namespace {

const CommandInfo kShow = {
    "show",
    "usage: winsim show DIR\n"
    "  Prints the machine's Windows version, directories, printers and their data, drivers,\n"
    "  port monitors and print processors, and the file operations waiting for the next\n"
    "  restart.\n",
    {},
    1,
    1};

void line(const std::string& text) { std::printf("%s\n", text.c_str()); }

void field(const char* label, const std::string& value) {
    std::printf("%-22s%s\n", (std::string(label) + ":").c_str(), value.c_str());
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void showSystem() {
    if (sim::isWin9xMachine()) {
        field("OS",
              "Windows 9x family, VersionNumber " +
                  sim::registry::readString(sim::kWin9xVersionKey, "VersionNumber") +
                  ", SubVersionNumber " +
                  quoted(sim::registry::readString(sim::kWin9xVersionKey, "SubVersionNumber")));
        field("Service pack", "none");
    } else {
        field("OS", "Windows NT family, CurrentVersion " +
                        sim::registry::readString(sim::kNtVersionKey, "CurrentVersion"));
        const std::string csd = sim::registry::readString(sim::kNtVersionKey, "CSDVersion");
        field("Service pack", csd.empty() ? "none" : csd);
    }
    field("64-bit", sim::registry::keyExists("HKLM\\Software\\Wow6432Node") ? "yes" : "no");
    field("Windows directory", platform::getWindowsDirectory());
    field("System directory", platform::getSystemDirectory());
    field("Temp directory", platform::getTempPath());
    field("Printer driver dir", platform::getPrinterDriverDirectory());
}

std::string printerLine(const std::string& key, const std::string& name) {
    return "  " + name + ": driver " + quoted(sim::registry::readString(key, "Printer Driver")) +
           ", port " + quoted(sim::registry::readString(key, "Port"));
}

std::string hexBytes(const std::string& data) {
    std::string text;
    char byte[4];
    for (unsigned char c : data) {
        std::snprintf(byte, sizeof byte, text.empty() ? "%02x" : ",%02x", c);
        text += byte;
    }
    return text;
}

std::vector<std::string> splitMultiString(const std::string& data);

// A value's data as a person reads it: text quoted, numbers in hex, anything else as bytes.
std::string describeData(uint32_t type, const std::string& data) {
    if (type == platform::kRegSz || type == platform::kRegExpandSz)
        return quoted(data.substr(0, data.find('\0')));
    if (type == platform::kRegDword && data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", platform::littleEndian32(data));
        return text;
    }
    if (type == platform::kRegMultiSz) {
        std::string text;
        for (const std::string& item : splitMultiString(data))
            text += (text.empty() ? "" : ", ") + quoted(item);
        return text;
    }
    return "hex " + hexBytes(data);
}

std::string typeName(uint32_t type) {
    switch (type) {
        case platform::kRegSz:
            return "REG_SZ";
        case platform::kRegExpandSz:
            return "REG_EXPAND_SZ";
        case platform::kRegBinary:
            return "REG_BINARY";
        case platform::kRegDword:
            return "REG_DWORD";
        case platform::kRegMultiSz:
            return "REG_MULTI_SZ";
        case platform::kRegQword:
            return "REG_QWORD";
        default:
            return "type " + std::to_string(type);
    }
}

void showPrinterData(const std::string& printerKey) {
    for (const auto& [name, value] : sim::registry::values(printerKey + "\\PrinterDriverData"))
        line("    data " + quoted(name) + " (" + typeName(value.first) +
             "): " + describeData(value.first, value.second));
}

void showPrinters() {
    line("Printers:");
    size_t count = 0;
    for (const std::string& name : sim::registry::subkeys(sim::spooler::kPrintersKey)) {
        const std::string key = std::string(sim::spooler::kPrintersKey) + "\\" + name;
        line(printerLine(key, name));
        showPrinterData(key);
        ++count;
    }
    for (const std::string& keyName : sim::registry::subkeys(sim::spooler::kConnectionsKey)) {
        const size_t comma = keyName.find(',', 2);
        if (keyName.rfind(",,", 0) != 0 || comma == std::string::npos) continue;
        const std::string key = std::string(sim::spooler::kConnectionsKey) + "\\" + keyName;
        const std::string server = "\\\\" + keyName.substr(2, comma - 2);
        line(printerLine(key, server + "\\" + keyName.substr(comma + 1)) + ", server " + server);
        showPrinterData(key);
        ++count;
    }
    if (count == 0) line("  (none)");
}

std::vector<std::string> splitMultiString(const std::string& data) {
    std::vector<std::string> items;
    for (size_t start = 0; start < data.size();) {
        const size_t end = std::min(data.find('\0', start), data.size());
        if (end > start) items.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::vector<std::string> multiString(const std::string& key, const char* name) {
    uint32_t type = 0;
    std::string data;
    if (!sim::registry::readValue(key, name, &type, &data) || type != platform::kRegMultiSz)
        return {};
    return splitMultiString(data);
}

// The whole record, with the files where the spooler reports them.
void showDriverRecord(const std::string& key, const std::string& directory) {
    const std::string version = sim::registry::readString(key, "Version");
    if (!version.empty()) line("    Version: " + version);
    for (const char* name : {"Driver", "Data File", "Configuration File", "Help File"}) {
        const std::string file = sim::registry::readString(key, name);
        if (!file.empty()) line("    " + std::string(name) + ": " + directory + "\\" + file);
    }
    for (const std::string& file : multiString(key, "Dependent Files"))
        line("    Dependent File: " + directory + "\\" + file);
    for (const char* name :
         {"Monitor", "Datatype", "Manufacturer", "OEM Url", "HardwareID", "Provider"}) {
        const std::string text = sim::registry::readString(key, name);
        if (!text.empty()) line("    " + std::string(name) + ": " + text);
    }
    for (const std::string& previous : multiString(key, "Previous Names"))
        line("    Previous Name: " + previous);
    for (const char* name : {"DriverDate", "DriverVersion"}) {
        uint32_t type = 0;
        std::string data;
        if (sim::registry::readValue(key, name, &type, &data))
            line("    " + std::string(name) + ": " + describeData(type, data));
    }
}

// "Version-3" as 3; false for a key of another name.
bool versionOfKey(const std::string& keyName, uint32_t* version) {
    return keyName.rfind("Version-", 0) == 0 && parseDecimal(keyName.substr(8), 99, version);
}

void showDrivers() {
    line("Drivers:");
    size_t count = 0;
    for (const std::string& environment : sim::registry::subkeys(environmentsKey())) {
        const std::string driversKey = environmentsKey() + "\\" + environment + "\\Drivers";
        for (const std::string& versionKey : sim::registry::subkeys(driversKey)) {
            uint32_t version = 0;
            if (!versionOfKey(versionKey, &version)) continue;
            for (const std::string& name : sim::registry::subkeys(driversKey + "\\" + versionKey)) {
                line("  " + environment + ", version " + std::to_string(version) + ": " + name);
                showDriverRecord(driverKey(environment, version, name),
                                 driverFileDirectory(environment, version));
                ++count;
            }
        }
    }
    if (count == 0) line("  (none)");
}

void showMonitors() {
    line("Monitors:");
    const std::string key = std::string(sim::spooler::kPrintKey) + "\\Monitors";
    const std::vector<std::string> names = sim::registry::subkeys(key);
    for (const std::string& name : names)
        line("  " + name + ": " + sim::registry::readString(key + "\\" + name, "Driver"));
    if (names.empty()) line("  (none)");
}

void showPrintProcessors() {
    line("Print processors:");
    size_t count = 0;
    for (const std::string& environment : sim::registry::subkeys(environmentsKey())) {
        const std::string key = environmentsKey() + "\\" + environment + "\\Print Processors";
        for (const std::string& name : sim::registry::subkeys(key)) {
            line("  " + environment + ", " + name + ": " +
                 sim::registry::readString(key + "\\" + name, "Driver"));
            ++count;
        }
    }
    if (count == 0) line("  (none)");
}

void showRestartOperations() {
    line("At the next restart:");
    const std::vector<std::string> operations = pendingRestartOperations();
    for (const std::string& operation : operations) line("  " + operation);
    if (operations.empty()) line("  (nothing)");
}

}  // namespace

int runShow(const std::vector<std::string>& words) {
    ParsedArgs args;
    int exitCode = kExitSuccess;
    if (!prepare(kShow, words, &args, &exitCode)) return exitCode;
    if (!openExistingMachine(kShow, args.positional[0], &exitCode)) return exitCode;
    showSystem();
    showPrinters();
    showDrivers();
    showMonitors();
    showPrintProcessors();
    showRestartOperations();
    return kExitSuccess;
}

}  // namespace winsim
