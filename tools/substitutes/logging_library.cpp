// Stands in for the outside logging library: accepts its two entries and records each call.
#include <cstdint>

#include "tools/substitutes/call_record.h"

using substitute::quoted;

extern "C" void AddAnyItem(const char* owner, const char* item, int32_t type,
                           const char* argument) {
    substitute::recordCall("ZUVERU.DLL AddAnyItem(" + quoted(owner) + ", " + quoted(item) + ", " +
                           std::to_string(type) + ", " + quoted(argument) + ")");
}

extern "C" void AddDriverNameEx(const char* driverName, const char* argument,
                                int32_t networkLevel) {
    substitute::recordCall("ZUVERU.DLL AddDriverNameEx(" + quoted(driverName) + ", " +
                           quoted(argument) + ", " + std::to_string(networkLevel) + ")");
}
