#pragma once

#include <cstdint>
#include <span>

#include "support/cstd_str.h"

// Language data for choosing the install language: locale codes of Windows language
// identifiers, and a table of languages keyed by ISO code.

// Column numbers of the language table.
enum LanguageColumn : int {
    LANGUAGE_COLUMN = 0,
    ISO_CODE_COLUMN = 1,
    WIN_CODE_COLUMN = 2,
    MAC_CODE_COLUMN = 3,
    CODEPAGE_COLUMN = 4,
};
constexpr int kLanguageColumnCount = 5;

struct LcidLocale {
    uint32_t lcid;
    const char* localeCode;
};

// One row of the language table: Language, ISO Code, Win Code, Mac Code, CodePage.
struct LanguageRow {
    const char* columns[kLanguageColumnCount];
};

// "language_COUNTRY" for an identifier; "en_US" for every identifier the table lacks.
CStdStr localeCodeForLcid(uint32_t lcid);
// The current user's locale code, such as "de_DE".
CStdStr getUserLocaleCode();
// A column of the first row whose ISO code equals code (case ignored), falling back to the
// first two letters of a longer code; empty for an unknown code or a column outside 0 to 4.
CStdStr lookupLanguage(const CStdStr& code, int column);

// The tables themselves. Row 0 of the language table holds the column titles and is never
// matched by a lookup.
std::span<const LcidLocale> lcidLocaleTable();
std::span<const LanguageRow> languageTable();
