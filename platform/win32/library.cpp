#include "platform/library.h"

#include <windows.h>

namespace platform {

LibraryHandle loadLibrary(const std::string& name) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(name.c_str()));
}

void* getProcAddress(LibraryHandle library, const std::string& entry) {
    return reinterpret_cast<void*>(
        GetProcAddress(reinterpret_cast<HMODULE>(library), entry.c_str()));
}

void freeLibrary(LibraryHandle library) { FreeLibrary(reinterpret_cast<HMODULE>(library)); }

}  // namespace platform
