#pragma once

#include <string>

#include "tools/check/check_context.h"

namespace check {

// A zip archive of the package: it must open, the utility skips members whose names would
// lead out of the directory it extracts to, and each member must expand whole.
void checkArchive(const CheckContext& context, const CStdStr& path, const std::string& name,
                  int line);

}  // namespace check
