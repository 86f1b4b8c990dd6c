#include "tools/check/package_location.h"

#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_files.h"
#include "tools/driver_package/driver_package.h"

namespace fs = std::filesystem;

namespace check {

namespace {

// An INF from outside the package must not take the place of a package file of its name.
constexpr const char* kOutsideInfDir = "C:\\Drivers\\INF outside the package";

// The INF's path relative to the package, when it lies inside it.
std::optional<fs::path> relativeToPackage(const fs::path& inf, const fs::path& packageDir) {
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(packageDir, ec);
    const fs::path file = fs::weakly_canonical(inf, ec);
    if (ec) return std::nullopt;
    const fs::path relative = file.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    return relative;
}

CStdStr windowsJoin(const CStdStr& dir, const fs::path& relative) {
    CStdStr path = dir;
    for (const fs::path& part : relative) path += "\\" + part.string();
    return path;
}

// A package file Windows cannot hold under its name (CON.TXT, NUL.ZIP) stops the check: it
// is named, with the reason where the name is one of a device.
std::string copyProblem(const fs::path& file) {
    std::string problem = "cannot copy " + file.string() + " onto the scratch machine";
    const std::string name = file.filename().string();
    if (sim::isReservedDeviceName(name))
        problem += ": Windows reserves the name " + name.substr(0, name.find('.')) +
                   " for a device in every directory, so no Windows machine can hold the file";
    return problem;
}

}  // namespace

std::optional<PackageLocation> PackageLocation::place(const Options& options,
                                                      std::string* problem) {
    PackageLocation location;
    location.packageDir = driver_package::directoryOnMachine(options.packageDir);
    fs::path failedFile;
    if (!sim::copyTreeOntoMachine(options.packageDir, location.packageDir, &failedFile)) {
        *problem = "cannot copy " + options.packageDir.string() + " onto the scratch machine";
        if (!failedFile.empty()) *problem = copyProblem(failedFile);
        return std::nullopt;
    }
    if (const std::optional<fs::path> inside =
            relativeToPackage(options.infFile, options.packageDir)) {
        location.infWindowsPath = windowsJoin(location.packageDir, *inside);
        location.infDisplayName = inside->generic_string();
    } else {
        const fs::path hostDir = sim::makeMachineDirectory(kOutsideInfDir);
        std::error_code ec;
        if (hostDir.empty() ||
            !fs::copy_file(options.infFile, hostDir / options.infFile.filename(), ec)) {
            *problem = "cannot copy " + options.infFile.string() + " onto the scratch machine";
            return std::nullopt;
        }
        location.infWindowsPath = windowsJoin(kOutsideInfDir, options.infFile.filename());
        location.infDisplayName = options.infFile.string();
    }
    platform::setCurrentDirectory(location.packageDir);
    return location;
}

bool PackageLocation::contains(const CStdStr& windowsPath) const {
    const CStdStr prefix = packageDir + "\\";
    return windowsPath.size() > prefix.size() &&
           cstd::equalsNoCase(std::string_view(windowsPath).substr(0, prefix.size()), prefix);
}

std::string PackageLocation::nameInPackage(const CStdStr& windowsPath) const {
    std::string name = windowsPath.substr(packageDir.size() + 1);
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

}  // namespace check
