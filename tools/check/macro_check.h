#pragma once

#include "tools/check/check_context.h"

namespace check {

// Whether the text holds a %name% macro that is not a directory code: what it expands to
// depends on the install language or the printer.
bool hasNamedMacro(const CStdStr& text);

// Macros of an argument that expand to nothing on every Windows version.
void checkMacros(const CheckContext& context, const InstallScope& scope, const CStdStr& text,
                 int line);

}  // namespace check
