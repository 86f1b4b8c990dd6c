#include "commands/monitor_info.h"

#include "commands/driver_component.h"
#include "commands/monitor_action.h"
#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/opened_printer.h"

MonitorInfo::MonitorInfo(RunContext* engine, platform::PrinterInfo2* printer,
                         platform::DriverInfo3* driver, int level)
    : GenericInfo(engine, "QenAssociateMonitor"), driver(driver), level(level), printer(printer) {}

bool MonitorInfo::HandleCommand(const std::vector<CStdStr>& arguments) {
    if (arguments.size() < 2) {
        LogLine("MonitorInfo::HandleCommand: not enough arguments!");
        return false;
    }
    if (driver == nullptr || printer == nullptr) {
        LogLine("MonitorInfo::HandleCommand: bad parameters");
        return false;
    }
    const CStdStr& monitor = arguments[0];
    const int bidi = cstd::atoi(arguments[1]);
    if (!MonitorAction::MonitorExists(monitor)) {
        LogLine("MonitorInfo::HandleCommand: " + monitor + " does not exist.");
        return false;
    }
    if (!associateMonitor(monitor)) return false;
    if (bidi == 1 && (printer->attributes & platform::kPrinterAttributeEnableBidi) == 0)
        enableBidi();
    // The printer's own settings are a convenience: the association above is what counts.
    return true;
}

bool MonitorInfo::associateMonitor(const CStdStr& monitor) {
    if (driver->monitorName == monitor) return true;
    const std::string previous = driver->monitorName;
    driver->monitorName = monitor;
    if (DriverComponent::UpdatePrinterDriver(driver, level)) return true;
    LogLine("MonitorInfo::HandleCommand: unable to update driver.");
    LogLine("\tDriver name: " + driver->name);
    LogLine("\tMonitor name: " + driver->monitorName);
    // The record must keep telling what the spooler holds, or the next printer of this
    // driver would take the association for done.
    driver->monitorName = previous;
    return false;
}

void MonitorInfo::enableBidi() {
    LogLine("MonitorInfo::HandleCommand: Printer " + printer->printerName + " needs an update!");
    OpenedPrinter opened(printer->printerName, platform::kPrinterAllAccess);
    if (opened.get() == nullptr) {
        const uint32_t code = platform::getLastError();
        LogLine("MonitorInfo::HandleCommand: OpenPrinter of printer ", printer->printerName,
                " failed with code ", code);
        return;
    }
    printer->attributes |= platform::kPrinterAttributeEnableBidi;
    if (!platform::setPrinter(opened.get(), *printer)) {
        const uint32_t code = platform::getLastError();
        LogLine("MonitorInfo::HandleCommand: SetPrinter of printer ", printer->printerName,
                " failed with code ", code);
    }
}
