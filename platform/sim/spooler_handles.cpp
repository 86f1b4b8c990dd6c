#include "platform/sim/spooler_handles.h"

#include <map>
#include <memory>

#include "platform/errors.h"

namespace sim::spooler {

namespace {

using platform::PrinterHandle;
using platform::PrinterHandleData;

constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericAll = 0x10000000;
// PRINTER_READ, PRINTER_WRITE and PRINTER_EXECUTE all come to this.
constexpr uint32_t kPrinterUseRights = 0x20008;

// Never destroyed, so a handle closed while statics are torn down still finds the table.
std::map<PrinterHandle, std::unique_ptr<PrinterHandleData>>& openHandles() {
    static auto* handles = new std::map<PrinterHandle, std::unique_ptr<PrinterHandleData>>;
    return *handles;
}

}  // namespace

PrinterHandle registerHandle(const PrinterHandleData& data) {
    auto stored = std::make_unique<PrinterHandleData>(data);
    PrinterHandle handle = stored.get();
    openHandles().emplace(handle, std::move(stored));
    return handle;
}

bool releaseHandle(PrinterHandle handle) { return openHandles().erase(handle) != 0; }

uint32_t handleError(PrinterHandle handle, PrinterLocation* location) {
    if (handle == nullptr || openHandles().count(handle) == 0)
        return platform::error::kInvalidHandle;
    if (!findPrinter(handle->location.printerName, location))
        return platform::kErrorInvalidPrinterName;
    return platform::error::kSuccess;
}

uint32_t mapGenericPrinterRights(uint32_t desiredAccess) {
    uint32_t mapped =
        desiredAccess & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
    if ((desiredAccess & (kGenericRead | kGenericWrite | kGenericExecute)) != 0)
        mapped |= kPrinterUseRights;
    if ((desiredAccess & kGenericAll) != 0) mapped |= platform::kPrinterAllAccess;
    return mapped;
}

}  // namespace sim::spooler
