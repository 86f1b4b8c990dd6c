#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Makes new simulated machines: drives, the standard directories and the registry keys that a
// freshly installed Windows of the chosen version has.
namespace sim {

struct MachineOptions {
    std::string os = "XP";  // 95, 98, 98SE, ME, NT4, 2000, XP, 2003, Vista
    int servicePack = 3;
    bool is64Bit = false;
    uint32_t locale = 0x0409;
    std::string computerName = "WINSIM";
};

// Writes a machine into dir (created when missing). False with a message when it cannot.
bool createMachine(const std::filesystem::path& dir, const MachineOptions& options,
                   std::string* error);

}  // namespace sim
