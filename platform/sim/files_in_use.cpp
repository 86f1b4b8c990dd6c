#include "platform/sim/files_in_use.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/errors.h"
#include "platform/little_endian.h"
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

// How the other process holds the file.
struct Hold {
    enum class Kind { None, Code, Shared, Image } kind = Kind::None;
    uint32_t code = 0;  // Kind::Code: the error every refused access gives
    bool shareRead = false, shareWrite = false, shareDelete = false;
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

std::optional<uint32_t> storedDword(const InUseEntry& entry) {
    if (entry.type != platform::kRegDword || entry.data.size() != 4) return std::nullopt;
    return platform::littleEndian32(entry.data);
}

// "read,write,delete" in any order, or "none"; false for any other word.
bool parseSharing(const std::string& list, Hold* hold) {
    if (equalsIgnoringCase(list, "none")) return true;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(',', start);
        const std::string word = list.substr(start, end - start);
        if (equalsIgnoringCase(word, "read"))
            hold->shareRead = true;
        else if (equalsIgnoringCase(word, "write"))
            hold->shareWrite = true;
        else if (equalsIgnoringCase(word, "delete"))
            hold->shareDelete = true;
        else
            return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// Text that names no way of holding (or a number of 0) holds nothing.
Hold holdOf(const InUseEntry& entry) {
    Hold hold;
    if (const std::optional<uint32_t> number = storedDword(entry)) {
        hold.code = *number;
    } else {
        const std::string text = entry.data.substr(0, entry.data.find('\0'));
        constexpr std::string_view kShare = "share=";
        if (equalsIgnoringCase(text, "image")) {
            hold.kind = Hold::Kind::Image;
            return hold;
        }
        if (text.size() > kShare.size() &&
            equalsIgnoringCase(std::string_view(text).substr(0, kShare.size()), kShare)) {
            if (parseSharing(text.substr(kShare.size()), &hold)) hold.kind = Hold::Kind::Shared;
            return hold;
        }
        hold.code = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    }
    if (hold.code == 0) return hold;
    hold.kind = Hold::Kind::Code;
    // Any other number than the lock violation means the file is open without write sharing.
    if (hold.code != platform::error::kLockViolation)
        hold.code = platform::error::kSharingViolation;
    return hold;
}

uint32_t refusalOf(const Hold& hold, FileAccess access) {
    using platform::error::kAccessDenied;
    using platform::error::kSharingViolation;
    switch (hold.kind) {
        case Hold::Kind::None:
            return 0;
        case Hold::Kind::Code:
            return access == FileAccess::Read || access == FileAccess::Rename ? 0 : hold.code;
        case Hold::Kind::Image:
            if (access == FileAccess::Write) return kSharingViolation;
            return access == FileAccess::Delete || access == FileAccess::ReplaceByMove
                       ? kAccessDenied
                       : 0;
        case Hold::Kind::Shared:
            break;
    }
    switch (access) {
        case FileAccess::Read:
            return hold.shareRead ? 0 : kSharingViolation;
        case FileAccess::Write:
            return hold.shareWrite ? 0 : kSharingViolation;
        case FileAccess::Rename:
        case FileAccess::Delete:
            return hold.shareDelete ? 0 : kSharingViolation;
        case FileAccess::ReplaceByMove:
            break;
    }
    return kAccessDenied;
}

}  // namespace

bool isHoldText(const std::string& text) {
    return holdOf(InUseEntry{{}, platform::kRegSz, text}).kind != Hold::Kind::None;
}

bool anyFileInUse() { return !registry::values(kFilesInUseKey).empty(); }

uint32_t heldFileRefusal(const std::string& windowsPath, FileAccess access) {
    const std::optional<InUseEntry> entry = entryFor(windowsPath);
    return entry ? refusalOf(holdOf(*entry), access) : 0;
}

void moveFileInUse(const std::string& from, const std::string& to) {
    std::optional<InUseEntry> entry = entryFor(from);
    if (!entry) return;
    registry::deleteValue(kFilesInUseKey, entry->name);
    registry::writeValue(kFilesInUseKey, fullWindowsPath(to), entry->type, std::move(entry->data));
}

void forgetFileInUse(const std::string& windowsPath) {
    if (const std::optional<InUseEntry> entry = entryFor(windowsPath))
        registry::deleteValue(kFilesInUseKey, entry->name);
}

}  // namespace sim
