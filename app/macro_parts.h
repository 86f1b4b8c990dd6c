#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "support/cstd_str.h"

// How the engine reads a text for macros, in one pass: '%' or '$' opens a macro and the same
// character closes it. What a replacement brings is never read again, so the parts of the
// text are all there is to expand.
struct TextPart {
    enum class Kind {
        Plain,    // text outside any macro
        Macro,    // a closed macro
        Runaway,  // a macro the text ends inside of; it stays in the text as written
    };
    Kind kind = Kind::Plain;
    char delimiter = '\0';  // Macro and Runaway: the character that opened it
    CStdStr text;           // Plain: the text; Macro and Runaway: the name after the delimiter
};

std::vector<TextPart> macroParts(const CStdStr& text);

// A macro name read the way "%d" reads it: leading blanks, an optional sign, at least one
// digit, anything after the digits ignored. Out-of-range numbers clamp to the int range rather
// than wrap, so an overlong name can never land on a real directory code.
std::optional<int> directoryCodeOf(std::string_view name);
