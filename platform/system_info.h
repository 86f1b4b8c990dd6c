#pragma once

#include <cstdint>
#include <string>

// System information: directories, names, languages and the clock.
namespace platform {

// GetWindowsDirectory, GetSystemDirectory, GetTempPath (with its trailing back-slash).
std::string getWindowsDirectory();
std::string getSystemDirectory();
std::string getTempPath();

// GetModuleFileName of the running program.
std::string getModuleFileName();

// GetComputerName.
std::string getComputerName();

// GetUserDefaultLangID.
uint16_t getUserDefaultLangId();

constexpr uint32_t kLocaleSIso639LangName = 0x59;
constexpr uint32_t kLocaleSIso3166CtryName = 0x5A;

// GetLocaleInfo for one locale item, buffer of bufferSize characters: false and the last
// error when the locale or item is unknown or the buffer too small.
bool getLocaleInfo(uint32_t lcid, uint32_t item, int bufferSize, std::string* value);

// The runtime's clock() in milliseconds since the process started.
long processClockMillis();

}  // namespace platform
