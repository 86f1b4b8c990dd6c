#pragma once

#include <cstdint>
#include <string>

// The binary shell link format (.LNK) as the shell saves it: the header, link information
// with the local base path of a target on a drive (any other target is kept as a relative
// path), and the Unicode string data. The target ID list is optional in the format and left
// out.
namespace sim {

struct ShellLinkData {
    std::string targetPath;  // ANSI text, as IShellLinkA receives them
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconLocation;
    int32_t iconIndex = 0;
    int32_t showCommand = 1;  // SW_SHOWNORMAL
    // What the target was when the link was saved.
    uint32_t targetAttributes = 0;
    uint64_t targetCreation = 0;  // FILETIME ticks
    uint64_t targetAccess = 0;
    uint64_t targetWrite = 0;
    uint32_t targetSize = 0;
};

// The bytes of a link file holding data.
std::string encodeShellLink(const ShellLinkData& data);

}  // namespace sim
