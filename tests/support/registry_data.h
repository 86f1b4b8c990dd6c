#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Registry data as the simulated registry stores it, for tests that write machine data.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

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
