#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/registry_tree.h"

// The registry as the text of a .reg file: "Windows Registry Editor Version 5.00", a key a
// section, values in the registry editor's notation.
namespace sim::registry {

constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";

// The types whose text the file holds as UTF-16 hex bytes.
bool isWideStringType(uint32_t type);

std::string render(const Tree& tree);
// The key at path (as it is to be written) and everything below it.
void renderKey(const Key& key, std::string& path, std::string& out);

}  // namespace sim::registry
