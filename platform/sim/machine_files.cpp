#include "platform/sim/machine_files.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/sim/machine.h"

namespace sim {

namespace fs = std::filesystem;

std::optional<std::string> readHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // The stream buffer copies in blocks; a character iterator would copy byte by byte.
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(content).str();
}

fs::path makeMachineDirectory(const std::string& windowsDir) {
    // Each component is resolved in turn, so the next is looked for below the spelling that
    // exists.
    std::string made = windowsDir.substr(0, 2);
    for (size_t start = 3; start < windowsDir.size();) {
        size_t end = windowsDir.find('\\', start);
        if (end == std::string::npos) end = windowsDir.size();
        if (end > start) {
            made += "\\" + windowsDir.substr(start, end - start);
            const ResolvedPath resolved = resolvePath(made);
            std::error_code ec;
            if (!resolved.exists && !resolved.host.empty()) fs::create_directory(resolved.host, ec);
            if (resolved.host.empty() || !fs::is_directory(resolved.host, ec)) return {};
        }
        start = end + 1;
    }
    return resolvePath(made.size() == 2 ? made + "\\" : made).host;
}

bool copyTreeOntoMachine(const fs::path& from, const std::string& windowsDir,
                         fs::path* failedFile) {
    std::error_code ec;
    bool copied = !makeMachineDirectory(windowsDir).empty();
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string target = windowsDir;
        for (const fs::path& part : fs::relative(it->path(), from, ec))
            target += "\\" + part.string();
        // A file of that name in another spelling is replaced, and keeps its spelling.
        std::error_code failed;
        const bool placed = !makeMachineDirectory(target.substr(0, target.rfind('\\'))).empty();
        const fs::path host = resolvePath(target).host;
        if (placed) fs::copy_file(it->path(), host, fs::copy_options::overwrite_existing, failed);
        if (placed && !failed) fs::last_write_time(host, it->last_write_time(failed), failed);
        const bool fileCopied = placed && !failed && !host.empty();
        if (!fileCopied && copied && failedFile != nullptr) *failedFile = it->path();
        copied = copied && fileCopied;
    }
    return copied && !ec;
}

}  // namespace sim
