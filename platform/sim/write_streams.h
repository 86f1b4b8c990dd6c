#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

// Files opened for writing go through a stream of the machine's own, so that a write that
// fails sets the last error the system's write sets (112 for a full disk), and a "WriteFile"
// fault value can fail every write to a file as a full disk would.
namespace sim {

// fopen of the host file in one of the binary modes; writes fail with writeFault when it is
// not 0. Null with errno set when the file cannot be opened.
std::FILE* openWriteStream(const std::filesystem::path& host, const char* mode,
                           uint32_t writeFault);

// The host descriptor behind a stream of openWriteStream or of fopen, for calls on the open
// file itself (its times).
int hostDescriptorOf(std::FILE* stream);

}  // namespace sim
