#include "support/cstd_str.h"

#include <climits>
#include <cstdint>

namespace cstd {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int compareNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(toLowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(toLowerAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

namespace {

// Shared by the decimal and hexadecimal readers: blanks, sign, digits, clamping.
template <typename Digit>
int64_t readNumber(std::string_view text, int base, int64_t low, int64_t high, Digit digitOf) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (base == 16 && i + 1 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X') && i + 2 < text.size() &&
        digitOf(text[i + 2]) >= 0)
        i += 2;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digitOf(text[i]);
        if (d < 0) break;
        if (value <= high) value = value * base + d;  // stays far below int64 overflow
    }
    if (negative) value = -value;
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

int decimalDigit(char c) { return (c >= '0' && c <= '9') ? c - '0' : -1; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int atoi(std::string_view text) {
    return static_cast<int>(readNumber(text, 10, INT_MIN, INT_MAX, decimalDigit));
}

long strtolHex(std::string_view text) {
    return static_cast<long>(readNumber(text, 16, INT32_MIN, INT32_MAX, hexDigit));
}

uint32_t infNumber(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const bool hex =
        at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X');
    if (!hex) return static_cast<uint32_t>(atoi(text));
    return static_cast<uint32_t>(readNumber(text, 16, -int64_t{UINT32_MAX}, UINT32_MAX, hexDigit));
}

}  // namespace cstd

int CStdStr::CompareNoCase(std::string_view other) const {
    return cstd::compareNoCase(*this, other);
}

bool CStdStr::EqualsNoCase(std::string_view other) const {
    return cstd::equalsNoCase(*this, other);
}

CStdStr CStdStr::ToLower() const {
    CStdStr out(*this);
    for (char& c : out) c = cstd::toLowerAscii(c);
    return out;
}

CStdStr CStdStr::ToUpper() const {
    CStdStr out(*this);
    for (char& c : out) c = cstd::toUpperAscii(c);
    return out;
}

CStdStr& CStdStr::TrimLeft() {
    size_t i = 0;
    while (i < size() && cstd::isSpace((*this)[i])) ++i;
    erase(0, i);
    return *this;
}

CStdStr& CStdStr::TrimRight() {
    size_t n = size();
    while (n > 0 && cstd::isSpace((*this)[n - 1])) --n;
    resize(n);
    return *this;
}

CStdStr& CStdStr::Trim() { return TrimRight().TrimLeft(); }

CStdStr CStdStr::Trimmed() const {
    CStdStr out(*this);
    out.Trim();
    return out;
}
