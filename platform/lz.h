#pragma once

#include <cstdint>
#include <string>

// Expansion of files in the SZDD compressed format (LZOpenFile, LZCopy, LZClose). Files in
// any other format are read as they are, so LZCopy copies them unchanged.
namespace platform {

constexpr uint32_t kLzOpenRead = 0x0000;    // OF_READ
constexpr uint32_t kLzOpenCreate = 0x1000;  // OF_CREATE: created, or truncated when it exists

// The LZ library's result codes.
constexpr int32_t kLzErrorBadInHandle = -1;
constexpr int32_t kLzErrorBadOutHandle = -2;
constexpr int32_t kLzErrorRead = -3;
constexpr int32_t kLzErrorWrite = -4;
constexpr int32_t kLzErrorGlobalAlloc = -5;
constexpr int32_t kLzErrorGlobalLock = -6;
constexpr int32_t kLzErrorBadValue = -7;
constexpr int32_t kLzErrorUnknownAlgorithm = -8;

// A handle (0 or more), or a negative code above.
int32_t lzOpenFile(const std::string& path, uint32_t mode);
// The number of bytes written to destination, or a negative code above.
int32_t lzCopy(int32_t source, int32_t destination);
void lzClose(int32_t handle);

}  // namespace platform
