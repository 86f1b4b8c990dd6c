#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/sim/delayed_moves.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/faults.h"
#include "platform/sim/files_in_use.h"
#include "platform/sim/host_files.h"
#include "platform/sim/names.h"
#include "platform/sim/os_keys.h"

// Renames now (MoveFile, MoveFileEx) and at the next restart (MoveFileEx with the delay flag).
namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kNotSameDevice = 17;

struct MoveRules {
    bool replaceExisting = false;
    bool copyAllowed = false;
};

// The name the last component of a path asks for, as Windows takes it: trailing dots and
// blanks dropped. Empty when the path ends in "." or "..", which name no new spelling.
std::string lastComponent(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const size_t separator = path.find_last_of("\\/:");
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (name == "." || name == "..") return {};
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

bool onSameDrive(const std::string& from, const std::string& to) {
    const std::string a = sim::fullWindowsPath(from), b = sim::fullWindowsPath(to);
    return !a.empty() && !b.empty() && sim::equalsIgnoringCase(a.substr(0, 1), b.substr(0, 1));
}

// Why an existing target cannot be replaced by the source, or 0 when it can.
uint32_t replaceRefusal(const sim::ResolvedPath& source, const sim::ResolvedPath& target,
                        const std::string& to, const MoveRules& rules) {
    if (!rules.replaceExisting) return error::kAlreadyExists;
    if (sim::isDirectory(source.host) || sim::isDirectory(target.host) ||
        sim::isReadOnly(target.host))
        return error::kAccessDenied;
    return sim::heldFileRefusal(to, sim::FileAccess::ReplaceByMove);
}

// Where the source goes on the host. A target that resolves to the source itself is a change
// of spelling: the entry keeps its place and takes the name as the target spells it.
bool hostTarget(const sim::ResolvedPath& source, const sim::ResolvedPath& target,
                const std::string& to, const MoveRules& rules, fs::path* destination) {
    std::error_code ec;
    if (target.exists && fs::equivalent(source.host, target.host, ec)) {
        const std::string spelling = lastComponent(to);
        *destination = spelling.empty() ? source.host : source.host.parent_path() / spelling;
        return true;
    }
    if (uint32_t refusal = target.exists ? replaceRefusal(source, target, to, rules) : 0)
        return sim::failWith(refusal);
    *destination = target.host;
    return true;
}

bool moveNow(const std::string& from, const std::string& to, const MoveRules& rules) {
    const sim::ResolvedPath source = sim::resolveArgument(from);
    if (!source.exists) return sim::failWith(source.error);
    if (sim::isDriveRoot(source.host)) return sim::failWith(error::kAccessDenied);
    if (uint32_t refusal = sim::heldFileRefusal(from, sim::FileAccess::Rename))
        return sim::failWith(refusal);
    const sim::ResolvedPath target = sim::resolveArgument(to);
    if (!target.exists && target.error != error::kFileNotFound) return sim::failWith(target.error);
    // Only a file's content can be copied to another drive; a directory never leaves its own.
    if ((!rules.copyAllowed || sim::isDirectory(source.host)) && !onSameDrive(from, to))
        return sim::failWith(kNotSameDevice);
    fs::path destination;
    if (!hostTarget(source, target, to, rules, &destination)) return false;
    // The source's full name is found before the move, while the source still exists.
    const std::string fullSource = sim::anyFileInUse() ? sim::fullWindowsPath(from) : from;
    std::error_code ec;
    const sim::EntryChange leaving(source.host), arriving(destination);
    if (destination != source.host) fs::rename(source.host, destination, ec);
    if (ec) return sim::failWith(sim::win32ErrorOf(ec));
    sim::moveFileInUse(fullSource, to);
    return true;
}

}  // namespace

bool moveFile(const std::string& from, const std::string& to) {
    if (uint32_t fault = sim::injectedFault("MoveFile", from)) return sim::failWith(fault);
    return moveNow(from, to, MoveRules{.replaceExisting = false, .copyAllowed = true});
}

bool moveFileEx(const std::string& from, const std::string* to, uint32_t flags) {
    if (uint32_t fault = sim::injectedFault("MoveFileEx", from)) return sim::failWith(fault);
    if (sim::isWin9xMachine()) return sim::failWith(error::kCallNotImplemented);
    const bool replace = (flags & kMoveFileReplaceExisting) != 0;
    if ((flags & kMoveFileDelayUntilReboot) != 0) return sim::recordDelayedMove(from, to, replace);
    if (to == nullptr) return sim::failWith(error::kInvalidParameter);
    return moveNow(
        from, *to,
        MoveRules{.replaceExisting = replace, .copyAllowed = (flags & kMoveFileCopyAllowed) != 0});
}

}  // namespace platform
