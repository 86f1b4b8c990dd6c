#pragma once

#include <vector>

#include "tools/check/check_context.h"

namespace check {

// An AddReg line that Windows applies one way and the utility re-applies another, over the
// value Windows has just written: value types the utility does not write, flag bits it does
// not follow, data it reads differently, roots it does not know.
void checkAddRegLine(const CheckContext& context, const std::vector<CStdStr>& fields, int line);

}  // namespace check
