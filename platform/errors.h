#pragma once

#include <cstdint>

// Win32 error numbers, spelled as constants of our own so that nothing above platform/ needs
// the system headers (whose macros would also clash with these names).
namespace platform::error {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kBadFormat = 11;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kLockViolation = 33;
constexpr uint32_t kBadNetPath = 53;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kCallNotImplemented = 120;
constexpr uint32_t kInsufficientBuffer = 122;
constexpr uint32_t kInvalidName = 123;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kBadExeFormat = 193;
constexpr uint32_t kFilenameExcedRange = 206;
constexpr uint32_t kMoreData = 234;
constexpr uint32_t kNoMoreItems = 259;
constexpr uint32_t kBadPathname = 161;
constexpr uint32_t kResourceDataNotFound = 1812;
constexpr uint32_t kResourceTypeNotFound = 1813;
constexpr uint32_t kResourceNameNotFound = 1814;
}  // namespace platform::error

namespace platform {

// The calling thread's last error, as GetLastError/SetLastError keep it.
uint32_t getLastError();
void setLastError(uint32_t code);

}  // namespace platform
