#pragma once

#include <cstdint>

#include "platform/spooler.h"
#include "support/cstd_str.h"

// A printer opened for the length of one operation and closed on every way out of it. The
// last error of a failed open is left for the caller to report.
class OpenedPrinter {
  public:
    OpenedPrinter(const CStdStr& name, uint32_t access) {
        if (!platform::openPrinter(name, access, &handle)) handle = nullptr;
    }
    ~OpenedPrinter() {
        if (handle != nullptr) platform::closePrinter(handle);
    }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;

    platform::PrinterHandle get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

  private:
    platform::PrinterHandle handle = nullptr;
};
