#pragma once

#include "commands/generic_info.h"
#include "platform/spooler.h"

// Ties a printer's driver to an installed port monitor and can switch on bidirectional
// communication for the printer. Both records belong to the engine and are changed in place,
// so the handlers after this one see the new monitor name and attributes.
class MonitorInfo : public GenericInfo {
  public:
    // level is the layout the driver record was enumerated with, 3 or 6; either record may
    // be null, which makes every command fail.
    MonitorInfo(RunContext* engine, platform::PrinterInfo2* printer, platform::DriverInfo3* driver,
                int level);
    ~MonitorInfo() override = default;

    // Arguments: monitor name (as written), bidirectional flag (1 switches it on).
    bool HandleCommand(const std::vector<CStdStr>& arguments) override;

  private:
    bool associateMonitor(const CStdStr& monitor);
    void enableBidi();

    platform::DriverInfo3* driver;  // not owned
    int level;
    platform::PrinterInfo2* printer;  // not owned
};
