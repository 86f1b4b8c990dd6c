#include "platform/sim/pe_resources.h"

#include <optional>

#include "platform/errors.h"
#include "platform/little_endian.h"

namespace sim {

namespace {

using platform::error::kResourceDataNotFound;
using platform::error::kResourceNameNotFound;
using platform::error::kResourceTypeNotFound;

constexpr uint32_t kVersionResourceType = 16;  // RT_VERSION
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kHighBit = 0x80000000u;

constexpr uint64_t kDosHeaderSize = 0x40;
constexpr uint64_t kPeOffsetField = 0x3C;
constexpr uint64_t kFileHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint64_t kDirectoryHeaderSize = 16;
constexpr uint64_t kDirectoryEntrySize = 8;
constexpr uint64_t kDataEntrySize = 16;

// Little-endian reads that fail instead of leaving the image. Offsets are 64-bit so that
// adding two 32-bit header fields cannot wrap around.
class ImageReader {
  public:
    explicit ImageReader(std::string_view image) : bytes(image) {}

    bool holds(uint64_t offset, uint64_t size) const {
        return offset <= bytes.size() && size <= bytes.size() - offset;
    }
    std::optional<uint32_t> u16(uint64_t offset) const { return number(offset, 2); }
    std::optional<uint32_t> u32(uint64_t offset) const { return number(offset, 4); }
    std::string_view slice(uint64_t offset, uint64_t size) const {
        return bytes.substr(offset, size);
    }

  private:
    std::optional<uint32_t> number(uint64_t offset, int size) const {
        if (!holds(offset, size)) return std::nullopt;
        return static_cast<uint32_t>(platform::littleEndian(bytes, offset, size));
    }

