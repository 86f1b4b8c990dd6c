#include "tools/check/command_lines_check.h"

#include <vector>

#include "support/ini_line.h"
#include "support/string_tokenizer.h"
#include "tools/check/macro_check.h"
#include "tools/check/package_files.h"
#include "tools/check/standard_lines_check.h"

namespace check {

namespace {

// The uninstall-information key shares its section with the uninstaller's commands; that
// clash is reported on its own, not as a malformed command.
bool isInstallDirLine(const CheckContext& context, const CStdStr& key, const CStdStr& line) {
    if (!key.EqualsNoCase(context.catalog.uninstallKey())) return false;
    CStdStr name, value;
    return ini::splitNameValue(line, name, value, ini::NameQuotes::Remove) &&
           name.EqualsNoCase(DadazadoEngine::kInstallDirKey);
}

std::string requiredNames(const LineLayout& layout) {
    std::string names;
    for (size_t i = 0; i < layout.required && i < layout.arguments.size(); ++i)
        names += (i == 0 ? "" : ", ") + std::string(layout.arguments[i].name);
    return names;
}

// The arguments of a custom command line, after its name and install-kind fields; none when
// the utility never hands the line to its handler.
std::optional<std::vector<CStdStr>> commandArguments(const CheckContext& context,
                                                     const CStdStr& key,
                                                     const std::vector<CStdStr>& fields, int line) {
    if (fields.size() < 2) {
        context.error(line, key + " line has no install-kind field; the utility rejects it");
        return std::nullopt;
    }
    if ((cstd::atoi(fields[1]) &
         (DadazadoEngine::kLocalInstall | DadazadoEngine::kPointAndPrint)) == 0) {
        context.error(line, key + " line: install-kind mask '" + fields[1] +
                                "' selects no install (1 local, 2 point and print, 3 both); "
                                "the line never runs");
        return std::nullopt;
    }
    return std::vector<CStdStr>(fields.begin() + 2, fields.end());
}

bool hasEnoughArguments(const CheckContext& context, const CStdStr& key, const LineLayout& layout,
                        size_t count, int line) {
    if (count >= layout.required) return true;
    const char* noun = layout.plain ? "field" : "argument";
    context.error(line, key + " line has " + std::to_string(count) + " " + noun +
                            (count == 1 ? "" : "s") + "; it needs at least " +
                            std::to_string(layout.required) + " (" + requiredNames(layout) + ")");
    return false;
}

void checkArgument(const CheckContext& context, const InstallScope& scope, const CStdStr& key,
                   const Argument& rule, const CStdStr& text, int line) {
    if (rule.check != nullptr)
        if (const std::optional<Problem> problem = rule.check(text))
            context.add(line, problem->severity, key + " line: " + rule.name + " " + problem->text);
    if (isExpanded(rule.use)) checkMacros(context, scope, text, line);
    if (rule.use == Use::SourceFile || rule.use == Use::Archive || rule.use == Use::Program)
        checkPackageFile(context, text, rule.use, line);
}

void checkLine(const CheckContext& context, const InstallScope& scope, const CStdStr& key,
               const LineLayout& layout, const CStdStr& text, int line) {
    // Windows reads these lines too, and ends them at a comment.
    if (layout.plain && commentStart(text) != CStdStr::npos)
        context.warning(line, key +
                                  " line: Windows ends the line at ';', but the utility reads "
                                  "the comment as part of the last field; put the comment on "
                                  "a line of its own");
    std::vector<CStdStr> fields;
    StringTokenizer(text, ',', StringTokenizer::Quotes).all(fields);
    std::optional<std::vector<CStdStr>> arguments =
        layout.plain ? fields : commandArguments(context, key, fields, line);
    if (!arguments || !hasEnoughArguments(context, key, layout, arguments->size(), line)) return;
    for (size_t i = 0; i < arguments->size() && i < layout.arguments.size(); ++i)
        checkArgument(context, scope, key, layout.arguments[i], (*arguments)[i], line);
    if (layout.lineCheck != nullptr) layout.lineCheck(context, *arguments, line);
}

}  // namespace

void checkCommandLines(const CheckContext& context, const InstallScope& scope, const CStdStr& key,
                       const LineLayout& layout, const InfSection& section) {
    for (size_t i = 0; i < section.lines.size(); ++i) {
        if (isInstallDirLine(context, key, section.lines[i])) continue;
        checkLine(context, scope, key, layout, section.lines[i], section.lineNumbers[i]);
    }
}

}  // namespace check
