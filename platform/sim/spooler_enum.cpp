#include <vector>

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

namespace {

void appendRecords(const std::vector<sim::spooler::PrinterLocation>& locations,
                   std::vector<PrinterInfo2>* printers) {
    for (const sim::spooler::PrinterLocation& location : locations)
        printers->push_back(sim::spooler::readPrinterRecord(location));
}

}  // namespace

bool enumPrinters(uint32_t flags, std::vector<PrinterInfo2>* printers) {
    if (printers == nullptr) {
        setLastError(error::kInvalidParameter);
        return false;
    }
    printers->clear();
    if (const uint32_t fault = sim::injectedFault("EnumPrinters", "")) {
        setLastError(fault);
        return false;
    }
    if ((flags & kPrinterEnumLocal) != 0) appendRecords(sim::spooler::localPrinters(), printers);
    if ((flags & kPrinterEnumConnections) != 0)
        appendRecords(sim::spooler::connections(), printers);
    return true;
}

}  // namespace platform
