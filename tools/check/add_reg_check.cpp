#include "tools/check/add_reg_check.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace check {

namespace {

// The value-type part of the flags, as the INF documentation defines the types.
constexpr uint32_t kTypeMask = 0xFFFF0001u;
constexpr uint32_t kString = 0x00000000u;
constexpr uint32_t kBinary = 0x00000001u;
constexpr uint32_t kDword = 0x00010001u;
constexpr uint32_t kMultiString = 0x00010000u;
constexpr uint32_t kExpandString = 0x00020000u;
constexpr uint32_t kNone = 0x00020001u;

constexpr size_t kFlagsField = 3;
constexpr size_t kDataField = 4;
constexpr size_t kBytesInDword = 4;

// Flag bits that change what Windows does with the line and that the utility passes over.
struct IgnoredBit {
    uint32_t bit;
    const char* windows;
};

constexpr IgnoredBit kIgnoredBits[] = {
    {0x00000004u, "deletes the value"},
    {0x00000008u, "appends the string to the list already there"},
    {0x00000010u, "creates the key only"},
    {0x00000020u, "writes only over a value that exists"},
};

std::string hex8(uint32_t number) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", number);
    return text;
}

// Decimal, or hexadecimal after 0x: the whole text, as Windows reads a number.
bool isNumber(const CStdStr& text) {
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const bool hex = at + 1 < text.size() && text[at] == '0' && (text[at + 1] | 0x20) == 'x';
    if (hex) at += 2;
    if (at == text.size()) return false;
    for (; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (hex ? std::isxdigit(c) == 0 : std::isdigit(c) == 0) return false;
    }
    return true;
}

std::string valueOf(const std::vector<CStdStr>& fields) {
    return fields[0] + "," + fields[1] + "," + fields[2];
}

// The DWORD that the little-endian bytes of a binary value make, when there are at most four.
std::optional<uint32_t> dwordOfBytes(const std::vector<CStdStr>& fields) {
    const size_t count = fields.size() - kDataField;
    if (count == 0 || count > kBytesInDword) return std::nullopt;
    uint32_t number = 0;
    for (size_t i = 0; i < count; ++i)
        number |= (static_cast<uint32_t>(cstd::strtolHex(fields[kDataField + i])) & 0xFF)
                  << (8 * i);
    return number;
}

std::string binaryAdvice(const std::vector<CStdStr>& fields) {
    const std::string utility =
        "the utility writes no binary values and writes a DWORD of the first byte field, " +
        std::to_string(cstd::infNumber(fields[kDataField])) + ", over it";
    if (const std::optional<uint32_t> number = dwordOfBytes(fields))
        return utility + "; where the driver reads the value as a number, write it as a DWORD, " +
               valueOf(fields) + "," + hex8(kDword) + "," + hex8(*number) +
               ", which both write alike";
    return utility + "; no form of more than four bytes reads alike";
}

std::optional<std::string> typeProblem(uint32_t type, const std::vector<CStdStr>& fields) {
    const CStdStr& data = fields[kDataField];
    switch (type) {
        case kString:
        case kDword:
            return std::nullopt;
        case kBinary:
            return "Windows writes a binary value of the bytes that follow; " +
                   binaryAdvice(fields);
        case kMultiString:
            return "Windows writes a multi-string value of " +
                   std::to_string(fields.size() - kDataField) +
                   " string(s); the utility writes a plain string of the first, '" + data +
                   "', over it; a single string written as a plain string (flags 0x00000000) "
                   "reads alike, if the driver accepts one";
        case kExpandString:
            return std::string(
                "Windows writes an expandable string, which the reader expands; the utility "
                "writes it over as a plain string; write the path with directory ids as a "
                "plain string (flags 0x00000000), which both expand when they write it");
        case kNone:
            return std::string(
                "Windows writes a value of no type from the bytes that follow; the utility "
                "writes the first field over it as a string; no form reads alike");
        default:
            return "the value type " + hex8(type) +
                   " is one the utility does not write; it writes a string over it";
    }
}

void checkData(const CheckContext& context, const std::vector<CStdStr>& fields, int line) {
    const CStdStr& data = fields[kDataField];
    if (data.empty() || isNumber(data)) return;
    context.warning(line, "AddReg line: data '" + data +
                              "' of a DWORD value is not a number; the utility writes " +
                              std::to_string(cstd::infNumber(data)) +
                              "; write it in decimal or as 0x and hexadecimal digits");
}

}  // namespace

void checkAddRegLine(const CheckContext& context, const std::vector<CStdStr>& fields, int line) {
    if (fields.size() <= kFlagsField) return;
    std::vector<CStdStr> padded = fields;
    if (padded.size() <= kDataField) padded.resize(kDataField + 1);
    const CStdStr& root = padded[0];
    if (root.EqualsNoCase("HKR"))
        context.warning(line,
                        "AddReg line: root HKR is the key Windows gives the section; the utility "
                        "knows no such root and writes nothing");
    const uint32_t flags = cstd::infNumber(padded[kFlagsField]);
    const uint32_t type = flags & kTypeMask;
    if (const std::optional<std::string> problem = typeProblem(type, padded))
        context.warning(line, "AddReg line: flags " + padded[kFlagsField] + ": " + *problem);
    else if (type == kDword)
        checkData(context, padded, line);
    for (const IgnoredBit& ignored : kIgnoredBits)
        if (flags & ignored.bit)
            context.warning(line, "AddReg line: flag " + hex8(ignored.bit) + ": Windows " +
                                      ignored.windows +
                                      ", but the utility does not know the flag and writes "
                                      "the value; no form of the line reads alike");
}

}  // namespace check
