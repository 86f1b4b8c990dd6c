#pragma once

#include <string>
#include <vector>

#include "tools/driver_package/windows_install.h"

// The Windows versions `winsim try` knows: each edition `winsim new` makes, the 64-bit ones
// as "<version>-x64", with what Windows' INF rules see of each.
namespace winsim {

struct TrialVersion {
    std::string name;  // "xp", "xp-x64"
    std::string os;    // the version as `winsim new --os` takes it
    driver_package::WindowsTarget target;
};

const std::vector<TrialVersion>& trialVersions();
// The version of that name (case ignored), or null.
const TrialVersion* findTrialVersion(const std::string& name);

}  // namespace winsim
