#include "support/ini_line.h"

namespace ini {

LineKind classifyLine(const CStdStr& trimmedLine) {
    if (trimmedLine.empty()) return LineKind::Empty;
    if (trimmedLine.front() == ';' || trimmedLine.front() == '#') return LineKind::Comment;
    if (trimmedLine.size() >= 2 && trimmedLine.front() == '[' && trimmedLine.back() == ']')
        return LineKind::Header;
    return LineKind::Data;
}

CStdStr headerName(const CStdStr& trimmedHeader) {
    if (trimmedHeader.size() < 2) return CStdStr();
    return trimmedHeader.substr(1, trimmedHeader.size() - 2);
}

CStdStr withoutEnclosingQuotes(const CStdStr& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

bool splitNameValue(const CStdStr& line, CStdStr& name, CStdStr& value, NameQuotes nameQuotes) {
    name.clear();
    value.clear();
    const size_t equals = line.find('=');
    CStdStr rawName = line.substr(0, equals);
    rawName.Trim();
    if (rawName.empty()) return false;
    name = nameQuotes == NameQuotes::Remove ? withoutEnclosingQuotes(rawName) : rawName;
    if (equals != CStdStr::npos)
        value = withoutEnclosingQuotes(CStdStr(line.substr(equals + 1)).Trim());
    return true;
}

}  // namespace ini
