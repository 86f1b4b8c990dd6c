#include "platform/sim/faults.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/little_endian.h"
#include "platform/registry.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/names.h"
#include "platform/sim/registry_store.h"

namespace sim {

namespace {

bool sameCharacter(char patternChar, char textChar) {
    return patternChar == '?' || lowerAscii(patternChar) == lowerAscii(textChar);
}

// The error a fault value holds: a REG_DWORD, or decimal text.
uint32_t faultError(uint32_t type, const std::string& data) {
    if (type == platform::kRegDword && data.size() == 4) return platform::littleEndian32(data);
    if (type != platform::kRegSz && type != platform::kRegExpandSz) return 0;
    const std::string text = data.substr(0, data.find('\0'));
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

// Whether a fault value's name ("Call" or "Call|pattern") covers this call on this subject.
bool faultApplies(std::string_view valueName, std::string_view call, std::string_view subject) {
    const size_t bar = valueName.find('|');
    if (bar == valueName.npos) return equalsIgnoringCase(valueName, call);
    return equalsIgnoringCase(valueName.substr(0, bar), call) &&
           wildcardMatch(valueName.substr(bar + 1), subject);
}

}  // namespace

// Reads the store directly: going through the platform's registry calls would consult the
// faults again.
uint32_t injectedFault(std::string_view call, std::string_view subject) {
    // Every call of the machine asks, so the values are read again only after a change.
    MachineState& state = machineState();
    if (state.faultsReadAt != registry::changeCount()) {
        state.faults = registry::values(kFaultsKey);
        state.faultsReadAt = registry::changeCount();
    }
    for (const auto& [name, value] : state.faults)
        if (faultApplies(name, call, subject)) return faultError(value.first, value.second);
    return 0;
}

// Greedy matching that returns to the most recent '*' on a mismatch: linear in the text for
// each star, so no pattern can make it take exponential time.
bool wildcardMatch(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0;
    size_t starPattern = pattern.npos, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size() && sameCharacter(pattern[p], text[t])) {
            ++p;
            ++t;
        } else if (starPattern != pattern.npos) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace sim
