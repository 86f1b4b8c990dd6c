#include "platform/errors.h"

namespace platform {

namespace {
thread_local uint32_t lastError = 0;
}

uint32_t getLastError() { return lastError; }
void setLastError(uint32_t code) { lastError = code; }

}  // namespace platform
