#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/spooler_keys.h"
#include "platform/spooler.h"

namespace platform {

// What an open printer handle stands for in the simulated spooler.
struct PrinterHandleData {
    std::string openedAs;  // the name as the caller spelled it: the subject of injected faults
    sim::spooler::PrinterLocation location;
    uint32_t access = 0;  // the rights granted, generic rights already mapped
};

}  // namespace platform

// The table of live printer handles. Closing removes a handle, so a second close or a use after
// close is refused as Windows refuses a stale handle, instead of touching freed memory.
namespace sim::spooler {

platform::PrinterHandle registerHandle(const platform::PrinterHandleData& data);
// False when the handle is not (or no longer) open.
bool releaseHandle(platform::PrinterHandle handle);

// 0 when the handle is open and its printer still exists (then *location is where it is now),
// else the Win32 error the calls give: 6 for a handle that is not open, 1801 for a printer
// deleted since it was opened.
uint32_t handleError(platform::PrinterHandle handle, PrinterLocation* location);

// Generic rights asked of a printer as the printer rights they stand for.
uint32_t mapGenericPrinterRights(uint32_t desiredAccess);

}  // namespace sim::spooler
