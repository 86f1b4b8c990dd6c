#include <optional>
#include <string_view>

#include "app/dadazado_engine.h"
#include "support/debug_log.h"

namespace {

void logMacroProblem(std::string_view text, std::string_view subject) {
    LogLine("DadazadoEngine::DecodeMacros: ", text, subject);
}

bool isDelimiter(char c) { return c == '%' || c == '$'; }

// A name read the way "%d" reads it: leading blanks, an optional sign, at least one digit,
// anything after the digits ignored. Out-of-range numbers clamp to the int range rather than
// wrap, so an overlong name can never land on a real directory code.
std::optional<int> directoryCodeOf(std::string_view name) {
    std::size_t i = 0;
    while (i < name.size() && cstd::isSpace(name[i])) ++i;
    if (i < name.size() && (name[i] == '+' || name[i] == '-')) ++i;
    if (i >= name.size() || name[i] < '0' || name[i] > '9') return std::nullopt;
    return cstd::atoi(name);
}

// One macro's replacement, given the engine's two resolvers.
class MacroExpansion {
  public:
    MacroExpansion(const DadazadoEngine& engine, int flags) : engine(engine), flags(flags) {}

    CStdStr dollar(const CStdStr& name) const {
        if ((flags & 1) == 0) return {};
        if (const std::optional<int> code = directoryCodeOf(name)) return directory(*code);
        logMacroProblem("invalid macro: ", name);
        return "$" + name + "$";
    }

    CStdStr percent(const CStdStr& name) const {
        CStdStr value;
        if ((flags & 2) != 0) value = namedValue(name);
        if (!value.empty() || (flags & 1) == 0) return value;
        if (const std::optional<int> code = directoryCodeOf(name)) return directory(*code);
        return {};
    }

  private:
    CStdStr directory(int code) const { return engine.LookupDir(code).GetFullPath(); }

    CStdStr namedValue(const CStdStr& name) const {
        const auto& macros = engine.getMacros();
        const auto found = macros.find(name.ToLower());
        return found == macros.end() ? CStdStr() : found->second;
    }

    const DadazadoEngine& engine;
    int flags;
};

}  // namespace

CStdStr DadazadoEngine::DecodeMacros(const CStdStr& text, int flags) const {
    const MacroExpansion expansion(*this, flags);
    CStdStr output;
    CStdStr name;
    char delimiter = '\0';  // the one that opened the current macro; none outside a macro
    for (const char c : text) {
        if (delimiter == '\0') {
            if (isDelimiter(c)) {
                delimiter = c;
                name.clear();
            } else {
                output += c;
            }
        } else if (c != delimiter) {
            name += c;
        } else {
            // Replacements go straight to the output and are never scanned again.
            output += delimiter == '$' ? expansion.dollar(name) : expansion.percent(name);
            delimiter = '\0';
        }
    }
    if (delimiter != '\0') {
        logMacroProblem("Runaway macro in string ", text);
        output += delimiter;
        output += name;
    }
    return output;
}
