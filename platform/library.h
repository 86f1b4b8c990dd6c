#pragma once

#include <string>

// Dynamic libraries (LoadLibrary, GetProcAddress, FreeLibrary).
namespace platform {

struct LibraryData;  // opaque; an HMODULE on Windows
using LibraryHandle = LibraryData*;

// LoadLibrary: a bare name is searched in the normal order (program directory, system
// directory, Windows directory, current directory); a path is taken as it is. Null and the
// last error (126 when the file is not found) on failure.
LibraryHandle loadLibrary(const std::string& name);
// Null when the library exports no entry of that name (127).
void* getProcAddress(LibraryHandle library, const std::string& entry);
void freeLibrary(LibraryHandle library);

}  // namespace platform
