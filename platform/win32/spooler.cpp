#include "platform/spooler.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace platform {

namespace {

using DirectoryCall = BOOL(WINAPI*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);

// Asks for the size with a one-byte buffer (some spoolers refuse a null one), then reads; the
// loop covers a spooler whose answer about the size changes in between.
std::string spoolerDirectory(DirectoryCall call) {
    DWORD needed = 0;
    std::vector<BYTE> buffer(1);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (call(nullptr, nullptr, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
            return std::string(reinterpret_cast<const char*>(buffer.data()));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return {};
        buffer.assign(needed, 0);
    }
    return {};
}

}  // namespace

std::string getPrinterDriverDirectory() { return spoolerDirectory(GetPrinterDriverDirectoryA); }

std::string getPrintProcessorDirectory() { return spoolerDirectory(GetPrintProcessorDirectoryA); }

}  // namespace platform
