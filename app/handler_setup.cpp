// The per-driver and per-printer handlers of the run's handler list.
#include "app/dadazado_engine.h"
#include "commands/monitor_info.h"
#include "commands/processor_info.h"
#include "commands/prt_drv_data_info.h"
#include "commands/reg_info.h"
#include "commands/update_dep_files_info.h"
#include "platform/errors.h"
#include "support/debug_log.h"
#include "support/os_info.h"

using HandlerList = std::vector<std::unique_ptr<GenericInfo>>;

bool DadazadoEngine::enumerateDrivers(int level) {
    const bool enumerated =
        level == 6 ? platform::enumPrinterDrivers(getDriverEnvironment(), &driverInfo6)
                   : platform::enumPrinterDrivers(getDriverEnvironment(), &driverInfo3);
    if (!enumerated) {
        LogLine("SetupMultipleDrivers: EnumPrinterDrivers failed with code ",
                platform::getLastError());
        return false;
    }
    driverCount = static_cast<int32_t>(level == 6 ? driverInfo6.size() : driverInfo3.size());
    return true;
}

void DadazadoEngine::addDriverHandlers(HandlerList& list, platform::DriverInfo3& driver,
                                       int level) {
    LogLine(" Driver found: " + driver.name);
    if (!OSInfo::current().isDriverForThisOS(driver.version)) {
        LogLine("\tSkipping: this driver is not for this OS version");
        return;
    }
    if (level == 6 && driver.helpFile.empty())
        LogLine(" WARNING!! Missing RegKey: HelpFile is empty for: " + driver.name);
    list.push_back(std::make_unique<UpdateDepFilesInfo>(this, &driver, level));
    if (!updateMode && driver.name != driverName) return;
    list.push_back(std::make_unique<DeleteRegInfo>(this, driver.name));
    list.push_back(std::make_unique<AddRegInfo>(this, driver.name));
}

bool DadazadoEngine::SetupMultipleDrivers(HandlerList& list) {
    const int level = OSInfo::current().isWin2000OrLater() ? 6 : 3;
    if (!enumerateDrivers(level)) return false;
    // The records stay where they are for the rest of the run: handlers keep pointers.
    if (level == 6)
        for (platform::DriverInfo6& driver : driverInfo6) addDriverHandlers(list, driver, 6);
    else
        for (platform::DriverInfo3& driver : driverInfo3) addDriverHandlers(list, driver, 3);
    return true;
}

bool DadazadoEngine::isSelectedPrinter(const platform::PrinterInfo2& printer) const {
    if (updateMode) return true;
    const OSInfo& os = OSInfo::current();
    if (os.isWin9x()) return printer.driverName == driverName;
    return !os.isWinNT() || printer.printerName == printerName;
}

bool DadazadoEngine::addPrinterHandlers(HandlerList& list) {
    // The run goes on without printer handlers, but the flight recorder must say why they
    // are missing.
    if (!platform::enumPrinters(platform::kPrinterEnumLocal | platform::kPrinterEnumConnections,
                                &printers)) {
        LogLine("addPrinterHandlers: EnumPrinters failed with code ", platform::getLastError());
    }
    for (platform::PrinterInfo2& printer : printers) {
        if (!isSelectedPrinter(printer)) continue;
        int level = 3;
        platform::DriverInfo3* driver = findDriverInfo(printer.driverName, &level);
        list.push_back(std::make_unique<PrtDrvDataInfo>(this, printer));
        list.push_back(std::make_unique<MonitorInfo>(this, &printer, driver, level));
        if (!isRemotePrinter(printer))
            list.push_back(std::make_unique<ProcessorInfo>(this, &printer));
    }
    return true;
}
