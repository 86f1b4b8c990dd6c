#pragma once

#include <cstdint>
#include <string_view>

// Finds the version resource in the bytes of a PE image (PE32 or PE32+), as the loader would
// with the image mapped as data. Every offset and size in the headers is checked against the
// image, so a broken file is reported as having no resource, never read outside its bytes.
namespace sim {

struct VersionResourceLookup {
    std::string_view data;  // the resource's bytes inside the image; empty on failure
    uint32_t error = 0;     // 1812 no resource section (or not a PE image), 1813 no version type,
                            // 1814 no version entry
};

VersionResourceLookup findVersionResource(std::string_view image);

}  // namespace sim
