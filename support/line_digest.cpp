#include "support/line_digest.h"

#include <zlib.h>

void LineDigest::add(const CStdStr& line) {
    const uint64_t length = line.size();
    checksum = static_cast<uint32_t>(
        crc32_z(checksum, reinterpret_cast<const Bytef*>(&length), sizeof length));
    checksum = static_cast<uint32_t>(
        crc32_z(checksum, reinterpret_cast<const Bytef*>(line.data()), line.size()));
    ++lines;
}
