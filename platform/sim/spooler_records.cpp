#include <string>
#include <vector>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_data.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_keys.h"

namespace sim::spooler {

namespace {

constexpr uint32_t kLocalAttribute = 0x40;
constexpr uint32_t kNetworkAttribute = 0x10;

// ",,HOST,NAME" is the key Windows keeps for the connection to \\HOST\NAME.
bool parseConnectionKey(const std::string& keyName, std::string* host, std::string* printer) {
    if (keyName.size() < 2 || keyName.compare(0, 2, ",,") != 0) return false;
    const size_t comma = keyName.find(',', 2);
    if (comma == std::string::npos || comma == 2 || comma + 1 == keyName.size()) return false;
    *host = keyName.substr(2, comma - 2);
    *printer = keyName.substr(comma + 1);
    return true;
}

}  // namespace

std::string textValue(const std::string& key, const char* name, const std::string& fallback) {
    uint32_t type = 0;
    std::string data;
    if (!registry::readValue(key, name, &type, &data)) return fallback;
    if (type != platform::kRegSz && type != platform::kRegExpandSz) return fallback;
    return data.substr(0, data.find('\0'));
}

uint32_t numberValue(const std::string& key, const char* name, uint32_t fallback) {
    uint32_t type = 0;
    std::string data;
    if (!registry::readValue(key, name, &type, &data)) return fallback;
    if (type != platform::kRegDword || data.size() != 4) return fallback;
    return platform::littleEndian32(data);
}

uint64_t quadValue(const std::string& key, const char* name) {
    uint32_t type = 0;
    std::string data;
    if (!registry::readValue(key, name, &type, &data)) return 0;
    if ((type != platform::kRegQword && type != platform::kRegBinary) || data.size() != 8) return 0;
    return platform::littleEndian(data, 0, 8);
}

std::vector<std::string> listValue(const std::string& key, const char* name) {
    uint32_t type = 0;
    std::string data;
    std::vector<std::string> list;
    if (!registry::readValue(key, name, &type, &data) || type != platform::kRegMultiSz) return list;
    size_t start = 0;
    while (start < data.size()) {
        const size_t end = data.find('\0', start);
        const std::string item = data.substr(start, end - start);
        if (item.empty()) break;  // the empty string that closes the list
        list.push_back(item);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return list;
}

std::vector<PrinterLocation> localPrinters() {
    std::vector<PrinterLocation> printers;
    for (const std::string& name : registry::subkeys(kPrintersKey))
        printers.push_back({std::string(kPrintersKey) + "\\" + name, name, name, {}, false});
    return printers;
}

std::vector<PrinterLocation> connections() {
    std::vector<PrinterLocation> printers;
    for (const std::string& keyName : registry::subkeys(kConnectionsKey)) {
        std::string host, printer;
        if (!parseConnectionKey(keyName, &host, &printer)) continue;
        const std::string key = std::string(kConnectionsKey) + "\\" + keyName;
        const std::string server = textValue(key, "Server");
        printers.push_back({key, keyName, "\\\\" + host + "\\" + printer,
                            server.empty() ? "\\\\" + host : server, true});
    }
    return printers;
}

bool findPrinter(const std::string& name, PrinterLocation* location) {
    for (const auto& list : {localPrinters(), connections()}) {
        for (const PrinterLocation& candidate : list) {
            if (!equalsIgnoringCase(candidate.printerName, name)) continue;
            *location = candidate;
            return true;
        }
    }
    return false;
}

platform::PrinterInfo2 readPrinterRecord(const PrinterLocation& location) {
    const std::string& key = location.key;
    platform::PrinterInfo2 info;
    info.serverName = location.serverName;
    info.printerName = location.printerName;
    info.shareName = textValue(key, "Share Name");
    info.portName = textValue(key, "Port");
    info.driverName = textValue(key, "Printer Driver");
    info.comment = textValue(key, "Description");
    info.location = textValue(key, "Location");
    info.sepFile = textValue(key, "Separator File");
    info.printProcessor = textValue(key, "Print Processor", "WinPrint");
    info.datatype = textValue(key, "Datatype", "RAW");
    info.parameters = textValue(key, "Parameters");
    info.attributes =
        numberValue(key, "Attributes", location.connection ? kNetworkAttribute : kLocalAttribute);
    info.priority = numberValue(key, "Priority", 1);
    info.defaultPriority = numberValue(key, "Default Priority", 0);
    info.startTime = numberValue(key, "StartTime", 0);
    info.untilTime = numberValue(key, "UntilTime", 0);
    info.status = numberValue(key, "Status", 0);
    return info;
}

// The printer's name, status, job count and speed are the spooler's own; SetPrinter at level 2
// leaves them as they are.
void writePrinterRecord(const PrinterLocation& location, const platform::PrinterInfo2& info) {
    const std::string& key = location.key;
    writeText(key, "Share Name", info.shareName);
    writeText(key, "Port", info.portName);
    writeText(key, "Printer Driver", info.driverName);
    writeText(key, "Description", info.comment);
    writeText(key, "Location", info.location);
    writeText(key, "Separator File", info.sepFile);
    writeText(key, "Print Processor", info.printProcessor);
    writeText(key, "Datatype", info.datatype);
    writeText(key, "Parameters", info.parameters);
    writeNumber(key, "Attributes", info.attributes);
    writeNumber(key, "Priority", info.priority);
    writeNumber(key, "Default Priority", info.defaultPriority);
    writeNumber(key, "StartTime", info.startTime);
    writeNumber(key, "UntilTime", info.untilTime);
}

}  // namespace sim::spooler
