#include "commands/monitor_action.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/spooler.h"
#include "support/debug_log.h"

namespace MonitorAction {

bool MonitorExists(const CStdStr& name) {
    uint32_t needed = 0;
    platform::enumMonitors(nullptr, &needed);
    if (needed == 0) {
        const uint32_t code = platform::getLastError();
        LogLine("MonitorAction::MonitorExists: First call to EnumMonitors failed with code ", code);
        return false;
    }
    std::vector<std::string> monitors;
    if (!platform::enumMonitors(&monitors, &needed)) {
        const uint32_t code = platform::getLastError();
        LogLine("MonitorAction::monitorExists: Call to EnumMonitors() failed. Error code: ", code);
        return false;
    }
    return std::find(monitors.begin(), monitors.end(), name) != monitors.end();
}

}  // namespace MonitorAction
