#pragma once

#include <cstdint>
#include <cstdio>

// The open files behind LZ handles. Handles start where the system's own do (0x400), so that
// one never looks like a small file handle or an error code.
namespace sim {

struct LzStream {
    std::FILE* file = nullptr;
    bool compressed = false;  // SZDD: decoded on copy
    bool writable = false;    // opened with kLzOpenCreate
};

int32_t addLzStream(const LzStream& stream);
// Null for a handle that is not open.
LzStream* findLzStream(int32_t handle);
// Closes the file; an unknown handle is ignored.
void closeLzStream(int32_t handle);

}  // namespace sim
