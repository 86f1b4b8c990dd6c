#pragma once

#include <optional>
#include <string>

#include "support/cstd_str.h"
#include "tools/check/options.h"

// Where the package stands on the scratch machine, and the names the user knows its files by.
namespace check {

class PackageLocation {
  public:
    // Copies the package to C:\Drivers\<its directory name> on the open machine (an INF from
    // outside the package beside it) and makes the package the current directory, as it is
    // when the utility runs. None, with the reason in problem, when the copy fails.
    static std::optional<PackageLocation> place(const Options& options, std::string* problem);

    // The package directory and the INF, as Windows paths on the machine.
    const CStdStr& dir() const { return packageDir; }
    const CStdStr& infPath() const { return infWindowsPath; }
    // The INF as the user named it: its path in the package, else as given.
    const std::string& infName() const { return infDisplayName; }

    // Whether a Windows path lies below the package directory.
    bool contains(const CStdStr& windowsPath) const;
    // A path below the package directory by its name in the package ("docs/MANUAL.TXT").
    std::string nameInPackage(const CStdStr& windowsPath) const;

  private:
    CStdStr packageDir;
    CStdStr infWindowsPath;
    std::string infDisplayName;
};

}  // namespace check
