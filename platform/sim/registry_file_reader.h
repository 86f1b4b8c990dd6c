#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "platform/sim/registry_tree.h"

// Reading a .reg file into a tree: version 5.00 and REGEDIT4 text, 8-bit or UTF-16LE with its
// byte-order mark, every value notation the registry editor writes.
namespace sim::registry {

// Empty on success (a missing file reads as nothing), else "<file>:<line>: <problem>".
std::string parseFile(const std::filesystem::path& file, Tree& tree);
std::string located(const std::filesystem::path& file, size_t line, const std::string& what);

}  // namespace sim::registry
