#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The 8-bit string of the whole system (text in the ANSI code page). Names of INF sections,
// keys, macros and files compare without regard to case, and only ASCII letters are folded:
// folding by the current locale would make lookups depend on the machine's settings.
class CStdStr : public std::string {
  public:
    using std::string::string;
    CStdStr() = default;
    CStdStr(const std::string& text) : std::string(text) {}
    CStdStr(std::string&& text) : std::string(std::move(text)) {}
    CStdStr(std::string_view text) : std::string(text) {}

    // <0, 0, >0 like strcmp, ASCII letters folded to lower case.
    int CompareNoCase(std::string_view other) const;
    bool EqualsNoCase(std::string_view other) const;

    CStdStr ToLower() const;
    CStdStr ToUpper() const;

    // White space is what the classic "C" locale calls space.
    CStdStr& Trim();
    CStdStr& TrimLeft();
    CStdStr& TrimRight();
    CStdStr Trimmed() const;
};

namespace cstd {

bool isSpace(char c);
char toLowerAscii(char c);
char toUpperAscii(char c);
int compareNoCase(std::string_view a, std::string_view b);
bool equalsNoCase(std::string_view a, std::string_view b);

// Reads like atoi (leading blanks, optional sign, leading digits; no digits gives 0) but
// clamps to the int range instead of overflowing.
int atoi(std::string_view text);

// Reads like strtol(text, nullptr, 16): optional blanks, sign and "0x", then hex digits up
// to the first other character; clamps to the long range of a 32-bit platform.
long strtolHex(std::string_view text);

// A number of an INF's standard directives, read as Windows reads them: after blanks and an
// optional sign, "0x" or "0X" makes the digits hexadecimal; other text reads like atoi. The
// result is the number's 32 bits, so 0xFFFFFFFF and -1 give the same value.
uint32_t infNumber(std::string_view text);

}  // namespace cstd
