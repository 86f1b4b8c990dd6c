#pragma once

#include "tools/check/check_context.h"

namespace check {

// The sections the install section names (under command keys and DataSection): each must
// exist, and the lines of command sections must fit their command.
void checkNamedSections(const CheckContext& context, const InstallScope& scope);

}  // namespace check
