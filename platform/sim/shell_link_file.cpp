#include "platform/sim/shell_link_file.h"

#include "platform/text_conversion.h"

namespace sim {

namespace {

// LinkFlags.
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasRelativePath = 0x08;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;

constexpr uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kVolumeIdHeaderSize = 0x10;
constexpr uint32_t kDriveFixed = 3;

// The show commands the format knows; any other is stored as a normal window.
int32_t storedShowCommand(int32_t showCommand) {
    return showCommand == 3 || showCommand == 7 ? showCommand : 1;
}

void put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void put32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void put64(std::string& out, uint64_t value) {
    put32(out, static_cast<uint32_t>(value));
    put32(out, static_cast<uint32_t>(value >> 32));
}

bool isOnDrive(const std::string& path) {
    const char letter = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

// A fixed volume without label or serial number, then the path on it.
std::string linkInfo(const std::string& localBasePath) {
    std::string volume;
    put32(volume, kVolumeIdHeaderSize + 1);
    put32(volume, kDriveFixed);
    put32(volume, 0);                    // serial number
    put32(volume, kVolumeIdHeaderSize);  // the empty label right after this header
    volume += '\0';

    const uint32_t volumeOffset = kLinkInfoHeaderSize;
    const uint32_t basePathOffset = volumeOffset + static_cast<uint32_t>(volume.size());
    const uint32_t suffixOffset = basePathOffset + static_cast<uint32_t>(localBasePath.size()) + 1;
    const uint32_t total = suffixOffset + 1;
    std::string info;
    put32(info, total);
    put32(info, kLinkInfoHeaderSize);
    put32(info, kVolumeIdAndLocalBasePath);
    put32(info, volumeOffset);
    put32(info, basePathOffset);
    put32(info, 0);  // no network location
    put32(info, suffixOffset);
    info += volume;
    info += localBasePath;
    info += '\0';
    info += '\0';  // empty common path suffix
    return info;
}

// One StringData entry: a count of characters, then the UTF-16 text without terminator. The
// count field cannot say more than 65535.
void putString(std::string& out, const std::string& ansi) {
    std::u16string wide = platform::ansiToWide(ansi);
    if (wide.size() > 0xFFFF) wide.resize(0xFFFF);
    put16(out, static_cast<uint16_t>(wide.size()));
    for (char16_t c : wide) put16(out, static_cast<uint16_t>(c));
}

uint32_t linkFlags(const ShellLinkData& data) {
    uint32_t flags = kIsUnicode;
    // A target that is not on a drive can only be kept as a path relative to the link.
    if (isOnDrive(data.targetPath)) {
        flags |= kHasLinkInfo;
    } else if (!data.targetPath.empty()) {
        flags |= kHasRelativePath;
    }
    if (!data.description.empty()) flags |= kHasName;
    if (!data.workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!data.arguments.empty()) flags |= kHasArguments;
    if (!data.iconLocation.empty()) flags |= kHasIconLocation;
    return flags;
}

std::string header(const ShellLinkData& data, uint32_t flags) {
    std::string out;
    put32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kShellLinkClsid), sizeof kShellLinkClsid);
    put32(out, flags);
    put32(out, data.targetAttributes);
    put64(out, data.targetCreation);
    put64(out, data.targetAccess);
    put64(out, data.targetWrite);
    put32(out, data.targetSize);
    put32(out, static_cast<uint32_t>(data.iconIndex));
    put32(out, static_cast<uint32_t>(storedShowCommand(data.showCommand)));
    put16(out, 0);  // no hot key
    put16(out, 0);
    put32(out, 0);
    put32(out, 0);
    return out;
}

}  // namespace

std::string encodeShellLink(const ShellLinkData& data) {
    const uint32_t flags = linkFlags(data);
    std::string out = header(data, flags);
    if (flags & kHasLinkInfo) out += linkInfo(data.targetPath);
    if (flags & kHasName) putString(out, data.description);
    if (flags & kHasRelativePath) putString(out, data.targetPath);
    if (flags & kHasWorkingDir) putString(out, data.workingDirectory);
    if (flags & kHasArguments) putString(out, data.arguments);
    if (flags & kHasIconLocation) putString(out, data.iconLocation);
    put32(out, 0);  // terminal block of the extra data
    return out;
}

}  // namespace sim
