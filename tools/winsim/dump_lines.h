#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/little_endian.h"

// The line format of a machine dump. The simulated machine's `winsim dump` and the program
// that reads a real machine back print through these, so that the two dumps can be compared
// line by line. Names that Windows compares without regard to case are printed in lower case.
namespace dump {

inline std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

inline std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// FNV-1a: a content fingerprint both targets can compute without a crypto library.
inline std::string fingerprint(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

inline std::string typeName(uint32_t type) {
    switch (type) {
        case 1:
            return "REG_SZ";
        case 2:
            return "REG_EXPAND_SZ";
        case 3:
            return "REG_BINARY";
        case 4:
            return "REG_DWORD";
        case 7:
            return "REG_MULTI_SZ";
        case 11:
            return "REG_QWORD";
        default:
            return "type" + std::to_string(type);
    }
}

inline std::string hexBytes(const std::string& data) {
    std::string text;
    char byte[4];
    for (unsigned char c : data) {
        std::snprintf(byte, sizeof byte, "%02x", c);
        text += byte;
    }
    return text;
}

// Text without its terminating NULs, numbers in hex, lists with "|" between items.
inline std::string valueText(uint32_t type, const std::string& data) {
    if (type == 1 || type == 2) return data.substr(0, data.find('\0'));
    if (type == 4 && data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", platform::littleEndian32(data));
        return text;
    }
    if (type == 7) {
        std::string text;
        for (size_t start = 0; start < data.size();) {
            size_t end = data.find('\0', start);
            if (end == std::string::npos) end = data.size();
            if (end > start) {
                if (!text.empty()) text += '|';
                text.append(data, start, end - start);
            }
            start = end + 1;
        }
        return text;
    }
    return "hex:" + hexBytes(data);
}

struct DriverRecord {
    std::string environment, name, driverPath, dataFile, configFile, helpFile, monitor;
    uint32_t version = 0;
    std::vector<std::string> dependentFiles;
};

// Files by their bare names: where the spooler keeps them differs between machines, which
// files a record names does not.
inline std::string driverLine(const DriverRecord& d) {
    std::vector<std::string> dependents;
    for (const std::string& file : d.dependentFiles) dependents.push_back(lower(baseName(file)));
    std::sort(dependents.begin(), dependents.end());
    std::string joined;
    for (const std::string& file : dependents) {
        if (!joined.empty()) joined += ',';
        joined += file;
    }
    return "driver|" + d.environment + "|" + std::to_string(d.version) + "|" + d.name +
           "|driver=" + lower(baseName(d.driverPath)) + "|data=" + lower(baseName(d.dataFile)) +
           "|config=" + lower(baseName(d.configFile)) + "|help=" + lower(baseName(d.helpFile)) +
           "|dependent=" + joined + "|monitor=" + d.monitor;
}

inline std::string printerLine(const std::string& name, const std::string& driver,
                               const std::string& port) {
    return "printer|" + name + "|driver=" + driver + "|port=" + port;
}

inline std::string printerDataLine(const std::string& printer, const std::string& value,
                                   uint32_t type, const std::string& data) {
    return "printerdata|" + printer + "|" + value + "|" + typeName(type) + "|" +
           valueText(type, data);
}

inline std::string registryLine(const std::string& key, const std::string& value, uint32_t type,
                                const std::string& data) {
    return "reg|" + key + "|" + value + "|" + typeName(type) + "|" + valueText(type, data);
}

inline std::string fileLine(const std::string& windowsPath, const std::string& content) {
    return "file|" + lower(windowsPath) + "|" + std::to_string(content.size()) + "|" +
           fingerprint(content);
}

// A last-write time (FILETIME ticks) as "YYYY-MM-DD hh:mm:ss" in universal time.
inline std::string timeLine(const std::string& windowsPath, uint64_t ticks) {
    const int64_t seconds = static_cast<int64_t>(ticks / 10'000'000u);
    // Days since 1601-01-01, as days since 0000-03-01 of the proleptic Gregorian calendar.
    const int64_t days = seconds / 86400 + 584694;
    const int64_t era = days / 146097, dayOfEra = days % 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const int64_t inDay = seconds % 86400;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(inDay / 3600),
                  static_cast<long long>(inDay / 60 % 60), static_cast<long long>(inDay % 60));
    return "time|" + lower(windowsPath) + "|" + text;
}

// An item of --keys: a key, or "KEY|VALUE" for one value of it.
struct KeyItem {
    std::string key;
    std::string value;  // empty: every value
    bool oneValue = false;
};

inline KeyItem keyItem(const std::string& text) {
    const size_t bar = text.find('|');
    if (bar == std::string::npos) return {text, {}, false};
    return {text.substr(0, bar), text.substr(bar + 1), true};
}

// "a;b;;c" split on ';' as {"a", "b", "c"}: the lists of keys and directories a dump is asked
// for, and the file lists of the setup lines both machines are made from.
inline std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

}  // namespace dump
