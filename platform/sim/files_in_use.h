#pragma once

#include <cstdint>
#include <string>

// Files that another process holds open are data in the machine: values under
// HKLM\SOFTWARE\WinSim\FilesInUse named by the file's Windows path (case ignored), holding 32
// (open without write sharing: a sharing violation) or 33 (a locked range: a lock violation).
// Such a file can be read and renamed, as a loaded library can, but not written, replaced or
// deleted; a rename carries the entry to the new name.
namespace sim {

constexpr const char* kFilesInUseKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\FilesInUse";

// 32 or 33 when the file at this Windows path is held open, else 0.
uint32_t fileInUseError(const std::string& windowsPath);
// Whether the machine lists any file as held at all.
bool anyFileInUse();
// After a rename: the entry of from (if any) now names to.
void moveFileInUse(const std::string& from, const std::string& to);

}  // namespace sim
