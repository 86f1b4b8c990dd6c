#include <string>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/spooler_handles.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

// Printer data: values in the PrinterDriverData subkey of the printer's key (a local printer's
// or a connection's), kept with the type they were written with.
namespace platform {

namespace {

std::string dataKey(const sim::spooler::PrinterLocation& location) {
    return location.key + "\\PrinterDriverData";
}

}  // namespace

uint32_t getPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t* type,
                        std::string* data, uint32_t bufferSize, uint32_t* needed) {
    if (needed != nullptr) *needed = 0;
    sim::spooler::PrinterLocation location;
    if (const uint32_t problem = sim::spooler::handleError(handle, &location)) return problem;
    if (const uint32_t fault = sim::injectedFault("GetPrinterData", handle->openedAs)) return fault;
    uint32_t storedType = 0;
    std::string stored;
    if (!sim::registry::readValue(dataKey(location), valueName, &storedType, &stored))
        return error::kFileNotFound;
    if (type != nullptr) *type = storedType;
    if (needed != nullptr) *needed = static_cast<uint32_t>(stored.size());
    if (stored.size() > bufferSize) return error::kMoreData;
    if (data != nullptr) *data = std::move(stored);
    return error::kSuccess;
}

// Writing printer data takes the administer right, as changing any other setting does.
uint32_t setPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t type,
                        const std::string& data) {
    sim::spooler::PrinterLocation location;
    if (const uint32_t problem = sim::spooler::handleError(handle, &location)) return problem;
    if ((handle->access & kPrinterAccessAdminister) == 0) return error::kAccessDenied;
    if (const uint32_t fault = sim::injectedFault("SetPrinterData", handle->openedAs)) return fault;
    if (!sim::registry::isStorableValueName(valueName)) return error::kInvalidParameter;
    sim::registry::writeValue(dataKey(location), valueName, type, data);
    return error::kSuccess;
}

}  // namespace platform
