#pragma once

#include <string>
#include <vector>

#include "platform/spooler.h"
#include "tools/winsim/dump_lines.h"

// What several winsim commands read of the open machine, read one way.
namespace winsim {

// The operations PendingFileRenameOperations holds for the next restart, a line each:
// "delete PATH" or "move PATH to PATH", in their order.
std::vector<std::string> pendingRestartOperations();

// A driver record as the spooler reports it, in the form the dumps print.
dump::DriverRecord driverRecordOf(const platform::DriverInfo3& driver);

}  // namespace winsim
