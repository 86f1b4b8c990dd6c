#include "platform/text_conversion.h"

#include <cstdint>

// The simulated machine's ANSI code page is Windows-1252. The table is written out here rather
// than taken from a conversion library so that the host build needs nothing beyond the C++
// library and behaves identically everywhere.
namespace platform {

namespace {

// Characters of the bytes 0x80..0x9F. The five bytes the code page leaves undefined map to
// the control character of the same number, as Windows does, so that every byte survives a
// round trip through wide text.
constexpr char16_t kHighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t wideOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControlRange[byte - 0x80];
    return byte;
}

bool isSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The byte for a wide character, '?' when the code page has none.
char byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControlRange[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

bool startsSurrogatePair(const std::u16string& text, size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] <= 0xDFFF;
}

}  // namespace

std::u16string ansiToWide(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) wide += wideOf(static_cast<unsigned char>(c));
    return wide;
}

std::string wideToAnsi(const std::u16string& text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (startsSurrogatePair(text, i)) {
            ansi += '?';  // one character outside the code page, one replacement
            ++i;
            continue;
        }
        ansi += isSurrogate(text[i]) ? '?' : byteOf(text[i]);
    }
    return ansi;
}

}  // namespace platform
