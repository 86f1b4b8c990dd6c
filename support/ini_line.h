#pragma once

#include "support/cstd_str.h"

// The text rules shared by every reader of existing INF and INI files: what kind a trimmed
// line is, the name of a header, and how a name=value line splits.
namespace ini {

enum class LineKind { Empty, Comment, Header, Data };

// The line must already be trimmed: a comment starts with ';' or '#', a header is "[...]".
LineKind classifyLine(const CStdStr& trimmedLine);

// The text between the brackets of a header line, kept as written.
CStdStr headerName(const CStdStr& trimmedHeader);

// One enclosing pair of double quotes removed when the text has at least two characters.
CStdStr withoutEnclosingQuotes(const CStdStr& text);

enum class NameQuotes { Keep, Remove };

// Splits at the first '='; name and value are trimmed and the value loses one enclosing pair
// of double quotes (the name too with NameQuotes::Remove). A line without '=' is a name with
// an empty value. False, with both outputs empty, when the name before '=' is empty.
bool splitNameValue(const CStdStr& line, CStdStr& name, CStdStr& value, NameQuotes nameQuotes);

}  // namespace ini
