#include "platform/version_info.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/little_endian.h"
#include "platform/sim/faults.h"
#include "platform/sim/host_files.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/version_blocks.h"
#include "platform/text_conversion.h"

namespace platform {

namespace {

constexpr uint32_t kResourceDataNotFound = 1812;
constexpr uint32_t kResourceTypeNotFound = 1813;
constexpr size_t kBlockHeaderSize = 6;
// Room after the resource for the signature the system writes there; the converted ANSI
// copies of text values follow it.
constexpr size_t kSignatureSize = 4;
constexpr char kSignature[kSignatureSize] = {'F', 'E', '2', 'X'};
// No executable comes near this; a larger file is refused rather than read into memory.
constexpr long kLargestImage = 256L * 1024 * 1024;

bool readImage(const std::string& path, std::string* image) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return false;
    bool read = std::fseek(file, 0, SEEK_END) == 0;
    const long size = read ? std::ftell(file) : -1;
    read = size >= 0 && size <= kLargestImage && std::fseek(file, 0, SEEK_SET) == 0;
    if (read) {
        image->resize(static_cast<size_t>(size));
        read = std::fread(image->data(), 1, image->size(), file) == image->size();
    }
    std::fclose(file);
    if (!read) setLastError(size > kLargestImage ? error::kNotEnoughMemory : error::kAccessDenied);
    return read;
}

void setWordAt(void* bytes, uint16_t value) {
    auto* b = static_cast<unsigned char*>(bytes);
    b[0] = static_cast<unsigned char>(value & 0xFF);
    b[1] = static_cast<unsigned char>(value >> 8);
}

// The version resource of the file and the length of its root block, which may not claim
// more than the resource holds.
bool loadVersionResource(const std::string& path, std::string* image, std::string_view* resource) {
    if (!readImage(path, image)) return false;
    const sim::VersionResourceLookup lookup = sim::findVersionResource(*image);
    if (lookup.error != 0) return sim::failWith(lookup.error);
    if (lookup.data.size() < kBlockHeaderSize) return sim::failWith(kResourceDataNotFound);
    const size_t rootLength =
        std::min<size_t>(platform::littleEndian16(lookup.data.data()), lookup.data.size());
    if (rootLength < kBlockHeaderSize) return sim::failWith(kResourceDataNotFound);
    *resource = lookup.data.substr(0, rootLength);
    return true;
}

std::vector<std::u16string> pathOf(const std::string& subBlock) {
    std::vector<std::u16string> keys;
    size_t start = 0;
    while (start <= subBlock.size()) {
        size_t end = subBlock.find('\\', start);
        if (end == std::string::npos) end = subBlock.size();
        if (end > start) keys.push_back(ansiToWide(subBlock.substr(start, end - start)));
        start = end + 1;
    }
    return keys;
}

// Text values are handed out in the ANSI code page, written into the area after the resource
// at the value's own offset, so that each value has its own place and earlier answers stay valid.
const char* ansiCopyOf(const unsigned char* block, size_t blockLength,
                       const sim::VersionBlock& found, std::string_view resource,
                       uint32_t* length) {
    static const char kEmpty[1] = {'\0'};
    std::string text = wideToAnsi(sim::versionText(resource, found));
    const size_t room = blockLength - found.valueOffset;
    if (room == 0) {
        *length = 1;
        return kEmpty;
    }
    if (text.size() + 1 > room) text.resize(room - 1);
    char* copy = reinterpret_cast<char*>(const_cast<unsigned char*>(block)) + blockLength +
                 kSignatureSize + found.valueOffset;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    *length = static_cast<uint32_t>(text.size() + 1);
    return copy;
}

}  // namespace

uint32_t getFileVersionInfoSize(const std::string& path) {
    if (uint32_t fault = sim::injectedFault("GetFileVersionInfoSize", path)) {
        setLastError(fault);
        return 0;
    }
    std::string image;
    std::string_view resource;
    if (!loadVersionResource(path, &image, &resource)) return 0;
    setLastError(error::kSuccess);
    return static_cast<uint32_t>(resource.size() * 2 + kSignatureSize);
}

// A buffer smaller than getFileVersionInfoSize asked for gets a root block cut down to what
// fits with its conversion area, so that no later query can write past the buffer.
bool getFileVersionInfo(const std::string& path, uint32_t size, void* data) {
    if (uint32_t fault = sim::injectedFault("GetFileVersionInfo", path))
        return sim::failWith(fault);
    if (data == nullptr) return sim::failWith(error::kInvalidParameter);
    std::string image;
    std::string_view resource;
    if (!loadVersionResource(path, &image, &resource)) return false;
    const size_t fitting = size < kSignatureSize ? 0 : (size - kSignatureSize) / 2;
    const size_t length = std::min(resource.size(), fitting);
    if (length < kBlockHeaderSize) return sim::failWith(error::kInsufficientBuffer);
    auto* bytes = static_cast<unsigned char*>(data);
    std::memcpy(bytes, resource.data(), length);
    setWordAt(bytes, static_cast<uint16_t>(length));
    std::memcpy(bytes + length, kSignature, kSignatureSize);
    std::memset(bytes + length + kSignatureSize, 0, length);
    return true;
}

bool verQueryValue(const void* block, const std::string& subBlock, const void** value,
                   uint32_t* length) {
    if (block == nullptr || value == nullptr || length == nullptr)
        return sim::failWith(error::kInvalidParameter);
    if (uint32_t fault = sim::injectedFault("VerQueryValue", subBlock)) return sim::failWith(fault);
    const auto* bytes = static_cast<const unsigned char*>(block);
    const size_t blockLength = platform::littleEndian16(bytes);
    const std::string_view resource(reinterpret_cast<const char*>(bytes), blockLength);
    const auto found = sim::findVersionBlock(resource, pathOf(subBlock));
    if (!found) return sim::failWith(kResourceTypeNotFound);
    if (found->type == sim::kVersionValueText) {
        *value = ansiCopyOf(bytes, blockLength, *found, resource, length);
    } else {
        *value = bytes + found->valueOffset;
        *length = static_cast<uint32_t>(found->valueEnd - found->valueOffset);
    }
    return true;
}

}  // namespace platform
