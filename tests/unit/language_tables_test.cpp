#include "support/language_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/test_machine.h"

namespace {

TEST(LanguageTables, HoldEveryMappedIdentifierAndRowOnce) {
    EXPECT_EQ(lcidLocaleTable().size(), 88u);
    std::set<uint32_t> identifiers;
    for (const LcidLocale& entry : lcidLocaleTable()) {
        EXPECT_TRUE(identifiers.insert(entry.lcid).second) << entry.lcid;
        ASSERT_NE(entry.localeCode, nullptr);
        EXPECT_NE(std::string(entry.localeCode), "en_US") << entry.lcid;
    }

    ASSERT_EQ(languageTable().size(), 115u);
    const LanguageRow& header = languageTable()[0];
    const char* titles[] = {"Language", "ISO Code", "Win Code", "Mac Code", "CodePage"};
    for (int column = 0; column < kLanguageColumnCount; ++column)
        EXPECT_STREQ(header.columns[column], titles[column]);
    for (const LanguageRow& row : languageTable().subspan(1)) {
        for (const char* cell : row.columns) {
            ASSERT_NE(cell, nullptr);
            EXPECT_NE(std::string(cell), "");
        }
        EXPECT_EQ(std::string(row.columns[WIN_CODE_COLUMN]).substr(0, 2), "0x")
            << row.columns[LANGUAGE_COLUMN];
    }
    const LanguageRow& last = languageTable().back();
    EXPECT_STREQ(last.columns[LANGUAGE_COLUMN], "Zulu");
    EXPECT_STREQ(last.columns[WIN_CODE_COLUMN], "0x35 ");
}

TEST(LanguageTables, LocaleCodeOfIdentifier) {
    EXPECT_EQ(localeCodeForLcid(1033), "en_US");  // not listed: the default
    EXPECT_EQ(localeCodeForLcid(0), "en_US");
    EXPECT_EQ(localeCodeForLcid(0xFFFFFFFF), "en_US");
    EXPECT_EQ(localeCodeForLcid(2057), "en_UK");
    EXPECT_EQ(localeCodeForLcid(1025), "ar_SA");
    EXPECT_EQ(localeCodeForLcid(1027), "ca_AD");
    EXPECT_EQ(localeCodeForLcid(1057), "in");
    EXPECT_EQ(localeCodeForLcid(2066), "ko_KR");
    EXPECT_EQ(localeCodeForLcid(9225), "en_JM");
    EXPECT_EQ(localeCodeForLcid(20490), "es_PR");
}

TEST(LanguageTables, LookupIgnoresCaseAndFallsBackToTheLanguage) {
    EXPECT_EQ(lookupLanguage("ZH_hk", WIN_CODE_COLUMN), "0x0404");
    EXPECT_EQ(lookupLanguage("zh", WIN_CODE_COLUMN), "0x0804");
    EXPECT_EQ(lookupLanguage("pt_BR", WIN_CODE_COLUMN), "0x416");
    EXPECT_EQ(lookupLanguage("pt_PT", CODEPAGE_COLUMN), "1252");
    EXPECT_EQ(lookupLanguage("de_AT", LANGUAGE_COLUMN), "German");
    EXPECT_EQ(lookupLanguage("DE", ISO_CODE_COLUMN), "de");
    EXPECT_EQ(lookupLanguage("ja", CODEPAGE_COLUMN), "932");
    EXPECT_EQ(lookupLanguage("fy", MAC_CODE_COLUMN), "-1");
    EXPECT_EQ(lookupLanguage("zu", WIN_CODE_COLUMN), "0x35 ");
}

TEST(LanguageTables, RepeatedCodesGiveTheirFirstRow) {
    EXPECT_EQ(lookupLanguage("az", MAC_CODE_COLUMN), "49");
    EXPECT_EQ(lookupLanguage("el", MAC_CODE_COLUMN), "14");
    EXPECT_EQ(lookupLanguage("gd", WIN_CODE_COLUMN), "0x3c");
    EXPECT_EQ(lookupLanguage("ga", WIN_CODE_COLUMN), "0x3c");
    EXPECT_EQ(lookupLanguage("ms", MAC_CODE_COLUMN), "83");
    EXPECT_EQ(lookupLanguage("mn", MAC_CODE_COLUMN), "57");
    EXPECT_EQ(lookupLanguage("sr", WIN_CODE_COLUMN), "0x1a");
    EXPECT_EQ(lookupLanguage("sr", CODEPAGE_COLUMN), "-1");
}

TEST(LanguageTables, LookupMissesGiveEmptyText) {
    EXPECT_EQ(lookupLanguage("xx", LANGUAGE_COLUMN), "");
    EXPECT_EQ(lookupLanguage("xx_YY", LANGUAGE_COLUMN), "");
    EXPECT_EQ(lookupLanguage("", LANGUAGE_COLUMN), "");
    EXPECT_EQ(lookupLanguage("e", LANGUAGE_COLUMN), "");
    EXPECT_EQ(lookupLanguage("en", 5), "");
    EXPECT_EQ(lookupLanguage("en", -1), "");
    EXPECT_EQ(lookupLanguage("en", LANGUAGE_COLUMN), "English");
    EXPECT_EQ(lookupLanguage("en", CODEPAGE_COLUMN), "1252");
}

TEST(LanguageTables, TitleRowIsNeverMatched) {
    // Both titles miss and fall back to their first two letters.
    EXPECT_EQ(lookupLanguage("ISO Code", LANGUAGE_COLUMN), "Icelandic");
    EXPECT_EQ(lookupLanguage("Language", ISO_CODE_COLUMN), "la");
}

TEST(LanguageTables, UserLocaleCodeComesFromTheLocaleNames) {
    {
        TestMachine machine(sim::MachineOptions{.locale = 0x0407});
        EXPECT_EQ(getUserLocaleCode(), "de_DE");
    }
    {
        // The system's names win over the table, which says en_UK.
        TestMachine machine(sim::MachineOptions{.locale = 0x0809});
        EXPECT_EQ(getUserLocaleCode(), "en_GB");
    }
}

TEST(LanguageTables, UserLocaleCodeFallsBackToTheTable) {
    // A language the system has no ISO names for.
    TestMachine machine(sim::MachineOptions{.locale = 0x0C1A});
    EXPECT_EQ(getUserLocaleCode(), "sr_YU");
}

}  // namespace
