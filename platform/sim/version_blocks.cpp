#include "platform/sim/version_blocks.h"

#include <algorithm>

#include "platform/little_endian.h"
#include "platform/sim/names.h"

namespace sim {

namespace {

constexpr size_t kBlockHeaderSize = 6;

size_t alignedTo32Bits(size_t offset) { return (offset + 3) & ~size_t{3}; }

bool sameKey(const std::u16string& a, const std::u16string& b) {
    return equalsIgnoringCase<char16_t>(a, b);
}

// The key starting at offset, up to its zero; nullopt when no zero comes before end.
std::optional<std::u16string> readKey(std::string_view bytes, size_t offset, size_t end,
                                      size_t* afterKey) {
    std::u16string key;
    for (size_t at = offset; at + 2 <= end; at += 2) {
        const char16_t unit = platform::littleEndian16(bytes, at);
        if (unit == 0) {
            *afterKey = at + 2;
            return key;
        }
        key += unit;
    }
    return std::nullopt;
}

}  // namespace

std::optional<VersionBlock> readVersionBlock(std::string_view resource, size_t offset,
                                             size_t limit) {
    limit = std::min(limit, resource.size());
    if (offset > limit || limit - offset < kBlockHeaderSize) return std::nullopt;
    const uint16_t length = platform::littleEndian16(resource, offset);
    if (length < kBlockHeaderSize || length > limit - offset) return std::nullopt;
    VersionBlock block;
    block.offset = offset;
    block.end = offset + length;
    block.valueLength = platform::littleEndian16(resource, offset + 2);
    block.type = platform::littleEndian16(resource, offset + 4);
    size_t afterKey = 0;
    auto key = readKey(resource, offset + kBlockHeaderSize, block.end, &afterKey);
    if (!key) return std::nullopt;
    block.key = std::move(*key);
    block.valueOffset = std::min(alignedTo32Bits(afterKey), block.end);
    const size_t valueBytes =
        block.type == kVersionValueText ? size_t{block.valueLength} * 2 : block.valueLength;
    block.valueEnd = std::min(block.valueOffset + valueBytes, block.end);
    block.childrenOffset = std::min(alignedTo32Bits(block.valueEnd), block.end);
    return block;
}

std::vector<VersionBlock> childrenOf(std::string_view resource, const VersionBlock& parent) {
    std::vector<VersionBlock> children;
    size_t offset = parent.childrenOffset;
    while (offset < parent.end) {
        auto child = readVersionBlock(resource, offset, parent.end);
        if (!child) break;
        offset = alignedTo32Bits(child->end);
        children.push_back(std::move(*child));
    }
    return children;
}

std::optional<VersionBlock> findVersionBlock(std::string_view resource,
                                             const std::vector<std::u16string>& path) {
    auto block = readVersionBlock(resource, 0, resource.size());
    for (const std::u16string& key : path) {
        if (!block) return std::nullopt;
        std::optional<VersionBlock> next;
        for (VersionBlock& child : childrenOf(resource, *block)) {
            if (sameKey(child.key, key)) {
                next = std::move(child);
                break;
            }
        }
        block = std::move(next);
    }
    return block;
}

std::u16string versionText(std::string_view resource, const VersionBlock& block) {
    std::u16string text;
    for (size_t at = block.valueOffset; at + 2 <= block.valueEnd; at += 2) {
        const char16_t unit = platform::littleEndian16(resource, at);
        if (unit == 0) break;
        text += unit;
    }
    return text;
}

}  // namespace sim
