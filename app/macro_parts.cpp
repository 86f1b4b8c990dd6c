#include "app/macro_parts.h"

namespace {

bool isDelimiter(char c) { return c == '%' || c == '$'; }

}  // namespace

std::vector<TextPart> macroParts(const CStdStr& text) {
    std::vector<TextPart> parts;
    TextPart current;
    for (const char c : text) {
        if (current.kind == TextPart::Kind::Plain) {
            if (!isDelimiter(c)) {
                current.text += c;
                continue;
            }
            if (!current.text.empty()) parts.push_back(std::move(current));
            current = TextPart{TextPart::Kind::Runaway, c, {}};
        } else if (c != current.delimiter) {
            current.text += c;
        } else {
            current.kind = TextPart::Kind::Macro;
            parts.push_back(std::move(current));
            current = TextPart{};
        }
    }
    if (current.kind != TextPart::Kind::Plain || !current.text.empty())
        parts.push_back(std::move(current));
    return parts;
}

std::optional<int> directoryCodeOf(std::string_view name) {
    std::size_t i = 0;
    while (i < name.size() && cstd::isSpace(name[i])) ++i;
    if (i < name.size() && (name[i] == '+' || name[i] == '-')) ++i;
    if (i >= name.size() || name[i] < '0' || name[i] > '9') return std::nullopt;
    return cstd::atoi(name);
}
