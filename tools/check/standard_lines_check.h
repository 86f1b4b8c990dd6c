#pragma once

#include "tools/check/check_context.h"

namespace check {

// Lines of an install section's standard directives that Windows and the utility both read,
// but read differently: further lines of a directive, comments after a value, and file-list
// lines with more than a file name. Each finding says what the utility will do and how to
// write the line so that both read it alike.
void checkStandardLines(const CheckContext& context, const InstallSection& install);

// Section headers followed by a comment, which Windows reads as headers and the utility as
// lines of the section before.
void checkSectionHeaders(const CheckContext& context);

// Whether Windows reads the line as a section header that a comment follows.
bool isCommentedHeader(const CStdStr& line);

// Where a comment begins for Windows: the first ";" outside double quotes, or npos.
size_t commentStart(const CStdStr& text);

}  // namespace check
