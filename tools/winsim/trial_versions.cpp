#include "tools/winsim/trial_versions.h"

#include "platform/sim/names.h"

namespace winsim {

const std::vector<TrialVersion>& trialVersions() {
    // The version numbers Windows reports; the 64-bit edition of XP is built on Server 2003
    // and reports 5.2. Only the server editions have product type 3.
    static const std::vector<TrialVersion> versions = {
        {"95", "95", {true, 4, 0, false, false}},
        {"98", "98", {true, 4, 10, false, false}},
        {"98se", "98se", {true, 4, 10, false, false}},
        {"me", "me", {true, 4, 90, false, false}},
        {"nt4", "nt4", {false, 4, 0, false, false}},
        {"2000", "2000", {false, 5, 0, false, false}},
        {"xp", "xp", {false, 5, 1, false, false}},
        {"xp-x64", "xp", {false, 5, 2, false, true}},
        {"2003", "2003", {false, 5, 2, true, false}},
        {"2003-x64", "2003", {false, 5, 2, true, true}},
        {"vista", "vista", {false, 6, 0, false, false}},
        {"vista-x64", "vista", {false, 6, 0, false, true}},
    };
    return versions;
}

const TrialVersion* findTrialVersion(const std::string& name) {
    for (const TrialVersion& version : trialVersions())
        if (sim::equalsIgnoringCase(version.name, name)) return &version;
    return nullptr;
}

}  // namespace winsim
