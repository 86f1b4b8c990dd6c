#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// What a run changed on a simulated machine: the machine read before and after, and the
// differences by kind.
namespace winsim {

struct MachineSnapshot {
    std::map<std::string, std::string> files;     // by lower-case Windows path: path, size, digest
    std::map<std::string, std::string> registry;  // by value path: its type and data
    // Printers and drivers by name (a driver with its environment and version).
    std::map<std::string, std::string> printers, drivers;
    std::set<std::string> monitors, processors;
    std::vector<std::string> journal;
    std::set<std::string> restart;  // operations waiting for the next restart
};

// The open machine at dir, leaving out the file at the Windows path skipFile (the run's own
// flight recorder).
MachineSnapshot readMachine(const std::filesystem::path& dir, const std::string& skipFile);

struct Difference {
    std::vector<std::string> added, changed, removed;
    size_t size() const { return added.size() + changed.size() + removed.size(); }
};

struct MachineChanges {
    Difference files, registry, printers, drivers, monitors, processors;
    std::vector<std::string> shortcuts;  // links that are new
    std::vector<std::string> programs;   // programs, batch files and dialogs started
    std::vector<std::string> restart;    // new operations waiting for the next restart
};

MachineChanges compareMachines(const MachineSnapshot& before, const MachineSnapshot& after);

}  // namespace winsim
