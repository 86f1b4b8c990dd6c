#include "tools/check/string_sections_check.h"

#include <cctype>

#include "support/language_tables.h"

namespace check {

namespace {

constexpr std::string_view kStrings = "Strings";
constexpr std::string_view kLanguagePrefix = "Strings.";
constexpr uint32_t kLanguageMask = 0xff;

bool isStringSection(const CStdStr& name) {
    return name.EqualsNoCase(kStrings) ||
           (name.size() > kLanguagePrefix.size() &&
            cstd::equalsNoCase(std::string_view(name).substr(0, kLanguagePrefix.size()),
                               kLanguagePrefix));
}

// The utility names a language's section by its number in at least four hexadecimal digits,
// so no other spelling is ever loaded.
bool isLanguageNumber(const std::string_view suffix) {
    if (suffix.size() < 4 || suffix.size() > 8) return false;
    if (suffix.size() > 4 && suffix.front() == '0') return false;
    for (const char c : suffix)
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
    return true;
}

// Both section names the utility derives end in the language's low byte, whichever way the
// language was chosen.
bool isListedLanguage(uint32_t number) {
    const auto rows = languageTable();
    for (size_t row = 1; row < rows.size(); ++row) {
        const auto winCode =
            static_cast<uint32_t>(cstd::strtolHex(rows[row].columns[WIN_CODE_COLUMN]));
        if ((winCode & kLanguageMask) == (number & kLanguageMask)) return true;
    }
    return false;
}

void checkLanguageSection(const CheckContext& context, const InfSection& section) {
    const std::string_view suffix = std::string_view(section.name).substr(kLanguagePrefix.size());
    const std::string where = "string section [" + section.name + "]";
    if (!isLanguageNumber(suffix)) {
        context.warning(section.headerLine,
                        where +
                            " is never loaded: the utility names a language's strings by "
                            "its number in four hexadecimal digits, such as Strings.0407");
        return;
    }
    if (!isListedLanguage(static_cast<uint32_t>(cstd::strtolHex(suffix))))
        context.warning(section.headerLine,
                        where + " is for a language the language table does not list");
}

}  // namespace

void checkStringSections(const CheckContext& context) {
    for (const InfSection& section : context.inf.sections())
        if (isStringSection(section.name) && !section.name.EqualsNoCase(kStrings))
            checkLanguageSection(context, section);
}

std::set<CStdStr> stringNames(const PackageInf& inf) {
    std::set<CStdStr> names;
    for (const InfSection& section : inf.sections()) {
        if (!isStringSection(section.name)) continue;
        for (const KeyLine& line : PackageInf::keyLines(section)) names.insert(line.name.ToLower());
    }
    return names;
}

}  // namespace check
