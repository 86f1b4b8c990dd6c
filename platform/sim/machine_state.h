#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// What the simulated machine keeps in this process about the machine it has open: where it
// is, the current directory, and what it has learnt of it so as not to ask again. It is never
// destroyed, so the flight recorder can still write its last line while static objects are
// torn down at exit.
namespace sim {

// A host directory's entries as they were last read.
struct Listing {
    timespec modified{};
    std::unordered_map<std::string, std::string> realNames;  // by case-folded name
    bool hasCaseTwins = false;  // two host names differ only in case; one of them is kept
};

struct MachineState {
    std::filesystem::path dir;
    std::string currentDirectory = "C:\\";  // Windows spelling, "C:\" for a drive root
    // Listings by host directory, and host directories by folded Windows path.
    std::unordered_map<std::string, Listing> listings;
    std::unordered_map<std::string, std::filesystem::path> resolvedDirectories;
    // The fault values, as read at the registry's change count faultsReadAt.
    std::vector<std::pair<std::string, std::pair<uint32_t, std::string>>> faults;
    uint64_t faultsReadAt = ~uint64_t{0};
};

MachineState& machineState();

}  // namespace sim
