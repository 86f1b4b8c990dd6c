#include "support/szdd_header.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/little_endian.h"

std::optional<uint32_t> szddDeclaredSize(const CStdStr& path) {
    static constexpr unsigned char kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) return std::nullopt;
    unsigned char header[kSzddHeaderSize];
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (got != sizeof header || std::memcmp(header, kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    return platform::littleEndian32(header + 10);
}
