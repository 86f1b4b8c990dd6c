#pragma once

#include <optional>
#include <vector>

#include "tools/check/check_context.h"

namespace check {

// One closed macro of a text: its delimiter ('%' or '$') and the name between.
struct Macro {
    char delimiter;
    CStdStr name;
};

// The macros the utility's one pass over the text finds; a runaway one at the end is kept as
// text and not listed.
std::vector<Macro> macrosIn(const CStdStr& text);
// A macro name read as a directory code the way the utility reads it: leading blanks, a sign,
// at least one digit, anything after the digits ignored.
std::optional<int> directoryCodeOf(const CStdStr& name);
// Whether the text holds a %name% macro that is not a directory code: what it expands to
// depends on the install language or the printer.
bool hasNamedMacro(const CStdStr& text);

// Macros of an argument that expand to nothing on every Windows version.
void checkMacros(const CheckContext& context, const InstallScope& scope, const CStdStr& text,
                 int line);

}  // namespace check
