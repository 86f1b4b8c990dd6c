#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

// Registry data as the simulated registry stores it, for tests that write machine data.
using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegMultiSz;
using platform::kRegSz;

inline std::string sz(const std::string& text) { return text + std::string(1, '\0'); }

inline std::string dword(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

inline std::string multiSz(const std::vector<std::string>& texts) {
    std::string data;
    for (const std::string& text : texts) data += sz(text);
    return data + std::string(1, '\0');
}
