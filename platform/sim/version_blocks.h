#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tree of a 32-bit version resource: each block is wLength, wValueLength, wType, a
// zero-terminated UTF-16 key, padding to a 32-bit boundary, the value, padding again, and the
// child blocks up to wLength. Blocks are read from a byte range and never leave it: a length
// that points outside its parent ends the walk instead.
namespace sim {

constexpr uint16_t kVersionValueBinary = 0;
constexpr uint16_t kVersionValueText = 1;

struct VersionBlock {
    size_t offset = 0;         // from the start of the whole resource
    size_t end = 0;            // offset + wLength, inside the parent
    uint16_t valueLength = 0;  // bytes for binary values, UTF-16 units for text
    uint16_t type = kVersionValueBinary;
    std::u16string key;
    size_t valueOffset = 0;
    size_t valueEnd = 0;  // the value's bytes, cut off at the block's end
    size_t childrenOffset = 0;
};

// The block at offset, which must fit before limit; nullopt when it does not.
std::optional<VersionBlock> readVersionBlock(std::string_view resource, size_t offset,
                                             size_t limit);
std::vector<VersionBlock> childrenOf(std::string_view resource, const VersionBlock& parent);

// The block reached from the root by following keys (compared without regard to ASCII case).
std::optional<VersionBlock> findVersionBlock(std::string_view resource,
                                             const std::vector<std::u16string>& path);

// A text value up to its terminating zero, within the value's bytes.
std::u16string versionText(std::string_view resource, const VersionBlock& block);

}  // namespace sim
