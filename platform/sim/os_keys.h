#pragma once

#include <string>

// Where the simulated machine keeps what Windows knows about itself, at Windows' own keys.
namespace sim {

constexpr const char* kWin9xVersionKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kNtVersionKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWinSimKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim";

// A machine of the 9x family names its version under the 9x key.
bool isWin9xMachine();
// Environment references (%SystemRoot%, %USERPROFILE%, ...) replaced by their values; unknown
// names are left as written.
std::string expandEnvironment(const std::string& text);

}  // namespace sim
