#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Numbers stored little-endian, as every Windows file format and registry value keeps them.
// The caller has checked that the bytes are there.
namespace platform {

// A number of width bytes (at most 8).
inline uint64_t littleEndian(std::string_view bytes, size_t offset, size_t width) {
    uint64_t number = 0;
    for (size_t i = width; i-- > 0;)
        number = (number << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return number;
}

inline uint16_t littleEndian16(std::string_view bytes, size_t offset = 0) {
    return static_cast<uint16_t>(littleEndian(bytes, offset, 2));
}

inline uint32_t littleEndian32(std::string_view bytes, size_t offset = 0) {
    return static_cast<uint32_t>(littleEndian(bytes, offset, 4));
}

// The same from raw memory that holds at least the number's bytes.
inline uint16_t littleEndian16(const void* bytes) {
    return littleEndian16(std::string_view(static_cast<const char*>(bytes), 2));
}

inline uint32_t littleEndian32(const void* bytes) {
    return littleEndian32(std::string_view(static_cast<const char*>(bytes), 4));
}

}  // namespace platform
