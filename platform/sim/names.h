#pragma once

#include <string>
#include <string_view>

namespace sim {

// Windows compares names of files, keys and values without regard to case, folding the ASCII
// letters only.
template <typename Char>
constexpr Char lowerAscii(Char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
bool equalsIgnoringCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return equalsIgnoringCase<char>(a, b);
}

inline bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           equalsIgnoringCase(text.substr(text.size() - end.size()), end);
}

// The name as it is compared: lookups by name keep their keys in this form.
inline std::string folded(std::string_view name) {
    std::string text(name);
    for (char& c : text) c = lowerAscii(c);
    return text;
}

}  // namespace sim
