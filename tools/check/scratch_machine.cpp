#include "tools/check/scratch_machine.h"

#include <system_error>

#include "platform/sim/machine.h"
#include "platform/sim/machine_template.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/scratch_directory.h"

namespace fs = std::filesystem;

namespace check {

std::unique_ptr<ScratchMachine> ScratchMachine::open(std::string* problem) {
    const fs::path scratch = sim::makeScratchDirectory("dadazado-check");
    if (scratch.empty()) {
        *problem = "cannot make a scratch directory";
        return nullptr;
    }
    // Made before anything can fail, so that every failure below removes the directory.
    std::unique_ptr<ScratchMachine> machine(new ScratchMachine(scratch));
    const fs::path dir = scratch / "machine";
    if (!sim::createMachine(dir, sim::MachineOptions{}, problem)) return nullptr;
    *problem = sim::openMachine(dir);
    if (!problem->empty()) return nullptr;
    return machine;
}

ScratchMachine::~ScratchMachine() {
    // Whatever the registry still holds is written now, not into a removed directory later.
    sim::registry::flush();
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

}  // namespace check
