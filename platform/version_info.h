#pragma once

#include <cstdint>
#include <string>

// Version resources of executable files (GetFileVersionInfoSize, GetFileVersionInfo,
// VerQueryValue), in their ANSI forms.
namespace platform {

// The size of buffer GetFileVersionInfo needs; 0 and the last error when the file has no
// version resource (1812, 1813) or cannot be read.
uint32_t getFileVersionInfoSize(const std::string& path);
bool getFileVersionInfo(const std::string& path, uint32_t size, void* data);
// VerQueryValue on a block that getFileVersionInfo filled: "\" (the fixed part),
// "\VarFileInfo\Translation" (an array of 32-bit language and code-page pairs) or
// "\StringFileInfo\<language><code page>\<name>" (8-bit text; length in characters with
// its terminating zero). Like the system call, it may write converted text into the block.
bool verQueryValue(const void* block, const std::string& subBlock, const void** value,
                   uint32_t* length);

}  // namespace platform
