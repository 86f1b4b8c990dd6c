#pragma once

#include <cstdint>

#include "support/cstd_str.h"

// A running checksum of a sequence of lines, so that what was meant to be written can be
// compared with what reads back without holding either in memory. Each line's length goes in
// before its bytes: a line that breaks in two on reading does not sum to the same.
class LineDigest {
  public:
    void add(const CStdStr& line);
    bool operator==(const LineDigest&) const = default;

  private:
    uint64_t lines = 0;
    uint32_t checksum = 0;
};
