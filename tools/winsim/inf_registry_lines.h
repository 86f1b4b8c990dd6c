#pragma once

#include <string>
#include <vector>

// The install section's DelReg and AddReg lines, applied to the open machine as Windows' setup
// functions apply them while the driver is installed, before the utility runs.
namespace winsim {

// Each line as its fields (root, subkey, value name, flags, data...). DelReg lines go first,
// as Windows processes them first. Lines relative to the device key (HKR) have no meaning for
// a printer driver installed by itself and are left out. The lines that could not be applied.
std::vector<std::string> applyRegistryLines(const std::vector<std::vector<std::string>>& delReg,
                                            const std::vector<std::vector<std::string>>& addReg);

}  // namespace winsim
