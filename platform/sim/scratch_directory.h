#pragma once

#include <filesystem>
#include <string>

namespace sim {

// A new empty host directory below TMPDIR (or /tmp) named prefix-XXXXXX, for a machine that
// lives as long as a test or a tool's run; empty when none can be made.
std::filesystem::path makeScratchDirectory(const std::string& prefix);

}  // namespace sim
