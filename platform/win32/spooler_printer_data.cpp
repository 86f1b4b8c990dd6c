#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "platform/spooler.h"

namespace platform {

namespace {

HANDLE nativeHandle(PrinterHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

uint32_t getPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t* type,
                        std::string* data, uint32_t bufferSize, uint32_t* needed) {
    std::string name = valueName;
    std::vector<BYTE> buffer(bufferSize == 0 ? 1 : bufferSize);
    DWORD nativeType = 0;
    DWORD required = 0;
    const DWORD result =
        GetPrinterDataA(nativeHandle(handle), name.data(), &nativeType,
                        bufferSize == 0 ? nullptr : buffer.data(), bufferSize, &required);
    if (type != nullptr) *type = nativeType;
    if (needed != nullptr) *needed = required;
    if (result == ERROR_SUCCESS && data != nullptr) {
        const DWORD size = required < bufferSize ? required : bufferSize;
        data->assign(reinterpret_cast<const char*>(buffer.data()), size);
    }
    return result;
}

uint32_t setPrinterData(PrinterHandle handle, const std::string& valueName, uint32_t type,
                        const std::string& data) {
    std::string name = valueName;
    std::vector<BYTE> bytes(data.begin(), data.end());
    return SetPrinterDataA(nativeHandle(handle), name.data(), type,
                           bytes.empty() ? nullptr : bytes.data(),
                           static_cast<DWORD>(bytes.size()));
}

}  // namespace platform
