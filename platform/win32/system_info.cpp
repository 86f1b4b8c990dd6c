#include "platform/system_info.h"

#include <windows.h>

#include <ctime>
#include <vector>

namespace platform {

namespace {

// The directory calls share one contract: with a buffer that is too small they return the
// size needed including the terminating null, otherwise the length without it, 0 on failure.
template <typename Call>
std::string readSizedText(Call call) {
    DWORD capacity = MAX_PATH;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> buffer(capacity);
        const DWORD length = call(buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity) return std::string(buffer.data(), length);
        capacity = length;
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return {};
}

}  // namespace

std::string getWindowsDirectory() {
    return readSizedText([](char* buffer, DWORD size) {
        return static_cast<DWORD>(GetWindowsDirectoryA(buffer, size));
    });
}

std::string getSystemDirectory() {
    return readSizedText([](char* buffer, DWORD size) {
        return static_cast<DWORD>(GetSystemDirectoryA(buffer, size));
    });
}

std::string getTempPath() {
    return readSizedText([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::string getModuleFileName() {
    // A truncated name fills the whole buffer, so grow it until the name fits with room left.
    for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
        std::vector<char> buffer(capacity);
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity) return std::string(buffer.data(), length);
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return {};
}

std::string getComputerName() {
    char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) return {};
    return std::string(buffer, size);
}

uint16_t getUserDefaultLangId() { return GetUserDefaultLangID(); }

bool getLocaleInfo(uint32_t lcid, uint32_t item, int bufferSize, std::string* value) {
    // A size of 0 would make the call report the size it needs instead of the value.
    if (bufferSize <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    const int written = GetLocaleInfoA(lcid, item, buffer.data(), bufferSize);
    if (written <= 0) return false;
    *value = std::string(buffer.data(), static_cast<size_t>(written - 1));
    return true;
}

long processClockMillis() {
    // Widened first: clock() * 1000 overflows a 32-bit long after 24 days of run time.
    return static_cast<long>(static_cast<long long>(std::clock()) * 1000 / CLOCKS_PER_SEC);
}

}  // namespace platform
