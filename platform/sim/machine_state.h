#pragma once

#include <filesystem>
#include <string>

// Process-wide state of the simulated machine. It is never destroyed, so the flight recorder
// can still write its last line while static objects are torn down at exit.
namespace sim {

struct MachineState {
    std::filesystem::path dir;
    std::string currentDirectory = "C:\\";  // Windows spelling, "C:\" for a drive root
};

MachineState& machineState();

}  // namespace sim
