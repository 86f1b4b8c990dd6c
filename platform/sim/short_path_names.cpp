#include <map>
#include <string>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/sim/entry_names.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"

namespace platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The short form of one component of the path, given the path up to and including it. The
// caller's spelling is kept wherever no short name stands in for the component.
std::string shortComponent(const std::string& pathSoFar, const std::string& component) {
    if (component == "." || component == "..") return component;
    const sim::ResolvedPath resolved = sim::resolvePath(pathSoFar);
    if (!resolved.exists) return component;
    const std::string onDisk = resolved.host.filename().string();
    if (sim::isShortName(onDisk)) return component;
    const std::map<std::string, std::string> shortNames =
        sim::shortNamesIn(resolved.host.parent_path());
    const auto found = shortNames.find(onDisk);
    return found == shortNames.end() ? component : found->second;
}

}  // namespace

bool getShortPathName(const std::string& path, std::string* shortPath) {
    if (uint32_t fault = sim::injectedFault("GetShortPathName", path)) return sim::failWith(fault);
    const sim::ResolvedPath resolved = sim::resolveArgument(path);
    if (!resolved.exists) return sim::failWith(resolved.error);
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    std::string result = hasDrive ? path.substr(0, 2) : std::string();
    size_t i = result.size();
    while (i < path.size()) {
        if (isSeparator(path[i])) {
            result += path[i++];
            continue;
        }
        size_t end = i;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        result += shortComponent(path.substr(0, end), path.substr(i, end - i));
        i = end;
    }
    *shortPath = result;
    return true;
}

}  // namespace platform
