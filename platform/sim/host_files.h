#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/sim/machine.h"

// What the file operations of the simulated machine need to know about the host entries that
// hold its files, in Win32 terms.
namespace sim {

// Sets the last error and returns false, the shape of every failing file call.
bool failWith(uint32_t code);

// The Win32 error a failed host file operation stands for.
uint32_t win32ErrorOf(const std::error_code& ec);

bool isDirectory(const std::filesystem::path& host);
// The read-only attribute is kept as the missing owner-write permission.
bool isReadOnly(const std::filesystem::path& host);
// The directory that is a whole drive ("C:\"), which no call may remove, move or replace.
bool isDriveRoot(const std::filesystem::path& host);

// resolvePath for a path given to a call: an empty path places nothing (error 3), where the
// resolver would take it for the current directory.
ResolvedPath resolveArgument(const std::string& windowsPath);

// The absolute Windows path a path given to a call names, in the spelling of the entries that
// exist; the path as given when it cannot be placed on the machine.
std::string fullWindowsPath(const std::string& windowsPath);

}  // namespace sim
