#pragma once

#include "support/cstd_str.h"

// Questions about the port monitors installed on the local computer.
namespace MonitorAction {

// Monitor names are compared exactly: the spooler keeps them as installed, and a name that
// differs only in letter case names another monitor.
bool MonitorExists(const CStdStr& name);

}  // namespace MonitorAction
