// The smallest port monitor a spooler accepts: it initialises and offers no ports. A scenario
// installs it under the name of its package's monitor, so that associating the printer with
// that monitor meets a monitor the spooler has really loaded.
#include <windows.h>
#include <winsplp.h>

namespace {

BOOL WINAPI enumNoPorts(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
    if (needed != nullptr) *needed = 0;
    if (returned != nullptr) *returned = 0;
    return TRUE;
}

VOID WINAPI shutdown(HANDLE) {}

MONITOR2 table = [] {
    MONITOR2 monitor = {};
    monitor.cbSize = sizeof monitor;
    monitor.pfnEnumPorts = enumNoPorts;
    monitor.pfnShutdown = shutdown;
    return monitor;
}();

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    if (monitor != nullptr) *monitor = reinterpret_cast<HANDLE>(&table);
    return &table;
}
