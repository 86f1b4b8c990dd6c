#include "platform/sim/directory_listings.h"

#include <dirent.h>

#include <string_view>
#include <system_error>
#include <unordered_map>

#include "platform/sim/machine_state.h"
#include "platform/sim/names.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

std::unordered_map<std::string, Listing>& listings() { return machineState().listings; }

std::unordered_map<std::string, fs::path>& resolvedDirectories() {
    return machineState().resolvedDirectories;
}

std::string keyOf(const fs::path& dir) {
    std::string key = dir.lexically_normal().native();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    return key;
}

bool modificationTime(const fs::path& path, timespec* modified) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    *modified = info.st_mtim;
    return true;
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// What the entry is now, in one look: missing, a directory, or something else.
enum class EntryKind { Missing, Directory, Other };

EntryKind entryKind(const fs::path& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return EntryKind::Missing;
    if (S_ISDIR(info.st_mode)) return EntryKind::Directory;
    // A link is what it points to, as the resolver follows it.
    if (S_ISLNK(info.st_mode) && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return EntryKind::Directory;
    return EntryKind::Other;
}

bool entryExists(const fs::path& path) { return entryKind(path) != EntryKind::Missing; }

// Reads dir; the time is taken first, so a change made while reading shows at the next look.
bool readListing(const fs::path& dir, Listing* listing) {
    if (!modificationTime(dir, &listing->modified)) return false;
    DIR* stream = opendir(dir.c_str());
    if (stream == nullptr) return false;
    while (const dirent* entry = readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!listing->realNames.emplace(folded(name), name).second) listing->hasCaseTwins = true;
    }
    closedir(stream);
    return true;
}

// The listing of dir as it is now, read again when the directory changed since.
Listing* currentListing(const fs::path& dir) {
    const std::string key = keyOf(dir);
    auto& all = listings();
    auto found = all.find(key);
    timespec modified{};
    if (found != all.end() && modificationTime(dir, &modified) &&
        sameTime(modified, found->second.modified))
        return &found->second;
    if (found != all.end()) all.erase(found);
    Listing fresh;
    if (!readListing(dir, &fresh)) return nullptr;
    return &all.emplace(key, std::move(fresh)).first->second;
}

// A directory that went away or moved takes the listings below it along, and every resolved
// directory at or below it.
void forgetListingsBelow(const fs::path& dir) {
    const std::string key = keyOf(dir);
    const std::string prefix = key + "/";
    std::erase_if(listings(), [&](const auto& entry) {
        return entry.first.compare(0, prefix.size(), prefix) == 0;
    });
    std::erase_if(resolvedDirectories(), [&](const auto& entry) {
        const std::string host = keyOf(entry.second);
        return host == key || host.compare(0, prefix.size(), prefix) == 0;
    });
}

void recordEntry(Listing& listing, const fs::path& dir, const std::string& name) {
    const auto [kept, added] = listing.realNames.try_emplace(folded(name), name);
    if (added || kept->second == name) return;
    if (entryExists(dir / kept->second))
        listing.hasCaseTwins = true;
    else
        kept->second = name;
}

// False when the listing cannot be kept up to date and has to be read again.
bool recordAbsence(Listing& listing, const std::string& name) {
    const auto kept = listing.realNames.find(folded(name));
    if (kept == listing.realNames.end() || kept->second != name) return true;
    if (listing.hasCaseTwins) return false;
    listing.realNames.erase(kept);
    return true;
}

}  // namespace

bool findListedEntry(const fs::path& dir, const std::string& name, std::string* realName) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        Listing* listing = currentListing(dir);
        if (listing == nullptr) return false;
        const auto kept = listing->realNames.find(folded(name));
        if (kept == listing->realNames.end()) return false;
        if (entryExists(dir / kept->second)) {
            *realName = kept->second;
            return true;
        }
        listings().erase(keyOf(dir));  // out of date after all: read it once more
    }
    return false;
}

EntryChange::EntryChange(const fs::path& host) : host(host) {
    auto& all = listings();
    const auto found = all.find(keyOf(host.parent_path()));
    if (found == all.end()) return;
    timespec modified{};
    if (!modificationTime(host.parent_path(), &modified) ||
        !sameTime(modified, found->second.modified))
        all.erase(found);
}

EntryChange::~EntryChange() {
    const fs::path dir = host.parent_path();
    const std::string name = host.filename().native();
    const EntryKind kind = entryKind(host);
    const bool exists = kind != EntryKind::Missing;
    if (kind != EntryKind::Other) forgetListingsBelow(host);
    auto& all = listings();
    const auto found = all.find(keyOf(dir));
    if (found == all.end()) return;
    Listing& listing = found->second;
    if (exists)
        recordEntry(listing, dir, name);
    else if (!recordAbsence(listing, name)) {
        all.erase(found);
        return;
    }
    if (!modificationTime(dir, &listing.modified)) all.erase(found);
}

bool findResolvedDirectory(const std::string& windowsDir, fs::path* host) {
    const auto& all = resolvedDirectories();
    const auto found = all.find(windowsDir);
    if (found == all.end()) return false;
    *host = found->second;
    return true;
}

void rememberResolvedDirectory(const std::string& windowsDir, const fs::path& host) {
    resolvedDirectories().insert_or_assign(windowsDir, host);
}

void forgetDirectoryListings() {
    listings().clear();
    resolvedDirectories().clear();
}

}  // namespace sim
