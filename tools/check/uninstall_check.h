#pragma once

#include "tools/check/check_context.h"

namespace check {

// The uninstall-information section of an install section: whether the utility finds it and
// what its install directory key does there. Returns what %777% resolves to for the section's
// commands.
InstallScope checkUninstallInfo(const CheckContext& context, const InstallSection& install);

}  // namespace check
