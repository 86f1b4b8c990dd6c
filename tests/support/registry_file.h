#pragma once

#include <filesystem>
#include <string>

#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

// The simulated machine's registry.reg, for tests that write it by hand and load it.
inline const std::string kRegFileHeader = "Windows Registry Editor Version 5.00\r\n";

// A key no machine template has, so tests start from nothing below it.
inline const std::string kTestKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Test";

inline std::filesystem::path registryFile(const TestMachine& machine) {
    return machine.dir() / "registry.reg";
}

// Replaces the machine's registry.reg and loads it; the load's message.
inline std::string loadRegistryText(const TestMachine& machine, const std::string& text) {
    writeHostFile(registryFile(machine), text);
    return sim::registry::load(registryFile(machine));
}
