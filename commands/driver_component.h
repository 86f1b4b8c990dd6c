#pragma once

#include "platform/spooler.h"

// Registers a driver again from its (changed) spooler record: its files are first put into
// the spooler's driver directory, as the spooler demands, then the record is added.
namespace DriverComponent {

// level is 3 or 6: the layout the record was enumerated with (a level-6 record is a
// platform::DriverInfo6).
bool UpdatePrinterDriver(platform::DriverInfo3* driver, int level);

}  // namespace DriverComponent
