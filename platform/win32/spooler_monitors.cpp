#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/spooler.h"
#include "platform/win32/spooler_buffer.h"

namespace platform {

namespace {

// The size query with an empty buffer; a spooler that has nothing to list answers it with
// success, which this call reports as the failure the size query always is.
bool askSize(uint32_t* needed) {
    DWORD required = 0;
    DWORD returned = 0;
    const BOOL ok = EnumMonitorsA(nullptr, 1, nullptr, 0, &required, &returned);
    if (needed != nullptr) *needed = ok ? 0 : required;
    if (ok) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
}

}  // namespace

bool enumMonitors(std::vector<std::string>* names, uint32_t* needed) {
    if (names == nullptr) return askSize(needed);
    names->clear();
    win32::SpoolerBuffer buffer;
    DWORD returned = 0;
    const bool ok = win32::querySpooler(&buffer, [&](BYTE* data, DWORD size, DWORD* required) {
        const BOOL done = EnumMonitorsA(nullptr, 1, data, size, required, &returned);
        if (needed != nullptr) *needed = *required;
        return done;
    });
    if (!ok) return false;
    const auto* records = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) names->push_back(win32::textOf(records[i].pName));
    return true;
}

}  // namespace platform
