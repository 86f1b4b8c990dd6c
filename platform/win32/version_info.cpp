#include "platform/version_info.h"

#include <windows.h>

namespace platform {

uint32_t getFileVersionInfoSize(const std::string& path) {
    DWORD unused = 0;
    return GetFileVersionInfoSizeA(path.c_str(), &unused);
}

bool getFileVersionInfo(const std::string& path, uint32_t size, void* data) {
    return GetFileVersionInfoA(path.c_str(), 0, size, data) != FALSE;
}

bool verQueryValue(const void* block, const std::string& subBlock, const void** value,
                   uint32_t* length) {
    void* found = nullptr;
    UINT foundLength = 0;
    if (!VerQueryValueA(block, subBlock.c_str(), &found, &foundLength)) return false;
    *value = found;
    *length = foundLength;
    return true;
}

}  // namespace platform
