#pragma once

#include <cstdint>
#include <string>

// Moves and deletions left for the next restart, kept where Windows keeps them.
namespace sim {

constexpr const char* kSessionManagerKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenamesValue = "PendingFileRenameOperations";

// Appends the pair for one delayed move (a null target: a deletion) to the pending list.
// False and the last error when a path cannot be placed on the machine.
bool recordDelayedMove(const std::string& from, const std::string* to, bool replaceExisting);

}  // namespace sim
