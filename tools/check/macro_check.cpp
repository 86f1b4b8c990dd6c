#include "tools/check/macro_check.h"

#include <optional>
#include <vector>

#include "app/macro_parts.h"

namespace check {

namespace {

std::string written(const TextPart& macro) {
    return macro.delimiter + macro.text + macro.delimiter;
}

void checkDirectoryCode(const CheckContext& context, const InstallScope& scope,
                        const TextPart& macro, int code, int line) {
    if (code == DadazadoEngine::kInstallDirCode) {
        if (!scope.installDirSet)
            context.warning(line, written(macro) + " is the install directory, which no " +
                                      DadazadoEngine::kInstallDirKey +
                                      " sets for install section [" + scope.install->name +
                                      "]; it expands to nothing");
        return;
    }
    if (context.engine.LookupDir(code).GetFullPath().empty())
        context.warning(line, written(macro) + " names directory code " + std::to_string(code) +
                                  ", which the utility does not know; it expands to nothing");
}

void checkMacro(const CheckContext& context, const InstallScope& scope, const TextPart& macro,
                int line) {
    // A string named like a number is looked up first, as the utility does.
    if (macro.delimiter == '%' && context.macroNames.count(macro.text.ToLower()) != 0) return;
    if (const std::optional<int> code = directoryCodeOf(macro.text)) {
        checkDirectoryCode(context, scope, macro, *code, line);
        return;
    }
    // "%%" and a "$name$" that is no number are left alone: the first is a way to write
    // nothing, the second stays in the text as written.
    if (macro.delimiter == '%' && !macro.text.empty())
        context.warning(line,
                        written(macro) + " is defined in no string section; it expands to nothing");
}

// The closed macros of a text, as the utility reads them; a runaway one stays text.
std::vector<TextPart> closedMacros(const CStdStr& text) {
    std::vector<TextPart> macros = macroParts(text);
    std::erase_if(macros, [](const TextPart& part) { return part.kind != TextPart::Kind::Macro; });
    return macros;
}

}  // namespace

bool hasNamedMacro(const CStdStr& text) {
    for (const TextPart& macro : closedMacros(text))
        if (macro.delimiter == '%' && !directoryCodeOf(macro.text)) return true;
    return false;
}

void checkMacros(const CheckContext& context, const InstallScope& scope, const CStdStr& text,
                 int line) {
    for (const TextPart& macro : closedMacros(text)) checkMacro(context, scope, macro, line);
}

}  // namespace check
