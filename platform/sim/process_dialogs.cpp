#include <string>

#include "platform/errors.h"
#include "platform/process.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"
#include "platform/sim/spooler_handles.h"

// The simulated machine has no screen: a dialog that would appear is a line in the journal,
// and the user is taken to have closed it with OK.
namespace platform {

namespace {

constexpr int32_t kIdOk = 1;

// The printer's name now, or empty with the last error set when the dialog cannot appear.
std::string printerFor(const char* call, PrinterHandle printer) {
    sim::spooler::PrinterLocation location;
    uint32_t error = sim::spooler::handleError(printer, &location);
    if (error == 0) error = sim::injectedFault(call, location.printerName);
    if (error != 0) {
        setLastError(error);
        return {};
    }
    return location.printerName;
}

}  // namespace

int32_t documentProperties(PrinterHandle printer, const std::string& deviceName, uint32_t mode) {
    if (printerFor("DocumentProperties", printer).empty()) return -1;
    sim::journal("DocumentProperties \"" + deviceName + "\" mode " + std::to_string(mode) +
                 " shown");
    return kIdOk;
}

int32_t advancedDocumentProperties(PrinterHandle printer, const std::string& deviceName) {
    if (printerFor("AdvancedDocumentProperties", printer).empty()) return 0;
    sim::journal("AdvancedDocumentProperties \"" + deviceName + "\" shown");
    return kIdOk;
}

bool printerProperties(PrinterHandle printer) {
    const std::string name = printerFor("PrinterProperties", printer);
    if (name.empty()) return false;
    sim::journal("PrinterProperties \"" + name + "\" shown");
    return true;
}

}  // namespace platform
