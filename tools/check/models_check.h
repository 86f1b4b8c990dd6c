#pragma once

#include <vector>

#include "tools/check/check_context.h"

namespace check {

// Follows [Manufacturer] to the model lines and reports what the utility would not find on
// the way; returns the install sections found, each once.
std::vector<InstallSection> checkModels(const CheckContext& context);

}  // namespace check
