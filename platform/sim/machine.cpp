#include "platform/sim/machine.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "platform/errors.h"
#include "platform/sim/directory_listings.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"

namespace sim {

namespace fs = std::filesystem;

MachineState& machineState() {
    static MachineState* state = new MachineState;
    return *state;
}

namespace {

constexpr size_t kMaxPath = 260;

bool hasInvalidCharacter(const std::string& component) {
    for (unsigned char c : component)
        if (c < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
            c == '*')
            return true;
    return false;
}

std::vector<std::string> splitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path + "\\") {
        if (c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty()) parts.push_back(part);
        part.clear();
    }
    return parts;
}

// Windows drops trailing dots and blanks from every name it is given.
std::string withoutTrailingDotsAndBlanks(std::string name) {
    if (name == "." || name == "..") return name;
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

// The absolute Windows path a (possibly relative) path stands for: drive letter and the
// components below the drive root, "." and ".." applied.
struct AbsolutePath {
    char drive = 0;
    std::vector<std::string> components;
    uint32_t error = 0;
};

AbsolutePath absolutePath(std::string path) {
    AbsolutePath result;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        result.error = platform::error::kPathNotFound;  // no network exists
        return result;
    }
    const std::string& current = machineState().currentDirectory;
    std::string rest;
    if (path.size() >= 2 && path[1] == ':') {
        result.drive = lowerAscii(path[0]);
        rest = path.substr(2);
        const bool sameDrive = lowerAscii(current[0]) == result.drive;
        if (rest.empty() || rest[0] != '\\')
            rest = (sameDrive ? current.substr(2) : "") + "\\" + rest;
    } else {
        result.drive = lowerAscii(current[0]);
        rest = (!path.empty() && path[0] == '\\') ? path : current.substr(2) + "\\" + path;
    }
    if (result.drive < 'a' || result.drive > 'z') {
        result.error = platform::error::kInvalidName;
        return result;
    }
    for (std::string& part : splitComponents(rest)) {
        part = withoutTrailingDotsAndBlanks(part);
        if (part == "." || part.empty()) continue;
        if (part == "..") {
            if (!result.components.empty()) result.components.pop_back();
            continue;
        }
        if (hasInvalidCharacter(part)) {
            result.error = platform::error::kInvalidName;
            return result;
        }
        if (isReservedDeviceName(part)) {
            result.error = platform::error::kAccessDenied;
            return result;
        }
        result.components.push_back(part);
    }
    size_t length = 3;
    for (const auto& part : result.components) length += part.size() + 1;
    if (length >= kMaxPath) result.error = platform::error::kFilenameExcedRange;
    return result;
}

// The entry of dir whose name matches without regard to case, exact spelling first.
bool findEntry(const fs::path& dir, const std::string& name, fs::path* found) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / name, ec))) {
        *found = dir / name;
        return true;
    }
    std::string realName;
    if (!findListedEntry(dir, name, &realName)) return false;
    *found = dir / realName;
    return true;
}

}  // namespace

// CON, NUL, COM1 and the like name devices in every directory, whatever their extension.
// The simulated machine has no devices, so such a name refuses to be a file.
bool isReservedDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = lowerAscii(c);
    if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
    return base.size() == 4 && (base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

namespace {

std::string windowsDirectoryKey(const AbsolutePath& absolute, size_t components) {
    std::string key{absolute.drive, ':'};
    for (size_t i = 0; i < components; ++i) key += "\\" + folded(absolute.components[i]);
    return key;
}

// Where the walk starts: the drive's directory, or the file's directory when it was
// resolved before. False when the drive does not exist.
bool walkStart(const AbsolutePath& absolute, fs::path* here, size_t* first) {
    const size_t count = absolute.components.size();
    if (count > 0 && findResolvedDirectory(windowsDirectoryKey(absolute, count - 1), here)) {
        *first = count - 1;
        return true;
    }
    std::error_code ec;
    *here = machineState().dir / (std::string("drive_") + absolute.drive);
    *first = 0;
    if (machineState().dir.empty() || !fs::is_directory(*here, ec)) return false;
    rememberResolvedDirectory(windowsDirectoryKey(absolute, 0), *here);
    return true;
}

}  // namespace

ResolvedPath resolvePath(const std::string& windowsPath) {
    ResolvedPath resolved;
    const AbsolutePath absolute = absolutePath(windowsPath);
    if (absolute.error != 0) {
        resolved.error = absolute.error;
        return resolved;
    }
    std::error_code ec;
    fs::path here;
    size_t first = 0;
    if (!walkStart(absolute, &here, &first)) {
        resolved.error = platform::error::kPathNotFound;
        return resolved;
    }
    for (size_t i = first; i < absolute.components.size(); ++i) {
        const bool last = i + 1 == absolute.components.size();
        fs::path next;
        if (!findEntry(here, absolute.components[i], &next)) {
            resolved.host = here / absolute.components[i];
            for (size_t j = i + 1; j < absolute.components.size(); ++j)
                resolved.host /= absolute.components[j];
            resolved.error = last ? platform::error::kFileNotFound : platform::error::kPathNotFound;
            return resolved;
        }
        if (!last && !fs::is_directory(next, ec)) {
            resolved.host = next;
            resolved.error = platform::error::kPathNotFound;
            return resolved;
        }
        if (!last) rememberResolvedDirectory(windowsDirectoryKey(absolute, i + 1), next);
        here = next;
    }
    resolved.host = here;
    resolved.exists = true;
    return resolved;
}

namespace {

// The path relative to the machine directory. Paths the machine resolved itself are spelled
// from that directory and compare as written; only others (the host's current directory, a
// program's own file) need their links resolved, at a readlink a component.
fs::path relativeToMachine(const fs::path& host) {
    const fs::path& dir = machineState().dir;
    if (dir.empty()) return {};
    const fs::path relative = host.lexically_normal().lexically_relative(dir.lexically_normal());
    if (!relative.empty() && *relative.begin() != "..") return relative;
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(dir, ec);
    const fs::path target = fs::weakly_canonical(host, ec);
    if (ec || base.empty()) return {};
    return target.lexically_relative(base);
}

}  // namespace

std::string windowsPathOf(const fs::path& host) {
    const fs::path relative = relativeToMachine(host);
    auto it = relative.begin();
    if (it == relative.end()) return {};
    const std::string driveDir = it->string();
    if (driveDir.size() != 7 || driveDir.rfind("drive_", 0) != 0) return {};
    const char letter = driveDir[6];
    if (letter < 'a' || letter > 'z') return {};
    std::string windows(1, static_cast<char>(letter - 'a' + 'A'));
    windows += ":";
    for (++it; it != relative.end(); ++it) {
        if (it->empty() || *it == ".") continue;
        if (*it == "..") return {};
        windows += "\\" + it->string();
    }
    if (windows.size() == 2) windows += "\\";
    return windows;
}

std::string openMachine(const fs::path& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return dir.string() + ": no such machine directory";
    forgetDirectoryListings();
    const std::string problem = registry::load(dir / "registry.reg");
    if (!problem.empty()) return problem;
    MachineState& state = machineState();
    state.dir = fs::absolute(dir, ec);
    state.currentDirectory = "C:\\";
    const std::string mapped = windowsPathOf(fs::current_path(ec));
    if (!mapped.empty()) state.currentDirectory = mapped;
    return {};
}

const fs::path& machineDirectory() { return machineState().dir; }

void journal(const std::string& line) {
    std::ofstream out(machineState().dir / "journal.log", std::ios::app | std::ios::binary);
    out << line << '\n';
}

}  // namespace sim
