#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A driver package as the tools find it on the host and put it on a simulated machine: the
// same for `winsim try` and dadazado-check, so the two agree on where a package stands.
namespace driver_package {

// The package's INF when it is the only *.inf file directly in dir (any case); none, with
// the reason in problem, when there is none or there are several.
std::optional<std::filesystem::path> onlyInf(const std::filesystem::path& dir,
                                             std::string* problem);

// Where the package goes on the machine: C:\Drivers\<the name of its directory>.
std::string directoryOnMachine(const std::filesystem::path& packageDir);

}  // namespace driver_package
