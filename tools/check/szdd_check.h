#pragma once

#include <string>

#include "tools/check/check_context.h"

namespace check {

// A source file that begins as an SZDD file: the utility expands it, and refuses it when its
// header is cut off, names a compression it does not have, or promises another size than the
// data gives.
void checkSzddFile(const CheckContext& context, const CStdStr& path, const std::string& name,
                   int line);

}  // namespace check
