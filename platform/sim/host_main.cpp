// The host build's entry point: finds the simulated machine, then runs as WinMain would with
// the command-line text a Windows caller would have passed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/dadazado_main.h"
#include "platform/sim/command_line_text.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_template.h"

namespace fs = std::filesystem;

namespace {

// Not one of the product's exit codes: the simulated machine itself could not be used.
constexpr int kMachineUnusable = 125;

fs::path defaultMachineDirectory() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0')
        return fs::path(data) / "dadazado" / "machine";
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : ".") / ".local" / "share" / "dadazado" / "machine";
}

fs::path machineDirectory() {
    const char* configured = std::getenv("WINSIM_MACHINE");
    if (configured != nullptr && *configured != '\0') return configured;
    return defaultMachineDirectory();
}

bool isMissingOrEmpty(const fs::path& dir) {
    std::error_code ec;
    if (!fs::exists(dir, ec)) return true;
    return fs::is_directory(dir, ec) && fs::is_empty(dir, ec);
}

// A missing or empty directory becomes a fresh machine; anything else must already be one,
// so that a mistyped WINSIM_MACHINE never scribbles over an unrelated directory.
std::string prepareMachine(const fs::path& dir) {
    std::error_code ec;
    if (isMissingOrEmpty(dir)) {
        std::string error;
        if (!sim::createMachine(dir, sim::MachineOptions{}, &error)) return error;
    } else if (!fs::exists(dir / "registry.reg", ec)) {
        return dir.string() + ": not a simulated machine (it has no registry.reg)";
    }
    return sim::openMachine(dir);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string problem = prepareMachine(machineDirectory());
    if (!problem.empty()) {
        std::fprintf(stderr, "dadazado: %s\n", problem.c_str());
        return kMachineUnusable;
    }
    return dadazadoMain(CStdStr(sim::windowsCommandLine(argc, argv)));
}
