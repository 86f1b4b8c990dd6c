#pragma once

#include <cstdint>

namespace sim {

struct LocaleNames {
    uint16_t langId;
    const char* language;  // ISO 639
    const char* country;   // ISO 3166
};

// The ISO names Windows reports for a language identifier; null for one it does not know.
const LocaleNames* localeNames(uint16_t langId);

}  // namespace sim
