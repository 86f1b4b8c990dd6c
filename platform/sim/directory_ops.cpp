#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/names.h"

// Creating and removing directories.
namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kNotADirectory = 267;  // ERROR_DIRECTORY
// A directory must leave room below it for an 8.3 name within MAX_PATH.
constexpr size_t kMaxDirectoryPath = 248 - 1;

bool isEmptyDirectory(const fs::path& host) {
    std::error_code ec;
    return fs::is_empty(host, ec) && !ec;
}

// The process keeps its current directory open, so Windows will not remove it.
bool isCurrentDirectory(const fs::path& host) {
    return sim::equalsIgnoringCase(sim::windowsPathOf(host), sim::machineState().currentDirectory);
}

}  // namespace

bool createDirectory(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("CreateDirectory", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (resolved.exists) return sim::failWith(error::kAlreadyExists);
    if (resolved.error != error::kFileNotFound) return sim::failWith(resolved.error);
    if (sim::windowsPathOf(resolved.host).size() > kMaxDirectoryPath)
        return sim::failWith(error::kFilenameExcedRange);
    std::error_code ec;
    const sim::EntryChange change(resolved.host);
    fs::create_directory(resolved.host, ec);
    return !ec || sim::failWith(sim::win32ErrorOf(ec));
}

bool removeDirectory(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("RemoveDirectory", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    if (!sim::isDirectory(resolved.host)) return sim::failWith(kNotADirectory);
    if (sim::isDriveRoot(resolved.host)) return sim::failWith(error::kAccessDenied);
    if (!isEmptyDirectory(resolved.host)) return sim::failWith(error::kDirNotEmpty);
    if (isCurrentDirectory(resolved.host)) return sim::failWith(error::kSharingViolation);
    std::error_code ec;
    const sim::EntryChange change(resolved.host);
    fs::remove(resolved.host, ec);
    return !ec || sim::failWith(sim::win32ErrorOf(ec));
}

}  // namespace platform
