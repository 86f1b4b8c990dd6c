#pragma once

#include <optional>

#include "support/cstd_str.h"
#include "tools/check/line_layout.h"

// Checks of single arguments whose text the handler reads in a fixed way.
namespace check {

std::optional<Problem> decimalNumber(const CStdStr& text);
std::optional<Problem> addRegFlags(const CStdStr& text);
std::optional<Problem> removalMode(const CStdStr& text);
std::optional<Problem> printerDataType(const CStdStr& text);
std::optional<Problem> specialFolder(const CStdStr& text);

}  // namespace check
