#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/sim/registry_store.h"

// Values as the simulated registry stores them: the bytes the ANSI entry points exchange.
namespace sim {

// A number as its size bytes, least significant first (REG_DWORD: 4, REG_QWORD: 8).
inline std::string littleEndianData(uint64_t number, int size) {
    std::string data;
    for (int i = 0; i < size; ++i) data += static_cast<char>((number >> (8 * i)) & 0xFF);
    return data;
}

inline std::string dwordData(uint32_t number) { return littleEndianData(number, 4); }

inline void writeText(const std::string& key, const char* name, const std::string& text) {
    registry::writeValue(key, name, platform::kRegSz, text + '\0');
}

inline void writeNumber(const std::string& key, const char* name, uint32_t number) {
    registry::writeValue(key, name, platform::kRegDword, dwordData(number));
}

}  // namespace sim
