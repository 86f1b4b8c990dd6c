#include "tools/driver_package/driver_package.h"

#include <system_error>
#include <vector>

#include "platform/sim/names.h"

namespace fs = std::filesystem;

namespace driver_package {

std::optional<fs::path> onlyInf(const fs::path& dir, std::string* problem) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec) &&
            sim::endsWithIgnoringCase(entry.path().filename().string(), ".inf"))
            found.push_back(entry.path());
    if (found.size() == 1) return found.front();
    *problem = found.empty() ? dir.string() + " holds no *.inf file; name one with --inf"
                             : dir.string() + " holds " + std::to_string(found.size()) +
                                   " INF files; name one with --inf";
    return std::nullopt;
}

std::string directoryOnMachine(const fs::path& packageDir) {
    const fs::path absolute = fs::absolute(packageDir).lexically_normal();
    const fs::path name =
        absolute.has_filename() ? absolute.filename() : absolute.parent_path().filename();
    return "C:\\Drivers\\" + (name.empty() ? std::string("package") : name.string());
}

}  // namespace driver_package
