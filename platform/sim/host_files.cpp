#include "platform/sim/host_files.h"

#include <cerrno>

#include "platform/errors.h"
#include "platform/sim/machine.h"

namespace sim {

namespace fs = std::filesystem;

bool failWith(uint32_t code) {
    platform::setLastError(code);
    return false;
}

uint32_t win32ErrorOf(const std::error_code& ec) {
    if (ec.category() != std::generic_category() && ec.category() != std::system_category())
        return platform::error::kAccessDenied;
    switch (ec.value()) {
        case ENOENT:
            return platform::error::kPathNotFound;
        case EEXIST:
            return platform::error::kAlreadyExists;
        case ENOTEMPTY:
            return platform::error::kDirNotEmpty;
        case ENOSPC:
            return 112;  // ERROR_DISK_FULL
        case EXDEV:
            return 17;  // ERROR_NOT_SAME_DEVICE
        case ENAMETOOLONG:
            return platform::error::kFilenameExcedRange;
        default:
            return platform::error::kAccessDenied;
    }
}

bool isDirectory(const fs::path& host) {
    std::error_code ec;
    return fs::is_directory(host, ec);
}

bool isReadOnly(const fs::path& host) {
    std::error_code ec;
    const auto perms = fs::status(host, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) == fs::perms::none;
}

bool isDriveRoot(const fs::path& host) { return windowsPathOf(host).size() == 3; }

ResolvedPath resolveArgument(const std::string& windowsPath) {
    if (!windowsPath.empty()) return resolvePath(windowsPath);
    ResolvedPath nothing;
    nothing.error = platform::error::kPathNotFound;
    return nothing;
}

std::string fullWindowsPath(const std::string& windowsPath) {
    const ResolvedPath resolved = resolvePath(windowsPath);
    if (resolved.host.empty()) return windowsPath;
    const std::string full = windowsPathOf(resolved.host);
    return full.empty() ? windowsPath : full;
}

}  // namespace sim
