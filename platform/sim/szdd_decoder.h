#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

// SZDD compressed streams: recognising the header and decoding the data after it.
namespace sim {

constexpr size_t kSzddHeaderSize = 14;  // magic, mode, missing character, expanded length
constexpr std::string_view kSzddMagic{"SZDD\x88\xF0\x27\x33", 8};
constexpr char kSzddModeLz = 'A';

enum class SzddKind { kPlain, kCompressed, kUnknownMode };

// What the first bytes of a file make it. Shorter than a header means plain data.
SzddKind szddKindOf(std::string_view firstBytes);

// Decodes the SZDD file open in source into destination (both positioned anywhere). The
// number of bytes written, or a negative LZ error code. A stream that ends early yields what
// was decoded up to there, as the system's expander does.
int64_t decodeSzdd(std::FILE* source, std::FILE* destination);

}  // namespace sim
