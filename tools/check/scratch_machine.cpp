#include "tools/check/scratch_machine.h"

#include <stdlib.h>

#include <cstdlib>
#include <system_error>

#include "platform/sim/machine.h"
#include "platform/sim/machine_template.h"
#include "platform/sim/registry_store.h"

namespace fs = std::filesystem;

namespace check {

namespace {

fs::path makeScratchDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/dadazado-check-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

}  // namespace

std::unique_ptr<ScratchMachine> ScratchMachine::open(std::string* problem) {
    const fs::path scratch = makeScratchDirectory();
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
