#include "platform/file_ops.h"

#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/host_files.h"

// Copying, deleting and the attributes of single files.
namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

bool setReadOnly(const fs::path& host, bool readOnly) {
    std::error_code ec;
    if (readOnly)
        fs::permissions(host, kAnyWrite, fs::perm_options::remove, ec);
    else
        fs::permissions(host, fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec || sim::failWith(sim::win32ErrorOf(ec));
}

// Why an existing destination cannot be overwritten by a copy, or 0 when it can.
uint32_t replaceRefusal(const fs::path& source, const fs::path& target,
                        const std::string& targetPath) {
    std::error_code ec;
    if (sim::isDirectory(target) || sim::isReadOnly(target)) return error::kAccessDenied;
    // A file copied onto itself is held open for reading while it would be truncated.
    if (fs::equivalent(source, target, ec)) return error::kSharingViolation;
    return sim::heldFileRefusal(targetPath, sim::FileAccess::Write);
}

// Content, last-write time and read-only attribute, as CopyFile carries them.
bool copyContent(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    const sim::EntryChange change(target);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) return sim::failWith(sim::win32ErrorOf(ec));
    const auto written = fs::last_write_time(source, ec);
    if (!ec) fs::last_write_time(target, written, ec);
    if (ec) return sim::failWith(sim::win32ErrorOf(ec));
    return setReadOnly(target, sim::isReadOnly(source));
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    if (uint32_t fault = sim::injectedFault("CopyFile", to)) return sim::failWith(fault);
    const sim::ResolvedPath source = sim::resolveArgument(from);
    if (!source.exists) return sim::failWith(source.error);
    if (sim::isDirectory(source.host)) return sim::failWith(error::kAccessDenied);
    if (uint32_t refusal = sim::heldFileRefusal(from, sim::FileAccess::Read))
        return sim::failWith(refusal);
    const sim::ResolvedPath target = sim::resolveArgument(to);
    if (!target.exists && target.error != error::kFileNotFound) return sim::failWith(target.error);
    if (target.exists && failIfExists) return sim::failWith(error::kFileExists);
    if (target.exists) {
        if (uint32_t refusal = replaceRefusal(source.host, target.host, to))
            return sim::failWith(refusal);
    }
    return copyContent(source.host, target.host);
}

bool deleteFile(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("DeleteFile", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    if (sim::isDirectory(resolved.host) || sim::isReadOnly(resolved.host))
        return sim::failWith(error::kAccessDenied);
    if (uint32_t refusal = sim::heldFileRefusal(path, sim::FileAccess::Delete))
        return sim::failWith(refusal);
    // The entry is found by the file's full name, which only an existing file has.
    const std::string fullPath = sim::anyFileInUse() ? sim::fullWindowsPath(path) : std::string();
    std::error_code ec;
    const sim::EntryChange change(resolved.host);
    fs::remove(resolved.host, ec);
    if (ec) return sim::failWith(sim::win32ErrorOf(ec));
    if (!fullPath.empty()) sim::forgetFileInUse(fullPath);
    return true;
}

// Only the read-only attribute of a file is kept. A directory stays writable on the host:
// Windows lets files be created in a read-only directory, and the host would not.
bool setFileAttributes(const std::string& path, uint32_t attributes) {
    if (uint32_t fault = sim::injectedFault("SetFileAttributes", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    if (sim::isDirectory(resolved.host)) return true;
    return setReadOnly(resolved.host, (attributes & kFileAttributeReadOnly) != 0);
}

}  // namespace platform
