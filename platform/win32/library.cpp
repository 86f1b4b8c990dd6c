#include "platform/library.h"

#include <windows.h>

#include "platform/win32/handle_counts.h"

namespace platform {

LibraryHandle loadLibrary(const std::string& name) {
    HMODULE library = LoadLibraryA(name.c_str());
    if (library != nullptr) win32::countOpened(win32::CountedHandle::Library);
    return reinterpret_cast<LibraryHandle>(library);
}

void* getProcAddress(LibraryHandle library, const std::string& entry) {
    return reinterpret_cast<void*>(
        GetProcAddress(reinterpret_cast<HMODULE>(library), entry.c_str()));
}

void freeLibrary(LibraryHandle library) {
    if (FreeLibrary(reinterpret_cast<HMODULE>(library)))
        win32::countClosed(win32::CountedHandle::Library);
}

}  // namespace platform
