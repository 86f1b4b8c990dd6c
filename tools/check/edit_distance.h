#pragma once

#include <cstddef>
#include <string_view>

namespace check {

// Insertions, deletions and substitutions that turn one text into the other, letters compared
// without regard to case as INF keys are.
size_t editDistance(std::string_view a, std::string_view b);

}  // namespace check
