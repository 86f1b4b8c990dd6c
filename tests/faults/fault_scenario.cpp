#include "tests/faults/fault_scenario.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/sim/scratch_directory.h"
#include "tests/support/program_run.h"
#include "tests/support/test_machine.h"

namespace faults {

namespace fs = std::filesystem;

namespace {

// The flight recorder is rewritten by every run; it is checked on its own.
bool isRunOutput(const std::string& relative) {
    return relative == "drive_c/flight.log" || relative == "journal.log";
}

RegistrySnapshot registryValues(const std::string& text) {
    RegistrySnapshot values;
    std::string key;
    std::string pending;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!pending.empty()) {
            pending += line;
        } else if (line.starts_with("[")) {
            key = line;
            values.insert(key);
            continue;
        } else if (line.starts_with("\"") || line.starts_with("@")) {
            pending = line;
        } else {
            continue;
        }
        if (!pending.empty() && pending.back() == '\\') {
            pending.pop_back();
            continue;
        }
        values.insert(key + "\t" + pending);
        pending.clear();
    }
    return values;
}

struct PreparedMachine {
    PreparedMachine() : root(sim::makeScratchDirectory("dadazado-faults")) {
        const ProgramResult made =
            runProgram("/bin/bash", {DADAZADO_FAULTS_DIR "/make_machine.sh", DADAZADO_BUILD_DIR,
                                     (root / "machine").string()});
        if (made.exitCode != 0) std::fprintf(stderr, "%s", made.standardError.c_str());
    }
    ~PreparedMachine() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
    fs::path machine() const { return root / "machine"; }
};

void writeFaults(const fs::path& machine, const std::vector<std::string>& faults, uint32_t error) {
    char data[16];
    std::snprintf(data, sizeof data, "%08x", error);
    std::string values;
    for (const std::string& fault : faults) {
        std::string escaped;
        for (char c : fault) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        values += "\"" + escaped + "\"=dword:" + data + "\r\n";
    }
    const fs::path file = machine / "fault.reg";
    writeHostFile(file,
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinSim\\Faults]\r\n" +
                      values);
    runProgram(WINSIM_BINARY, {"reg", "import", machine.string(), file.string()});
    fs::remove(file);
}

}  // namespace

MachineSnapshot takeSnapshot(const fs::path& machine) {
    MachineSnapshot snapshot;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(machine, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        const std::string relative = fs::relative(it->path(), machine).generic_string();
        if (relative == "registry.reg" || isRunOutput(relative)) continue;
        snapshot.files[relative] = readHostFile(it->path());
    }
    snapshot.registry = registryValues(readHostFile(machine / "registry.reg"));
    return snapshot;
}

const fs::path& preparedMachine() {
    static const PreparedMachine prepared;
    static const fs::path path = prepared.machine();
    return path;
}

RunOutcome runWithFaults(const std::vector<std::string>& faults, uint32_t error,
                         const std::string& package) {
    const fs::path scratch = sim::makeScratchDirectory("dadazado-faults");
    const fs::path machine = scratch / "machine";
    // The copy keeps the files' times: the run compares them.
    runProgram("/bin/cp", {"-a", preparedMachine().string(), machine.string()});
    if (!faults.empty()) writeFaults(machine, faults, error);
    const std::string directory = "C:\\Drivers\\" + package;
    std::vector<std::string> command = {"exec", machine.string(), "--cd", directory, "--"};
    for (const std::string& word : testWrapperCommand()) command.push_back(word);
    for (const std::string& word :
         {std::string(DADAZADO_BINARY), std::string("-I"), directory + "\\oem.inf",
          std::string("-N"), std::string("Demo Printer 100"), std::string("-P"),
          std::string("LPT1:")})
        command.push_back(word);
    const ProgramResult run = runProgram(WINSIM_BINARY, command);
    RunOutcome outcome;
    outcome.exitCode = run.exitCode;
    std::error_code ec;
    if (fs::exists(machine / "drive_c/flight.log", ec))
        outcome.log = readHostFile(machine / "drive_c/flight.log");
    outcome.after = takeSnapshot(machine);
    fs::remove_all(scratch, ec);
    return outcome;
}

std::set<std::string> damaged(const MachineSnapshot& before, const MachineSnapshot& after,
                              const MachineSnapshot& intended) {
    std::set<std::string> found;
    for (const auto& [path, content] : before.files) {
        const auto now = after.files.find(path);
        if (now == after.files.end()) {
            // A run may remove a file on purpose: only when the clean run removes it too.
            if (intended.files.contains(path)) found.insert("file lost: " + path);
            continue;
        }
        if (now->second == content) continue;
        const auto meant = intended.files.find(path);
        if (meant == intended.files.end() || meant->second != now->second)
            found.insert("file half-written or changed unexpectedly: " + path);
    }
    for (const std::string& value : before.registry) {
        if (after.registry.contains(value) || !intended.registry.contains(value)) continue;
        // The value may be replaced as a whole by what the run meant to write.
        const std::string name = value.substr(0, value.find('=') + 1);
        bool replaced = false;
        for (const std::string& now : after.registry)
            if (now.starts_with(name) && intended.registry.contains(now)) replaced = true;
        if (!replaced) found.insert("registry value lost or half-written: " + value);
    }
    return found;
}

}  // namespace faults
