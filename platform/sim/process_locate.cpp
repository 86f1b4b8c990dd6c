#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/sim/host_files.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/process_host.h"
#include "platform/system_info.h"

namespace sim::process {

namespace {

using platform::error::kBadExeFormat;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool hasDirectory(const std::string& name) {
    return name.find_first_of("\\/:") != std::string::npos;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A name without an extension means the ".exe" of that name.
std::string withDefaultExtension(const std::string& name) {
    const size_t slash = name.find_last_of("\\/:");
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return name;
    return name + ".exe";
}

// An unquoted name with blanks is ambiguous: CreateProcess tries each prefix that ends
// before a blank, shortest first, and then the whole line.
std::vector<std::string> candidateNames(const std::string& commandLine) {
    size_t start = 0;
    while (start < commandLine.size() && isBlank(commandLine[start])) ++start;
    const std::string line = commandLine.substr(start);
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return {line.substr(1, close == std::string::npos ? std::string::npos : close - 1)};
    }
    std::vector<std::string> names;
    for (size_t at = 0; at <= line.size(); ++at) {
        if (at != line.size() && !isBlank(line[at])) continue;
        if (at > 0 && !isBlank(line[at - 1])) names.push_back(line.substr(0, at));
    }
    return names;
}

// The places a bare program name is looked for, in the system's order.
std::vector<std::string> searchPaths(const std::string& name) {
    if (hasDirectory(name)) return {name};
    std::vector<std::string> paths;
    for (const std::string& dir :
         {directoryOf(platform::getModuleFileName()), sim::machineState().currentDirectory,
          platform::getSystemDirectory(), platform::getWindowsDirectory()}) {
        if (dir.empty()) continue;
        paths.push_back(dir.back() == '\\' ? dir + name : dir + "\\" + name);
    }
    return paths;
}

// Windows runs a file by its content, not by a permission bit. Files the machine got by
// copying or unpacking lack the host's execute bit, so a host program or script gets it here.
void markRunnable(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    char head[4] = {};
    in.read(head, sizeof head);
    const bool script = in.gcount() >= 2 && head[0] == '#' && head[1] == '!';
    const bool elf =
        in.gcount() == 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
    if (!script && !elf) return;
    std::error_code ec;
    std::filesystem::permissions(hostPath, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add, ec);
}

Program programAt(const std::string& windowsPath, const sim::ResolvedPath& resolved) {
    Program program{sim::windowsPathOf(resolved.host), resolved.host.string(), 0};
    if (program.windowsPath.empty()) program.windowsPath = windowsPath;
    if (sim::isDirectory(resolved.host))
        program.error = platform::error::kAccessDenied;
    else if (!isBatchFile(program.hostPath) && access(program.hostPath.c_str(), X_OK) != 0 &&
             (markRunnable(program.hostPath), access(program.hostPath.c_str(), X_OK) != 0))
        program.error = kBadExeFormat;
    return program;
}

}  // namespace

// A program that is not there is error 2 even when its directory is missing too, as
// CreateProcess reports it.
Program locateProgram(const std::string& commandLine) {
    for (const std::string& name : candidateNames(commandLine)) {
        for (const std::string& path : searchPaths(withDefaultExtension(name))) {
            const sim::ResolvedPath resolved = sim::resolvePath(path);
            if (resolved.exists) return programAt(path, resolved);
        }
    }
    return Program{{}, {}, platform::error::kFileNotFound};
}

}  // namespace sim::process
