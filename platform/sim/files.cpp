#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "platform/errors.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/write_streams.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

bool wantsWrite(const char* mode) {
    return mode[0] == 'w' || mode[0] == 'a' || std::strchr(mode, '+') != nullptr;
}

constexpr uint32_t kNotADirectory = 267;  // ERROR_DIRECTORY

uint32_t errorOfErrno(int err) {
    switch (err) {
        case ENOENT:
            return error::kPathNotFound;
        case ENOSPC:
            return 112;  // ERROR_DISK_FULL
        default:
            return error::kAccessDenied;
    }
}

// The checks Windows makes when a file is opened: the path must place, a read needs the file,
// a write needs the directory, and neither works on a directory or a read-only file; a file
// another process holds refuses what its holder does not share.
bool hostPathForOpen(const std::string& path, const char* mode, fs::path* host, bool* existed) {
    if (uint32_t fault = sim::injectedFault("CreateFile", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolvePath(path);
    if (!resolved.exists && (resolved.error != error::kFileNotFound || mode[0] == 'r'))
        return sim::failWith(resolved.error);
    if (resolved.exists) {
        // One look tells both: the flight recorder opens its file for every line.
        std::error_code ec;
        const fs::file_status status = fs::status(resolved.host, ec);
        if (fs::is_directory(status)) return sim::failWith(error::kAccessDenied);
        const bool readOnly =
            !ec && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
        if (wantsWrite(mode) && readOnly) return sim::failWith(error::kAccessDenied);
        const sim::FileAccess access =
            wantsWrite(mode) ? sim::FileAccess::Write : sim::FileAccess::Read;
        if (uint32_t refusal = sim::heldFileRefusal(path, access)) return sim::failWith(refusal);
    }
    *host = resolved.host;
    *existed = resolved.exists;
    return true;
}

}  // namespace

uint32_t getFileAttributes(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("GetFileAttributes", path)) {
        setLastError(fault);
        return kInvalidFileAttributes;
    }
    const sim::ResolvedPath resolved = sim::resolvePath(path);
    if (!resolved.exists) {
        setLastError(resolved.error);
        return kInvalidFileAttributes;
    }
    std::error_code ec;
    uint32_t attributes =
        fs::is_directory(resolved.host, ec) ? kFileAttributeDirectory : kFileAttributeArchive;
    if (sim::isReadOnly(resolved.host)) attributes |= kFileAttributeReadOnly;
    return attributes;
}

std::FILE* openFile(const std::string& path, const char* mode) {
    fs::path host;
    bool existed = false;
    if (!hostPathForOpen(path, mode, &host, &existed)) return nullptr;
    // Only a file that is created changes its directory; writing one that exists does not.
    std::optional<sim::EntryChange> change;
    if (!existed && std::strpbrk(mode, "wa") != nullptr) change.emplace(host);
    std::FILE* file = wantsWrite(mode)
                          ? sim::openWriteStream(host, mode, sim::injectedFault("WriteFile", path))
                          : std::fopen(host.c_str(), mode);
    if (file == nullptr) setLastError(errorOfErrno(errno));
    return file;
}

bool appendTextFile(const std::string& path, const std::string& text) {
    std::FILE* file = openFile(path, "ab");
    if (file == nullptr) return false;
    std::string onDisk;
    onDisk.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\n') onDisk += '\r';
        onDisk += c;
    }
    const bool written = std::fwrite(onDisk.data(), 1, onDisk.size(), file) == onDisk.size();
    return std::fclose(file) == 0 && written;
}

std::string getCurrentDirectory() { return sim::machineState().currentDirectory; }

bool setCurrentDirectory(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("SetCurrentDirectory", path))
        return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolvePath(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    std::error_code ec;
    if (!fs::is_directory(resolved.host, ec)) {
        // A file named as a directory, with a separator after it, is no valid name at all.
        const bool asDirectory = !path.empty() && (path.back() == '\\' || path.back() == '/');
        return sim::failWith(asDirectory ? error::kInvalidName : kNotADirectory);
    }
    sim::machineState().currentDirectory = sim::windowsPathOf(resolved.host);
    return true;
}

}  // namespace platform
