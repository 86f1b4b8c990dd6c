#pragma once

#include <ostream>

#include "tools/check/options.h"

namespace check {

// Reads the package on a scratch machine, prints its findings and the summary, and returns
// the exit code: 1 when there is an error, 0 otherwise, 2 when the package cannot be read.
int checkPackage(const Options& options, std::ostream& out);

}  // namespace check
