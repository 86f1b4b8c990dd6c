#include "platform/sim/files_in_use.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/sim/host_files.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"

namespace sim {

namespace {

struct InUseEntry {
    std::string name;  // the value's name, as the machine spells it
    uint32_t type = 0;
    std::string data;
};

// Entries may be written by hand in any spelling, so both sides are compared as full paths.
std::optional<InUseEntry> entryFor(const std::string& windowsPath) {
    // Most machines hold no file: the full path costs a walk of every directory on it.
    const auto entries = registry::values(kFilesInUseKey);
    if (entries.empty()) return std::nullopt;
    const std::string wanted = fullWindowsPath(windowsPath);
    for (auto& [name, value] : entries)
        if (equalsIgnoringCase(fullWindowsPath(name), wanted))
            return InUseEntry{name, value.first, value.second};
    return std::nullopt;
}

uint32_t storedNumber(const InUseEntry& entry) {
    if (entry.type == platform::kRegDword && entry.data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(entry.data[i]);
        return number;
    }
    const std::string text = entry.data.substr(0, entry.data.find('\0'));
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

bool anyFileInUse() { return !registry::values(kFilesInUseKey).empty(); }

// An entry holding 0 marks a file that is no longer held; any other number than the lock
// violation means the file is open without write sharing.
uint32_t fileInUseError(const std::string& windowsPath) {
    const std::optional<InUseEntry> entry = entryFor(windowsPath);
    if (!entry) return 0;
    const uint32_t stored = storedNumber(*entry);
    if (stored == 0) return 0;
    return stored == platform::error::kLockViolation ? platform::error::kLockViolation
                                                     : platform::error::kSharingViolation;
}

void moveFileInUse(const std::string& from, const std::string& to) {
    std::optional<InUseEntry> entry = entryFor(from);
    if (!entry) return;
    registry::deleteValue(kFilesInUseKey, entry->name);
    registry::writeValue(kFilesInUseKey, fullWindowsPath(to), entry->type, std::move(entry->data));
}

}  // namespace sim
