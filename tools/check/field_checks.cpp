#include "tools/check/field_checks.h"

#include <cctype>

#include "commands/prt_drv_data_info.h"
#include "commands/start_menu_info.h"

namespace check {

namespace {

std::string quoted(const CStdStr& text) { return "'" + text + "'"; }

bool isHexNotation(const CStdStr& text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Whether atoi reads the whole text: an optional sign and digits.
bool isDecimal(const CStdStr& text) {
    size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (at == text.size()) return false;
    for (; at < text.size(); ++at)
        if (text[at] < '0' || text[at] > '9') return false;
    return true;
}

}  // namespace

// An empty field is the number 0 by design; other text that is not a number is a slip that
// the handler silently reads as whatever digits it starts with.
std::optional<Problem> decimalNumber(const CStdStr& text) {
    if (text.empty() || isDecimal(text)) return std::nullopt;
    return Problem{Severity::Error, quoted(text) + " is not a decimal number; it reads as " +
                                        std::to_string(cstd::atoi(text))};
}

std::optional<Problem> addRegFlags(const CStdStr& text) {
    if (!isHexNotation(text)) return decimalNumber(text);
    for (size_t at = 2; at < text.size(); ++at)
        if (!std::isxdigit(static_cast<unsigned char>(text[at])))
            return Problem{Severity::Error, quoted(text) +
                                                " is not a hexadecimal number; it reads as " +
                                                std::to_string(cstd::infNumber(text))};
    return std::nullopt;
}

std::optional<Problem> removalMode(const CStdStr& text) {
    if (std::optional<Problem> notNumber = decimalNumber(text)) return notNumber;
    const int mode = cstd::atoi(text);
    if (mode >= 0 && mode <= 2) return std::nullopt;
    return Problem{Severity::Error, quoted(text) + " is not 0, 1 or 2; the utility takes it for 1"};
}

std::optional<Problem> printerDataType(const CStdStr& text) {
    if (PrtDrvDataInfo::isTypeName(text)) return std::nullopt;
    return Problem{Severity::Error, quoted(text) + " is unknown; the value is written as a string"};
}

std::optional<Problem> specialFolder(const CStdStr& text) {
    if (StartMenuInfo::isFolderName(text)) return std::nullopt;
    return Problem{Severity::Error,
                   quoted(text) + " is unknown; the shortcut goes to the programs folder instead"};
}

}  // namespace check
