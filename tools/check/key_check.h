#pragma once

#include "tools/check/check_context.h"

namespace check {

// Keys of the install section that nothing reads: a slip in a command key costs the whole
// command kind without a word from the utility.
void checkInstallKeys(const CheckContext& context, const InstallSection& install);

}  // namespace check
