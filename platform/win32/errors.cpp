#include "platform/errors.h"

#include <windows.h>

namespace platform {

uint32_t getLastError() { return GetLastError(); }
void setLastError(uint32_t code) { SetLastError(code); }

}  // namespace platform
