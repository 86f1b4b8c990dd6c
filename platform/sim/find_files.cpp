#include "platform/find_files.h"

#include <filesystem>
#include <map>
#include <system_error>
#include <vector>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/sim/entry_names.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_file_times.h"
#include "platform/sim/host_files.h"

namespace platform {

namespace fs = std::filesystem;

// The whole listing is taken when the search starts; later changes to the directory are not
// seen by it.
struct FindSearch {
    std::vector<FindData> entries;
    size_t next = 0;
    std::string pattern;  // what FindNextFile faults are matched on
};

namespace {

constexpr uint32_t kNoMoreFiles = 18;

struct SplitPattern {
    std::string directory;  // as the caller wrote it; empty for the current directory
    std::string mask;
};

SplitPattern splitPattern(const std::string& pattern) {
    const size_t separator = pattern.find_last_of("\\/");
    if (separator != std::string::npos)
        return {pattern.substr(0, separator + 1), pattern.substr(separator + 1)};
    if (pattern.size() >= 2 && pattern[1] == ':') return {pattern.substr(0, 2), pattern.substr(2)};
    return {".", pattern};
}

// "*.*" and "*." also take names without a dot, which match as if they ended in one.
bool maskMatches(const std::string& mask, const std::string& name) {
    if (sim::wildcardMatch(mask, name)) return true;
    return name.find('.') == std::string::npos && sim::wildcardMatch(mask, name + ".");
}

FindData describe(const fs::path& host, const std::string& name, const std::string& shortName) {
    FindData data;
    data.fileName = name;
    data.alternateName = shortName;
    const bool directory = sim::isDirectory(host);
    data.attributes = directory ? kFileAttributeDirectory : kFileAttributeArchive;
    if (sim::isReadOnly(host)) data.attributes |= kFileAttributeReadOnly;
    std::error_code ec;
    const auto size = directory ? 0 : fs::file_size(host, ec);
    data.size = ec ? 0 : size;
    FileTimes times;
    if (sim::readHostTimes(host, &times)) data.lastWrite = times.lastWrite;
    return data;
}

std::vector<FindData> matchingEntries(const fs::path& dir, const std::string& mask) {
    std::vector<FindData> entries;
    if (!sim::isDriveRoot(dir)) {
        if (maskMatches(mask, ".")) entries.push_back(describe(dir, ".", ""));
        if (maskMatches(mask, "..")) entries.push_back(describe(dir.parent_path(), "..", ""));
    }
    const std::map<std::string, std::string> shortNames = sim::shortNamesIn(dir);
    for (const std::string& name : sim::windowsNamesIn(dir)) {
        if (!maskMatches(mask, name)) continue;
        const auto shortName = shortNames.find(name);
        entries.push_back(
            describe(dir / name, name, shortName == shortNames.end() ? "" : shortName->second));
    }
    return entries;
}

}  // namespace

FindSearch* findFirstFile(const std::string& pattern, FindData* data) {
    if (uint32_t fault = sim::injectedFault("FindFirstFile", pattern)) {
        setLastError(fault);
        return nullptr;
    }
    const SplitPattern split = splitPattern(pattern);
    const sim::ResolvedPath dir = sim::resolveArgument(split.directory);
    if (!dir.exists || !sim::isDirectory(dir.host)) {
        setLastError(error::kPathNotFound);
        return nullptr;
    }
    std::vector<FindData> entries =
        split.mask.empty() ? std::vector<FindData>() : matchingEntries(dir.host, split.mask);
    if (entries.empty()) {
        setLastError(error::kFileNotFound);
        return nullptr;
    }
    auto* search = new FindSearch{std::move(entries), 1, pattern};
    *data = search->entries.front();
    return search;
}

bool findNextFile(FindSearch* search, FindData* data) {
    if (search == nullptr) {
        setLastError(error::kInvalidHandle);
        return false;
    }
    if (uint32_t fault = sim::injectedFault("FindNextFile", search->pattern)) {
        setLastError(fault);
        return false;
    }
    if (search->next >= search->entries.size()) {
        setLastError(kNoMoreFiles);
        return false;
    }
    *data = search->entries[search->next++];
    return true;
}

void findClose(FindSearch* search) { delete search; }

}  // namespace platform
