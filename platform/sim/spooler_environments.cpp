#include "platform/sim/names.h"
#include "platform/sim/spooler_keys.h"

namespace sim::spooler {

namespace {

constexpr EnvironmentInfo kEnvironments[] = {{"Windows NT x86", "w32x86"},
                                             {"Windows 4.0", "win40"},
                                             {"Windows x64", "x64"},
                                             {"Windows IA64", "ia64"}};

}  // namespace

const EnvironmentInfo* findEnvironment(const std::string& name) {
    for (const EnvironmentInfo& environment : kEnvironments)
        if (sim::equalsIgnoringCase(environment.name, name)) return &environment;
    return nullptr;
}

}  // namespace sim::spooler
