// The simulated machine's registry file reader: a file of any bytes loaded as registry.reg
// and imported as a .reg file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/sim/registry_store.h"
#include "tests/fuzz/fuzz_machine.h"

namespace fs = std::filesystem;

namespace {

// What an import merges into: a few keys and values of each kind.
constexpr std::string_view kBaseRegistry =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Base]\r\n"
    "\"Text\"=\"value\"\r\n"
    "\"Number\"=dword:00000010\r\n"
    "@=hex:01,02,03\r\n\r\n"
    "[HKEY_CURRENT_USER\\Environment]\r\n"
    "\"TEMP\"=\"C:\\\\TEMP\"\r\n";

void writeHost(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fuzz::fail("cannot write " + path.string());
}

// A registry that loaded must save as text that loads back to the same registry.
void checkRoundTrip(const fs::path& scratch) {
    const std::string exported = sim::registry::exportText("");
    const fs::path again = scratch / "exported.reg";
    writeHost(again, exported);
    const std::string problem = sim::registry::load(again);
    fuzz::check(problem.empty(), "an exported registry does not load again: " + problem);
    fuzz::check(sim::registry::exportText("") == exported,
                "an exported registry loads as a different registry");
}

void checkFailedImportChangesNothing(const fs::path& scratch, const fs::path& input) {
    const fs::path base = scratch / "base.reg";
    writeHost(base, kBaseRegistry);
    fuzz::check(sim::registry::load(base).empty(), "the base registry does not load");
    const std::string before = sim::registry::exportText("");
    if (!sim::registry::importFile(input).empty())
        fuzz::check(sim::registry::exportText("") == before, "a refused import changed keys");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const fs::path input = machine.scratch() / "input.reg";
    writeHost(input, std::string_view(reinterpret_cast<const char*>(data), size));
    if (sim::registry::load(input).empty()) checkRoundTrip(machine.scratch());
    checkFailedImportChangesNothing(machine.scratch(), input);
    return 0;
}
