// dadazado-check: checks a driver package against what the post-install utility reads of it,
// with the utility's own classes, and reports what would go wrong before a machine finds out.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "tools/check/options.h"
#include "tools/check/package_check.h"

namespace {

constexpr int kBadUsage = 2;

}  // namespace

int main(int argc, char** argv) {
    std::string problem;
    const std::optional<check::Options> options = check::parseOptions(argc, argv, &problem);
    if (!options) {
        std::cerr << "dadazado-check: " << problem << '\n' << check::kUsage;
        return kBadUsage;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(options->infFile, ec) ||
        !std::ifstream(options->infFile, std::ios::binary)) {
        std::cerr << "dadazado-check: cannot read " << options->infFile.string() << '\n';
        return kBadUsage;
    }
    // Findings go where compilers put theirs, so that the output of a build reads the same.
    return check::checkPackage(*options, std::cerr);
}
