#include "tools/check/options.h"

#include <system_error>
#include <vector>

#include "support/cstd_str.h"

namespace fs = std::filesystem;

namespace check {

const char* const kUsage =
    "usage: dadazado-check PACKAGE_DIR [--inf FILE]\n"
    "  Checks a driver package against what the post-install utility reads of it.\n"
    "  FILE defaults to the one *.inf file in PACKAGE_DIR.\n";

namespace {

bool isInfName(const fs::path& path) {
    return cstd::equalsNoCase(path.extension().string(), ".inf");
}

std::vector<fs::path> infFilesIn(const fs::path& dir) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec) && isInfName(entry.path())) found.push_back(entry.path());
    return found;
}

std::optional<fs::path> onlyInfIn(const fs::path& dir, std::string* problem) {
    const std::vector<fs::path> found = infFilesIn(dir);
    if (found.size() == 1) return found.front();
    if (found.empty()) {
        *problem = dir.string() + " holds no *.inf file; name one with --inf";
        return std::nullopt;
    }
    *problem = dir.string() + " holds " + std::to_string(found.size()) +
               " INF files; name the one to check with --inf";
    return std::nullopt;
}

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
    const std::optional<fs::path> only = onlyInfIn(options.packageDir, problem);
    if (!only) return std::nullopt;
    options.infFile = *only;
    return options;
}

}  // namespace check
