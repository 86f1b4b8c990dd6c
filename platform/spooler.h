#pragma once

#include <string>

// The print spooler. Grows with the commands that talk to it.
namespace platform {

// GetPrinterDriverDirectory and GetPrintProcessorDirectory for the local computer, the
// current environment, level 1. Empty with the last error on failure.
std::string getPrinterDriverDirectory();
std::string getPrintProcessorDirectory();

}  // namespace platform
