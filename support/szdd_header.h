#pragma once

#include <cstdint>
#include <optional>

#include "support/cstd_str.h"

// The header of a file in the SZDD compressed format: the magic, the method, the missing
// last character of the name and the size of the expanded file.
constexpr size_t kSzddHeaderSize = 14;

// The expanded size the header of this file declares; none when the file cannot be read or
// is not in that format.
std::optional<uint32_t> szddDeclaredSize(const CStdStr& path);
