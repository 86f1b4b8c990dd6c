#include "tools/check/options.h"

#include <system_error>
#include <vector>

#include "tools/driver_package/driver_package.h"

namespace fs = std::filesystem;

namespace check {

const char* const kUsage =
    "usage: dadazado-check PACKAGE_DIR [--inf FILE]\n"
    "  Checks a driver package against what the post-install utility reads of it.\n"
    "  FILE defaults to the one *.inf file in PACKAGE_DIR.\n";

namespace {

// A relative FILE is looked for from the current directory first, then in the package.
fs::path locateInf(const fs::path& given, const fs::path& packageDir) {
    std::error_code ec;
    if (given.is_absolute() || fs::exists(given, ec)) return given;
    const fs::path inPackage = packageDir / given;
    return fs::exists(inPackage, ec) ? inPackage : given;
}

}  // namespace

std::optional<Options> parseOptions(int argc, char** argv, std::string* problem) {
    Options options;
    std::optional<fs::path> inf;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--inf" && i + 1 < argc) {
            inf = argv[++i];
        } else if (word.rfind("-", 0) != 0 && options.packageDir.empty()) {
            options.packageDir = word;
        } else {
            *problem = "unexpected argument " + word;
            return std::nullopt;
        }
    }
    std::error_code ec;
    if (options.packageDir.empty() || !fs::is_directory(options.packageDir, ec)) {
        *problem = options.packageDir.empty() ? "no package directory given"
                                              : options.packageDir.string() + ": no such directory";
        return std::nullopt;
    }
    if (inf) {
        options.infFile = locateInf(*inf, options.packageDir);
        return options;
    }
    const std::optional<fs::path> only = driver_package::onlyInf(options.packageDir, problem);
    if (!only) return std::nullopt;
    options.infFile = *only;
    return options;
}

}  // namespace check
