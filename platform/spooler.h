#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The print spooler, with Win32 semantics: calls report success as a bool and the reason
// through the last error. Records are plain structs; the Windows backend converts them to and
// from the winspool structures, so the engine can keep pointers into its own vectors.
namespace platform {

struct PrinterInfo2 {
    std::string serverName;  // "\\SERVER" for a connection, empty for a local printer
    std::string printerName;
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor;
    std::string datatype;
    std::string parameters;
    uint32_t attributes = 0;
    uint32_t priority = 0;
    uint32_t defaultPriority = 0;
    uint32_t startTime = 0;
    uint32_t untilTime = 0;
    uint32_t status = 0;
    uint32_t jobs = 0;
    uint32_t averagePpm = 0;
};

struct DriverInfo3 {
    uint32_t version = 0;
    std::string name;
    std::string environment;
    std::string driverPath;  // full paths, in the spooler's driver directory
    std::string dataFile;
    std::string configFile;
    std::string helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitorName;
    std::string defaultDataType;
};

struct DriverInfo6 : DriverInfo3 {
    std::vector<std::string> previousNames;
    uint64_t driverDate = 0;  // FILETIME as one number
    uint64_t driverVersion = 0;
    std::string mfgName;
    std::string oemUrl;
    std::string hardwareId;
    std::string provider;
};

struct PrinterHandleData;  // opaque; a HANDLE on Windows
using PrinterHandle = PrinterHandleData*;

constexpr uint32_t kPrinterAccessAdminister = 0x4;
constexpr uint32_t kPrinterAccessUse = 0x8;
constexpr uint32_t kPrinterRead = 0x20008;  // STANDARD_RIGHTS_READ | PRINTER_ACCESS_USE
constexpr uint32_t kPrinterAllAccess = 0xF000C;

constexpr uint32_t kPrinterEnumLocal = 0x2;
constexpr uint32_t kPrinterEnumConnections = 0x4;

constexpr uint32_t kErrorInvalidPrinterName = 1801;
constexpr uint32_t kPrinterAttributeEnableBidi = 0x800;

// OpenPrinter with no data type and no device mode.
bool openPrinter(const std::string& name, uint32_t desiredAccess, PrinterHandle* handle);
bool closePrinter(PrinterHandle handle);

// GetPrinter at level 2. With info null only the needed size is reported (the call then
// fails with kInsufficientBuffer, as GetPrinter does with an empty buffer); a size of 0 means
// the spooler has nothing to tell. With info given, fills it.
bool getPrinter(PrinterHandle handle, PrinterInfo2* info, uint32_t* needed);
// SetPrinter at level 2, command 0.
bool setPrinter(PrinterHandle handle, const PrinterInfo2& info);

// EnumPrinters at level 2 on the local computer, flags kPrinterEnumLocal and/or
// kPrinterEnumConnections. The vector is replaced.
bool enumPrinters(uint32_t flags, std::vector<PrinterInfo2>* printers);

// EnumPrinterDrivers on the local computer for an environment ("Windows NT x86",
// "Windows 4.0"), at level 3 or 6. The vector is replaced.
bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo3>* drivers);
bool enumPrinterDrivers(const std::string& environment, std::vector<DriverInfo6>* drivers);

// AddPrinterDriver on the local computer at level 3 or 6, for the record's environment (the
// current one when empty). The files the record names (by full path or bare name) must be in
// the spooler's driver directory, or already in the version directory; a record of the same
// name and version replaces the old one.
bool addPrinterDriver(const DriverInfo3& driver);
bool addPrinterDriver(const DriverInfo6& driver);

// GetPrinterData: returns the Win32 error code (0 on success) as the call does, without
// touching the last error. Fills *type, *needed and, when bufferSize is large enough,
// *data; a buffer too small gives kMoreData (234) with *type and *needed set. A missing
// value gives 2.
uint32_t getPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t* type,
                        std::string* data, uint32_t bufferSize, uint32_t* needed);
// SetPrinterData: returns the Win32 error code; the handle needs the administer right (5).
uint32_t setPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t type,
                        const std::string& data);

// EnumMonitors at level 1 on the local computer. With names null only the size is asked for:
// *needed gets it and the call fails with kInsufficientBuffer as with an empty buffer (a size
// of 0 means the spooler could not answer). With names given, the vector is replaced.
bool enumMonitors(std::vector<std::string>* names, uint32_t* needed);

// AddPrintProcessor on the local computer: the library (a file name) must already be in
// the print-processor directory of that environment.
bool addPrintProcessor(const std::string& environment, const std::string& libraryName,
                       const std::string& processorName);

// GetPrinterDriverDirectory and GetPrintProcessorDirectory for the local computer, the
// current environment, level 1. Empty with the last error on failure.
std::string getPrinterDriverDirectory();
std::string getPrintProcessorDirectory();

}  // namespace platform
