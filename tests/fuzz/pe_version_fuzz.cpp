// Version resources of any PE bytes: the resource lookup in the image, the block walker, and
// the three version calls a program makes on the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/pe_resources.h"
#include "platform/sim/version_blocks.h"
#include "platform/version_info.h"
#include "tests/fuzz/fuzz_machine.h"

namespace {

constexpr const char* kImagePath = "C:\\fuzz.dll";

void walk(std::string_view resource, const sim::VersionBlock& block, int depth) {
    fuzz::check(block.offset < block.end && block.end <= resource.size(), "block outside range");
    fuzz::check(block.valueOffset <= block.valueEnd && block.valueEnd <= block.end,
                "value outside its block");
    if (block.type == sim::kVersionValueText) sim::versionText(resource, block);
    // Every level takes at least a block header, so the depth is bounded by the size.
    fuzz::check(static_cast<size_t>(depth) * 6 <= resource.size(), "runaway nesting");
    for (const sim::VersionBlock& child : sim::childrenOf(resource, block)) {
        fuzz::check(child.offset >= block.childrenOffset && child.end <= block.end,
                    "a child outside its parent");
        walk(resource, child, depth + 1);
    }
}

void walkResource(std::string_view image) {
    const sim::VersionResourceLookup found = sim::findVersionResource(image);
    if (found.data.empty()) return;
    fuzz::check(found.data.data() >= image.data() &&
                    found.data.data() + found.data.size() <= image.data() + image.size(),
                "the resource lies outside the image");
    if (const std::optional<sim::VersionBlock> root =
            sim::readVersionBlock(found.data, 0, found.data.size()))
        walk(found.data, *root, 0);
}

void checkInside(const std::vector<unsigned char>& buffer, const void* value, size_t bytes) {
    const auto* at = static_cast<const unsigned char*>(value);
    fuzz::check(at >= buffer.data() && at + bytes <= buffer.data() + buffer.size(),
                "a queried value lies outside the caller's buffer");
}

// What a caller does with a file: size, read, the fixed part, the translation and one text.
void queryFile() {
    const uint32_t size = platform::getFileVersionInfoSize(kImagePath);
    if (size == 0) return;
    std::vector<unsigned char> buffer(size);
    if (!platform::getFileVersionInfo(kImagePath, size, buffer.data())) return;
    const void* value = nullptr;
    uint32_t length = 0;
    if (platform::verQueryValue(buffer.data(), "\\", &value, &length))
        checkInside(buffer, value, length);
    std::string table = "040904b0";
    if (platform::verQueryValue(buffer.data(), "\\VarFileInfo\\Translation", &value, &length)) {
        checkInside(buffer, value, length);
        if (length >= 4) {
            const auto* pair = static_cast<const unsigned char*>(value);
            char text[9];
            std::snprintf(text, sizeof text, "%02x%02x%02x%02x", pair[1], pair[0], pair[3],
                          pair[2]);
            table = text;
        }
    }
    for (const char* name : {"FileVersion", "ProductName"}) {
        if (platform::verQueryValue(buffer.data(), "\\StringFileInfo\\" + table + "\\" + name,
                                    &value, &length))
            checkInside(buffer, value, length);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::ScratchMachine& machine = fuzz::ScratchMachine::get();
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    walkResource(image);
    machine.writeFile(kImagePath, image);
    queryFile();
    return 0;
}
