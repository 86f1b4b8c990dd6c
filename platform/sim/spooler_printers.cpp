#include <string>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/spooler_handles.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

namespace {

// Size of PRINTER_INFO_2 in a 32-bit process: 13 pointers and 8 numbers.
constexpr uint32_t kPrinterInfo2FixedSize = 84;

// The rights a machine's rules grant on a printer; a connection's rules are kept under its
// connection key name, since "\\HOST\NAME" cannot name a registry key.
uint32_t allowedAccess(const sim::spooler::PrinterLocation& location) {
    return sim::spooler::numberValue(
        std::string(sim::spooler::kPrinterRulesKey) + "\\" + location.keyName, "AllowedAccess",
        kPrinterAllAccess);
}

bool failsWithFault(const char* call, const std::string& subject) {
    const uint32_t fault = sim::injectedFault(call, subject);
    if (fault != 0) setLastError(fault);
    return fault != 0;
}

// An open handle whose printer was not deleted since it was opened.
bool usableHandle(PrinterHandle handle, sim::spooler::PrinterLocation* location) {
    const uint32_t problem = sim::spooler::handleError(handle, location);
    if (problem != error::kSuccess) setLastError(problem);
    return problem == error::kSuccess;
}

uint32_t recordSize(const PrinterInfo2& info) {
    uint32_t size = kPrinterInfo2FixedSize;
    for (const std::string* text :
         {&info.serverName, &info.printerName, &info.shareName, &info.portName, &info.driverName,
          &info.comment, &info.location, &info.sepFile, &info.printProcessor, &info.datatype,
          &info.parameters})
        size += static_cast<uint32_t>(text->size() + 1);
    return size;
}

}  // namespace

bool openPrinter(const std::string& name, uint32_t desiredAccess, PrinterHandle* handle) {
    if (handle == nullptr) {
        setLastError(error::kInvalidParameter);
        return false;
    }
    *handle = nullptr;
    if (failsWithFault("OpenPrinter", name)) return false;
    sim::spooler::PrinterLocation location;
    if (!sim::spooler::findPrinter(name, &location)) {
        setLastError(kErrorInvalidPrinterName);
        return false;
    }
    const uint32_t access = sim::spooler::mapGenericPrinterRights(desiredAccess);
    if ((access & ~allowedAccess(location)) != 0) {
        setLastError(error::kAccessDenied);
        return false;
    }
    *handle = sim::spooler::registerHandle(PrinterHandleData{name, location, access});
    return true;
}

bool closePrinter(PrinterHandle handle) {
    if (sim::spooler::releaseHandle(handle)) return true;
    setLastError(error::kInvalidHandle);
    return false;
}

bool getPrinter(PrinterHandle handle, PrinterInfo2* info, uint32_t* needed) {
    if (needed != nullptr) *needed = 0;
    sim::spooler::PrinterLocation location;
    if (!usableHandle(handle, &location)) return false;
    if (info == nullptr) {
        if (failsWithFault("GetPrinterSize", handle->openedAs)) return false;
        if (needed != nullptr) *needed = recordSize(sim::spooler::readPrinterRecord(location));
        setLastError(error::kInsufficientBuffer);
        return false;
    }
    if (failsWithFault("GetPrinter", handle->openedAs)) return false;
    *info = sim::spooler::readPrinterRecord(location);
    if (needed != nullptr) *needed = recordSize(*info);
    return true;
}

// Changing a printer's settings takes the administer right, as on Windows.
bool setPrinter(PrinterHandle handle, const PrinterInfo2& info) {
    sim::spooler::PrinterLocation location;
    if (!usableHandle(handle, &location)) return false;
    if ((handle->access & kPrinterAccessAdminister) == 0) {
        setLastError(error::kAccessDenied);
        return false;
    }
    if (failsWithFault("SetPrinter", handle->openedAs)) return false;
    sim::spooler::writePrinterRecord(location, info);
    return true;
}

}  // namespace platform
