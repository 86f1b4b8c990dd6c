#include "platform/sim/scratch_directory.h"

#include <stdlib.h>

#include <cstdlib>

namespace sim {

std::filesystem::path makeScratchDirectory(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

}  // namespace sim
