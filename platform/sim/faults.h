#pragma once

#include <cstdint>
#include <string_view>

// Failures are data in the machine: values under HKLM\SOFTWARE\WinSim\Faults named after a
// platform call ("RegSetValueEx") or a call and a subject pattern ("CopyFile|*\\a.dll",
// '*' and '?' wildcards, case ignored), holding the Win32 error the call then fails with.
namespace sim {

constexpr const char* kFaultsKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Faults";

// The error injected for this call on this subject (a path, key or printer name), else 0.
uint32_t injectedFault(std::string_view call, std::string_view subject);

bool wildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace sim
