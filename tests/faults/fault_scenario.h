#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// One run of a package on a copy of a prepared machine, with what the machine held before and
// after it.
namespace faults {

// Every file under the machine's drives (host path relative to the machine) and its content.
using FileSnapshot = std::map<std::string, std::string>;
// Every registry value as "[key]\tname=data", continuation lines joined.
using RegistrySnapshot = std::set<std::string>;

struct MachineSnapshot {
    FileSnapshot files;
    RegistrySnapshot registry;
};

MachineSnapshot takeSnapshot(const std::filesystem::path& machine);

// Makes the prepared machine once per process (removed at exit).
const std::filesystem::path& preparedMachine();

struct RunOutcome {
    int exitCode = -1;
    std::string log;  // the flight recorder
    MachineSnapshot after;
};

// The prepared machine's packages, by their directory under C:\Drivers: the demo package that
// uses every command kind, and the one with the command lines it does not have.
constexpr const char* kDemoPackage = "Demo";
constexpr const char* kMorePackage = "More";

// Copies the prepared machine, sets the fault values (each failing with error), runs the
// package's installation and removes the copy again.
RunOutcome runWithFaults(const std::vector<std::string>& faults, uint32_t error,
                         const std::string& package);

// What in before is neither in after nor what the run without faults left there: lost or
// half-written things, one description each.
std::set<std::string> damaged(const MachineSnapshot& before, const MachineSnapshot& after,
                              const MachineSnapshot& intended);

}  // namespace faults
