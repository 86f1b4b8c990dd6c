#include <map>
#include <memory>
#include <string>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

struct PrinterHandleData {
    std::string openedAs;  // the name as the caller spelled it: the subject of injected faults
    sim::spooler::PrinterLocation location;
    uint32_t access = 0;
};

namespace {

// Size of PRINTER_INFO_2 in a 32-bit process: 13 pointers and 8 numbers.
constexpr uint32_t kPrinterInfo2FixedSize = 84;

// Live handles. Closing removes a handle, so a second close or a use after close is refused
// as Windows refuses a stale handle, instead of touching freed memory. Never destroyed, so a
// handle closed while statics are torn down still finds the table.
std::map<PrinterHandle, std::unique_ptr<PrinterHandleData>>& openHandles() {
    static auto* handles = new std::map<PrinterHandle, std::unique_ptr<PrinterHandleData>>;
    return *handles;
}

bool isOpen(PrinterHandle handle) {
    if (handle != nullptr && openHandles().count(handle) != 0) return true;
    setLastError(error::kInvalidHandle);
    return false;
}

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

// The printer behind a handle, unless it was deleted since it was opened.
bool stillPresent(PrinterHandle handle, sim::spooler::PrinterLocation* location) {
    if (sim::spooler::findPrinter(handle->location.printerName, location)) return true;
    setLastError(kErrorInvalidPrinterName);
    return false;
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
    if ((desiredAccess & ~allowedAccess(location)) != 0) {
        setLastError(error::kAccessDenied);
        return false;
    }
    auto data =
        std::make_unique<PrinterHandleData>(PrinterHandleData{name, location, desiredAccess});
    *handle = data.get();
    openHandles().emplace(*handle, std::move(data));
    return true;
}

bool closePrinter(PrinterHandle handle) {
    if (!isOpen(handle)) return false;
    openHandles().erase(handle);
    return true;
}

bool getPrinter(PrinterHandle handle, PrinterInfo2* info, uint32_t* needed) {
    if (needed != nullptr) *needed = 0;
    sim::spooler::PrinterLocation location;
    if (!isOpen(handle) || !stillPresent(handle, &location)) return false;
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
    if (!isOpen(handle) || !stillPresent(handle, &location)) return false;
    if ((handle->access & kPrinterAccessAdminister) == 0) {
        setLastError(error::kAccessDenied);
        return false;
    }
    if (failsWithFault("SetPrinter", handle->openedAs)) return false;
    sim::spooler::writePrinterRecord(location, info);
    return true;
}

}  // namespace platform
