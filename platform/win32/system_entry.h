#pragma once

#include <windows.h>

// Entries of system libraries that some supported Windows versions lack or have only as stubs
// (the 9x family has no security functions). Importing them would keep the program from
// loading there at all, so they are looked up when they are called. The type is the one the
// system headers declare, so the entry is called with its own (WINAPI) calling convention.
namespace platform::win32 {

// The library must already be loaded (one the program imports other entries from); null when
// it does not export the entry.
template <typename Entry>
Entry systemEntry(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace platform::win32