    std::string_view bytes;
};

struct Section {
    uint64_t virtualAddress = 0;
    uint64_t rawSize = 0;
    uint64_t rawOffset = 0;
};

struct ImageLayout {
    std::optional<uint32_t> resourceRva;
    uint64_t sectionTable = 0;
    uint32_t sectionCount = 0;
};

// The headers up to the section table; nullopt when the bytes are not a PE image.
std::optional<ImageLayout> readLayout(const ImageReader& image) {
    if (!image.holds(0, kDosHeaderSize) || image.slice(0, 2) != "MZ") return std::nullopt;
    const auto peOffset = image.u32(kPeOffsetField);
    if (!peOffset || !image.holds(*peOffset, 4 + kFileHeaderSize)) return std::nullopt;
    if (image.slice(*peOffset, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
    const uint64_t fileHeader = *peOffset + 4ull;
    const auto sectionCount = image.u16(fileHeader + 2);
    const auto optionalSize = image.u16(fileHeader + 16);
    const uint64_t optionalHeader = fileHeader + kFileHeaderSize;
    const auto magic = image.u16(optionalHeader);
    if (!sectionCount || !optionalSize || !magic) return std::nullopt;

    // The data directories follow the fields whose width differs between PE32 and PE32+.
    uint64_t countField = 0;
    if (*magic == 0x10B)
        countField = 92;
    else if (*magic == 0x20B)
        countField = 108;
    else
        return std::nullopt;
    ImageLayout layout;
    layout.sectionTable = optionalHeader + *optionalSize;
    layout.sectionCount = *sectionCount;
    const uint64_t resourceField = countField + 4 + kResourceDirectoryIndex * 8;
    const auto directoryCount = image.u32(optionalHeader + countField);
    if (directoryCount && *directoryCount > kResourceDirectoryIndex &&
        resourceField + 8 <= *optionalSize) {
        const auto rva = image.u32(optionalHeader + resourceField);
        const auto size = image.u32(optionalHeader + resourceField + 4);
        if (rva && size && *rva != 0 && *size != 0) layout.resourceRva = *rva;
    }
    return layout;
}

std::optional<Section> readSection(const ImageReader& image, uint64_t header) {
    const auto virtualAddress = image.u32(header + 12);
    const auto rawSize = image.u32(header + 16);
    const auto rawOffset = image.u32(header + 20);
    if (!virtualAddress || !rawSize || !rawOffset) return std::nullopt;
    return Section{*virtualAddress, *rawSize, *rawOffset};
}

// Where an RVA lies in the file: inside the file-backed part of a section, and inside the file.
std::optional<uint64_t> fileOffsetOf(const ImageReader& image, const ImageLayout& layout,
                                     uint64_t rva, uint64_t size) {
    for (uint32_t i = 0; i < layout.sectionCount; ++i) {
        const auto section = readSection(image, layout.sectionTable + i * kSectionHeaderSize);
        if (!section) return std::nullopt;  // the table runs off the end of the file
        if (rva < section->virtualAddress) continue;
        const uint64_t inside = rva - section->virtualAddress;
        if (inside >= section->rawSize || size > section->rawSize - inside) continue;
        const uint64_t offset = section->rawOffset + inside;
        if (!image.holds(offset, size)) return std::nullopt;
        return offset;
    }
    return std::nullopt;
}

// What a directory holds for a lookup. Unreadable tables are told apart from a readable
// directory that lacks the entry.
struct EntrySearch {
    std::optional<uint32_t> target;  // the entry's offset; high bit set: a subdirectory
    bool readable = true;
};

// The entry of the resource directory at offset (relative to the resource section) with the
// wanted number, or its first entry when no number is wanted.
EntrySearch findEntry(const ImageReader& image, uint64_t base, uint64_t offset,
                      std::optional<uint32_t> wantedId) {
    const uint64_t directory = base + offset;
    const auto named = image.u16(directory + 12);
    const auto numbered = image.u16(directory + 14);
    if (!named || !numbered || !image.holds(directory, kDirectoryHeaderSize)) return {{}, false};
    const uint64_t count = uint64_t{*named} + *numbered;
    if (!image.holds(directory + kDirectoryHeaderSize, count * kDirectoryEntrySize))
        return {{}, false};
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entry = directory + kDirectoryHeaderSize + i * kDirectoryEntrySize;
        const uint32_t name = *image.u32(entry);
        const uint32_t target = *image.u32(entry + 4);
        if (!wantedId || (!(name & kHighBit) && name == *wantedId)) return {target, true};
    }
    return {};
}

VersionResourceLookup failure(uint32_t error) { return {{}, error}; }

// The subdirectory an entry leads to, or why there is none.
std::optional<uint64_t> subdirectoryOf(const EntrySearch& search, uint32_t missing,
                                       uint32_t* error) {
    if (!search.readable || (search.target && !(*search.target & kHighBit))) {
        *error = kResourceDataNotFound;
        return std::nullopt;
    }
    if (!search.target) {
        *error = missing;
        return std::nullopt;
    }
    return *search.target & ~kHighBit;
}

// Type, then the first name, then the first language, then the data entry it points at.
VersionResourceLookup readVersionEntry(const ImageReader& image, const ImageLayout& layout,
                                       uint64_t base) {
    uint32_t error = 0;
    const auto names = subdirectoryOf(findEntry(image, base, 0, kVersionResourceType),
                                      kResourceTypeNotFound, &error);
    if (!names) return failure(error);
    const auto languages =
        subdirectoryOf(findEntry(image, base, *names, std::nullopt), kResourceNameNotFound, &error);
    if (!languages) return failure(error);
    const EntrySearch language = findEntry(image, base, *languages, std::nullopt);
    if (!language.readable || (language.target && (*language.target & kHighBit)))
        return failure(kResourceDataNotFound);
    if (!language.target) return failure(kResourceNameNotFound);

    const uint64_t dataEntry = base + *language.target;
    if (!image.holds(dataEntry, kDataEntrySize)) return failure(kResourceDataNotFound);
    const uint32_t dataRva = *image.u32(dataEntry);
    const uint32_t dataSize = *image.u32(dataEntry + 4);
    const auto dataOffset = fileOffsetOf(image, layout, dataRva, dataSize);
    if (!dataOffset) return failure(kResourceDataNotFound);
    return {image.slice(*dataOffset, dataSize), 0};
}

// The loader maps the whole image: a section table or section data that runs past the end of
// the file makes it no image at all.
bool sectionsFitTheFile(const ImageReader& image, const ImageLayout& layout) {
    if (!image.holds(layout.sectionTable, uint64_t{layout.sectionCount} * kSectionHeaderSize))
        return false;
    for (uint32_t i = 0; i < layout.sectionCount; ++i) {
        const auto section = readSection(image, layout.sectionTable + i * kSectionHeaderSize);
        if (!section ||
            (section->rawSize != 0 && !image.holds(section->rawOffset, section->rawSize)))
            return false;
    }
    return true;
}

}  // namespace

VersionResourceLookup findVersionResource(std::string_view bytes) {
    const ImageReader image(bytes);
    const auto layout = readLayout(image);
    if (!layout || !layout->resourceRva || !sectionsFitTheFile(image, *layout))
        return failure(kResourceDataNotFound);
    const auto base = fileOffsetOf(image, *layout, *layout->resourceRva, kDirectoryHeaderSize);
    if (!base) return failure(kResourceDataNotFound);
    return readVersionEntry(image, *layout, *base);
}

}  // namespace sim
