#pragma once

#include "tools/check/check_context.h"
#include "tools/check/line_layout.h"

namespace check {

// A file argument (source, archive or program) that leads into the package: it must be there,
// and be what the handler will take it for.
void checkPackageFile(const CheckContext& context, const CStdStr& argument, Use use, int line);

}  // namespace check
