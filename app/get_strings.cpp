#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "app/dadazado_engine.h"
#include "platform/system_info.h"
#include "support/debug_log.h"
#include "support/ini_line.h"
#include "support/language_tables.h"
#include "support/registry.h"

namespace {

// A Win Code text read the way "%x" reads it (blanks, sign and a 0x prefix allowed); none when
// no hexadecimal digit follows, as for the empty text of an unlisted ISO code.
std::optional<uint32_t> hexIdentifierOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && cstd::isSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= text.size() || std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(cstd::strtolHex(text));
}

// At least four lower-case digits; a longer number keeps all of its digits.
CStdStr fourHexDigits(uint32_t number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04x", number);
    return buffer;
}

// A later line of the same name replaces an earlier one, within a section and across them.
void loadStrings(const std::vector<CStdStr>* lines, std::map<CStdStr, CStdStr>& macros) {
    if (lines == nullptr) return;
    for (const CStdStr& line : *lines) {
        CStdStr name, value;
        if (!ini::splitNameValue(line, name, value, ini::NameQuotes::Remove)) continue;
        macros[name.ToLower()] = value;
    }
}

}  // namespace

void DadazadoEngine::getStrings() {
    const CStdStr configuredIso =
        Registry().ReadString("HKLM", "SOFTWARE\\Qentrel", "InstallLanguageISO");
    uint32_t identifier = platform::getUserDefaultLangId();
    bool unlistedIso = false;
    if (configuredIso.empty()) {
        languageIso = getUserLocaleCode();
    } else {
        languageIso = configuredIso;
        const std::optional<uint32_t> listed =
            hexIdentifierOf(lookupLanguage(languageIso, WIN_CODE_COLUMN));
        if (listed) identifier = *listed;
        unlistedIso = !listed;
    }

    const CStdStr countryCode = fourHexDigits(identifier);
    const CStdStr languageCode = fourHexDigits(identifier & 0xffu);
    LogLine("DadazadoEngine::getStrings: Language Codes Found");
    LogLine("\tHex Country code: " + countryCode);
    LogLine("\tHex Language code: " + languageCode);
    LogLine("\tISO code: " + languageIso);
    if (unlistedIso) {
        LogLine("DadazadoEngine::getStrings: ISO code " + languageIso +
                " is not listed; using the user's language codes");
    }

    // Most specific last, so a country's strings override its language's, which override the
    // neutral ones.
    loadStrings(findInfSection("Strings"), macros);
    loadStrings(findInfSection("Strings." + languageCode), macros);
    loadStrings(findInfSection("Strings." + countryCode), macros);

    macros["lang_hex"] = "0x" + countryCode;
    macros["lang"] = languageIso;
    macros["device"] = driverName;
    macros["port"] = portName;
}
