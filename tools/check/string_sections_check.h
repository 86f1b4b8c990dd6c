#pragma once

#include <set>

#include "tools/check/check_context.h"

namespace check {

// String sections for languages the utility never chooses.
void checkStringSections(const CheckContext& context);

// Every name some string section defines, in lower case: a %name% macro may take its value
// from any of them, depending on the install language.
std::set<CStdStr> stringNames(const PackageInf& inf);

}  // namespace check
