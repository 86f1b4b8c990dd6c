#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Host files brought onto the open machine and read back, for what sets a machine up or
// looks at it from outside: the tests, winsim and the package check.
namespace sim {

// The whole content of a host file; none when it cannot be read.
std::optional<std::string> readHostFile(const std::filesystem::path& path);

// The host directory of a Windows directory of the open machine ("C:", "C:\Drivers\x"),
// made with every missing directory above it. Existing directories keep their spelling, new
// ones are made as spelled. Empty when a component cannot be a directory.
std::filesystem::path makeMachineDirectory(const std::string& windowsDir);

// Copies the files below a host directory to a Windows directory of the open machine (made
// when missing), with their last-write times, replacing files of the same names; false when
// any could not be copied (the first of them in failedFile, when given).
bool copyTreeOntoMachine(const std::filesystem::path& from, const std::string& windowsDir,
                         std::filesystem::path* failedFile = nullptr);

}  // namespace sim
