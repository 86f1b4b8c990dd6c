#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/spooler.h"

// Where the simulated spooler keeps printers, connections and drivers, and how their records
// are read from and written to those keys. Shared by the printer and driver calls.
namespace sim::spooler {

constexpr const char* kPrintKey = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print";
constexpr const char* kPrintersKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr const char* kConnectionsKey = "HKEY_CURRENT_USER\\Printers\\Connections";
constexpr const char* kPrinterRulesKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Printers";

// A printer-driver environment and the directory below spool\drivers (NT family) that keeps
// its drivers' files.
struct EnvironmentInfo {
    const char* name;
    const char* driverSubdirectory;
};

// The environment of this name (case ignored), or null when the spooler knows none such.
const EnvironmentInfo* findEnvironment(const std::string& name);

// A printer the spooler knows: a local one or a connection to another computer's printer.
struct PrinterLocation {
    std::string key;          // full registry path of its key
    std::string keyName;      // that key's own name, as stored
    std::string printerName;  // the name the spooler reports ("\\HOST\NAME" for a connection)
    std::string serverName;   // empty for a local printer
    bool connection = false;
};

std::vector<PrinterLocation> localPrinters();
std::vector<PrinterLocation> connections();
// The printer of this name (case ignored; a connection by its "\\HOST\NAME"), if any.
bool findPrinter(const std::string& name, PrinterLocation* location);

platform::PrinterInfo2 readPrinterRecord(const PrinterLocation& location);
void writePrinterRecord(const PrinterLocation& location, const platform::PrinterInfo2& info);

// Registry data as the spooler reads it; missing or mistyped values give the fallback.
std::string textValue(const std::string& key, const char* name, const std::string& fallback = {});
uint32_t numberValue(const std::string& key, const char* name, uint32_t fallback);
std::vector<std::string> listValue(const std::string& key, const char* name);
uint64_t quadValue(const std::string& key, const char* name);

}  // namespace sim::spooler
