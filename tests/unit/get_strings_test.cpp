#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/dadazado_engine.h"
#include "platform/registry.h"
#include "platform/sim/registry_store.h"
#include "tests/support/test_machine.h"

namespace {

// Each name shows which section supplied it last.
const char* const kInf =
    "[Strings]\r\n"
    "Neutral = from Strings\r\n"
    "Shared = from Strings\r\n"
    "Twice = first\r\n"
    "Twice = second\r\n"
    "Device = from INF\r\n"
    "LANG = from INF\r\n"
    "\"Quoted\" = \"in quotes\"\r\n"
    "NoValue\r\n"
    "= nameless\r\n"
    "[Strings.0007]\r\n"
    "Shared = from 0007\r\n"
    "Language = from 0007\r\n"
    "[Strings.0407]\r\n"
    "Shared = from 0407\r\n"
    "[Strings.000c]\r\n"
    "Shared = from 000c\r\n"
    "[Strings.0c0a]\r\n"
    "Shared = from 0c0a\r\n";

using Lines = std::vector<std::string>;

// A 9x machine, so that the -N value becomes the driver name without a spooler.
class GetStrings : public ::testing::Test {
  protected:
    void load(uint32_t locale, const std::string& configuredIso = "") {
        machine.emplace(sim::MachineOptions{.os = "98", .locale = locale});
        log.emplace();
        if (!configuredIso.empty()) {
            sim::registry::writeValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Qentrel", "InstallLanguageISO",
                                      platform::kRegSz, configuredIso + '\0');
        }
        machine->writeFile("C:\\x.inf", kInf);
        ASSERT_TRUE(engine.parseCommandLine("-I C:\\x.inf -N \"Acme Laser\" -P LPT1:"));
        ASSERT_TRUE(engine.getPrinterInfo());
        engine.getStrings();
    }

    std::string macro(const std::string& name) const {
        const auto found = engine.getMacros().find(name);
        return found == engine.getMacros().end() ? "<absent>" : found->second;
    }
    Lines logFrom(const std::string& first) const {
        const Lines lines = log->lines();
        for (auto it = lines.begin(); it != lines.end(); ++it)
            if (*it == first) return Lines(it, lines.end());
        return {};
    }
    static Lines codeLines(const std::string& country, const std::string& language,
                           const std::string& iso) {
        return {"DadazadoEngine::getStrings: Language Codes Found",
                "\tHex Country code: " + country, "\tHex Language code: " + language,
                "\tISO code: " + iso};
    }

    std::optional<TestMachine> machine;
    std::optional<LogCapture> log;
    DadazadoEngine engine;
};

TEST_F(GetStrings, GermanUserLocaleLoadsNeutralLanguageAndCountrySections) {
    load(0x0407);
    EXPECT_EQ(logFrom("DadazadoEngine::getStrings: Language Codes Found"),
              codeLines("0407", "0007", "de_DE"));
    EXPECT_EQ(engine.getLanguageIso(), "de_DE");
    EXPECT_EQ(macro("neutral"), "from Strings");
    EXPECT_EQ(macro("language"), "from 0007");
    EXPECT_EQ(macro("shared"), "from 0407");
    EXPECT_EQ(macro("twice"), "second");
    EXPECT_EQ(macro("quoted"), "in quotes");
    EXPECT_EQ(macro("novalue"), "");
    EXPECT_EQ(macro(""), "<absent>");
    // The fixed macros replace INF entries of the same names.
    EXPECT_EQ(macro("device"), "Acme Laser");
    EXPECT_EQ(macro("lang"), "de_DE");
    EXPECT_EQ(macro("port"), "LPT1:");
    EXPECT_EQ(engine.DecodeMacros("%LANG_HEX%", 255), "0x0407");
}

TEST_F(GetStrings, OtherMachinesKeepTheNeutralValue) {
    load(0x0409);
    EXPECT_EQ(macro("shared"), "from Strings");
    EXPECT_EQ(macro("lang_hex"), "0x0409");
}

TEST_F(GetStrings, CountryCodeKeepsItsHighBitsInLowerCase) {
    load(0x0c0a);
    EXPECT_EQ(logFrom("DadazadoEngine::getStrings: Language Codes Found"),
              codeLines("0c0a", "000a", "es_ES"));
    EXPECT_EQ(macro("shared"), "from 0c0a");
}

TEST_F(GetStrings, ConfiguredListedIsoCodeChoosesItsLanguage) {
    load(0x0407, "fr");
    EXPECT_EQ(logFrom("DadazadoEngine::getStrings: Language Codes Found"),
              codeLines("000c", "000c", "fr"));
    EXPECT_EQ(macro("shared"), "from 000c");
    EXPECT_EQ(macro("lang"), "fr");
    EXPECT_EQ(macro("lang_hex"), "0x000c");
}

TEST_F(GetStrings, ConfiguredUnlistedIsoCodeFallsBackToTheUsersCodes) {
    load(0x0407, "xx_YY");
    Lines expected = codeLines("0407", "0007", "xx_YY");
    expected.push_back(
        "DadazadoEngine::getStrings: ISO code xx_YY is not listed; using the user's language "
        "codes");
    EXPECT_EQ(logFrom("DadazadoEngine::getStrings: Language Codes Found"), expected);
    EXPECT_EQ(macro("shared"), "from 0407");
    EXPECT_EQ(macro("lang"), "xx_YY");
}

}  // namespace
