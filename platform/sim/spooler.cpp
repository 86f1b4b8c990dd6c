#include "platform/spooler.h"

#include "platform/errors.h"
#include "platform/sim/faults.h"
#include "platform/sim/os_keys.h"
#include "platform/system_info.h"

namespace platform {

namespace {

// The spooler's directories: below spool on the NT family, the system directory on 9x.
std::string spoolerDirectory(const char* call, const char* ntSubdirectory) {
    if (uint32_t fault = sim::injectedFault(call, "")) {
        setLastError(fault);
        return {};
    }
    if (sim::isWin9xMachine()) return getSystemDirectory();
    return getSystemDirectory() + ntSubdirectory;
}

}  // namespace

std::string getPrinterDriverDirectory() {
    return spoolerDirectory("GetPrinterDriverDirectory", "\\spool\\drivers\\w32x86");
}

std::string getPrintProcessorDirectory() {
    return spoolerDirectory("GetPrintProcessorDirectory", "\\spool\\prtprocs\\w32x86");
}

}  // namespace platform
