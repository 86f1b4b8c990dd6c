#pragma once

#include "tools/check/check_context.h"
#include "tools/check/line_layout.h"

namespace check {

// Every line of one command section against the layout of its command: field count,
// install-kind mask, numbers, macros and the package files it names.
void checkCommandLines(const CheckContext& context, const InstallScope& scope, const CStdStr& key,
                       const LineLayout& layout, const InfSection& section);

}  // namespace check
