#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The simulated Windows machine: a directory whose files are the machine's whole state.
namespace sim {

// Opens the machine kept in dir (its registry.reg is loaded). Empty on success, else a
// message naming the file and line that could not be read.
std::string openMachine(const std::filesystem::path& dir);
const std::filesystem::path& machineDirectory();

struct ResolvedPath {
    std::filesystem::path host;  // where the Windows path lives in the machine directory
    uint32_t error = 0;          // Win32 error when the path cannot be placed (2, 3, 123, 206)
    bool exists = false;         // the final component exists
};

// Resolves a Windows path (absolute, drive-relative, root-relative or relative to the current
// directory) component by component, without regard to case, keeping existing spelling.
// A missing final component with an existing parent is error 2; a missing parent, a UNC path
// or a drive the machine lacks is error 3.
ResolvedPath resolvePath(const std::string& windowsPath);

// CON, NUL, COM1 and the like: a path component that names a device, not a file.
bool isReservedDeviceName(const std::string& component);

// The Windows spelling of a host path inside one of the machine's drives; empty otherwise.
std::string windowsPathOf(const std::filesystem::path& host);

// Appends one line (without its line feed) to the machine's journal.log.
void journal(const std::string& line);

}  // namespace sim
