#include "tools/check/macro_check.h"

namespace check {

namespace {

constexpr int kInstallDirCode = 777;

bool isDelimiter(char c) { return c == '%' || c == '$'; }

std::string written(const Macro& macro) { return macro.delimiter + macro.name + macro.delimiter; }

void checkDirectoryCode(const CheckContext& context, const InstallScope& scope, const Macro& macro,
                        int code, int line) {
    if (code == kInstallDirCode) {
        if (!scope.installDirSet)
            context.warning(line, written(macro) + " is the install directory, which no " +
                                      kInstallDirKey + " sets for install section [" +
                                      scope.install->name + "]; it expands to nothing");
        return;
    }
    if (context.engine.LookupDir(code).GetFullPath().empty())
        context.warning(line, written(macro) + " names directory code " + std::to_string(code) +
                                  ", which the utility does not know; it expands to nothing");
}

void checkMacro(const CheckContext& context, const InstallScope& scope, const Macro& macro,
                int line) {
    // A string named like a number is looked up first, as the utility does.
    if (macro.delimiter == '%' && context.macroNames.count(macro.name.ToLower()) != 0) return;
    if (const std::optional<int> code = directoryCodeOf(macro.name)) {
        checkDirectoryCode(context, scope, macro, *code, line);
        return;
    }
    // "%%" and a "$name$" that is no number are left alone: the first is a way to write
    // nothing, the second stays in the text as written.
    if (macro.delimiter == '%' && !macro.name.empty())
        context.warning(line,
                        written(macro) + " is defined in no string section; it expands to nothing");
}

}  // namespace

std::vector<Macro> macrosIn(const CStdStr& text) {
    std::vector<Macro> macros;
    char open = '\0';
    CStdStr name;
    for (const char c : text) {
        if (open == '\0') {
            if (isDelimiter(c)) {
                open = c;
                name.clear();
            }
        } else if (c != open) {
            name += c;
        } else {
            macros.push_back({open, name});
            open = '\0';
        }
    }
    return macros;
}

std::optional<int> directoryCodeOf(const CStdStr& name) {
    size_t at = 0;
    while (at < name.size() && cstd::isSpace(name[at])) ++at;
    if (at < name.size() && (name[at] == '+' || name[at] == '-')) ++at;
    if (at >= name.size() || name[at] < '0' || name[at] > '9') return std::nullopt;
    return cstd::atoi(name);
}

bool hasNamedMacro(const CStdStr& text) {
    for (const Macro& macro : macrosIn(text))
        if (macro.delimiter == '%' && !directoryCodeOf(macro.name)) return true;
    return false;
}

void checkMacros(const CheckContext& context, const InstallScope& scope, const CStdStr& text,
                 int line) {
    for (const Macro& macro : macrosIn(text)) checkMacro(context, scope, macro, line);
}

}  // namespace check
