#include <optional>
#include <string_view>

#include "app/dadazado_engine.h"
#include "app/macro_parts.h"
#include "support/debug_log.h"

namespace {

void logMacroProblem(std::string_view text, std::string_view subject) {
    LogLine("DadazadoEngine::DecodeMacros: ", text, subject);
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
    for (const TextPart& part : macroParts(text)) {
        switch (part.kind) {
            case TextPart::Kind::Plain:
                output += part.text;
                break;
            case TextPart::Kind::Macro:
                output += part.delimiter == '$' ? expansion.dollar(part.text)
                                                : expansion.percent(part.text);
                break;
            case TextPart::Kind::Runaway:
                logMacroProblem("Runaway macro in string ", text);
                output += part.delimiter;
                output += part.text;
                break;
        }
    }
    return output;
}
