#include "tools/check/command_layouts.h"

#include "tools/check/add_reg_check.h"
#include "tools/check/field_checks.h"

namespace check {

namespace {

Argument number(const char* name, FieldCheck check = decimalNumber) {
    return {name, Use::Number, check};
}

}  // namespace

LineLayout unzipLayout() {
    return {false, 1, {{"archive", Use::Archive}, {"target directory", Use::Expanded}}};
}

LineLayout runProgramLayout() {
    return {false,
            1,
            {{"program", Use::Program},
             {"parameters", Use::Text},
             number("show state"),
             number("wait flag"),
             {"program kind", Use::Text},
             number("silent-mode flag")}};
}

LineLayout installFileLayout() {
    return {false,
            3,
            {{"destination", Use::Expanded},
             {"source", Use::SourceFile},
             {"temporary file", Use::Expanded},
             number("delete-source flag"),
             number("log kind")}};
}

LineLayout deleteRegLayout() {
    return {
        true,
        2,
        {{"root key", Use::Expanded}, {"subkey", Use::Expanded}, {"value name", Use::Expanded}}};
}

LineLayout addRegLayout() {
    return {true,
            3,
            {{"root key", Use::Expanded},
             {"subkey", Use::Expanded},
             {"value name", Use::Expanded},
             number("flags field", addRegFlags),
             {"data", Use::Expanded}},
            checkAddRegLine};
}

LineLayout printerDataLayout() {
    return {false,
            3,
            {{"type", Use::Text, printerDataType},
             {"value name", Use::Expanded},
             {"data", Use::Expanded},
             number("flags")}};
}

LineLayout monitorLayout() {
    return {false, 2, {{"monitor", Use::Text}, number("bidirectional flag")}};
}

LineLayout updateIniLayout() {
    return {true,
            3,
            {{"INI file", Use::Expanded},
             {"section", Use::Expanded},
             {"key to delete", Use::Expanded},
             {"key to write", Use::Expanded}}};
}

LineLayout startMenuLayout() {
    return {false,
            4,
            {{"special folder", Use::Text, specialFolder},
             {"group", Use::Expanded},
             {"item name", Use::Expanded},
             {"target", Use::Expanded},
             {"arguments", Use::Expanded}}};
}

LineLayout deleteFileLayout() {
    return {false, 1, {{"target", Use::Expanded}, number("mode", removalMode)}};
}

LineLayout uninstallLayout() {
    return {false, 1, {{"archive", Use::Archive}, {"logging text", Use::Expanded}}};
}

}  // namespace check
