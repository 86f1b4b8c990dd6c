#include "support/language_tables.h"

#include <iterator>

#include "platform/errors.h"
#include "platform/system_info.h"
#include "support/debug_log.h"

namespace {

constexpr LcidLocale kLcidLocales[] = {
    {1025, "ar_SA"},  {1026, "bg_BG"},  {1027, "ca_AD"},  {1028, "zh_TW"},  {1029, "cs_CZ"},
    {1030, "da_DK"},  {1031, "de_DE"},  {1032, "el_GR"},  {1034, "es_ES"},  {1035, "fi_FI"},
    {1036, "fr_FR"},  {1037, "he_IL"},  {1038, "hu_HU"},  {1039, "is_IS"},  {1040, "it_IT"},
    {1041, "ja_JP"},  {1042, "ko_KR"},  {1043, "nl_NL"},  {1044, "no_NO"},  {1045, "pl_PL"},
    {1046, "pt_BR"},  {1048, "ro_RO"},  {1049, "ru_RU"},  {1050, "hr_HR"},  {1051, "sk_SK"},
    {1052, "sq_AL"},  {1053, "sv_SE"},  {1054, "th_TH"},  {1055, "tr_TR"},  {1057, "in"},
    {1058, "uk_UA"},  {1059, "be_BY"},  {1060, "sl_SI"},  {1061, "et_EE"},  {1062, "lv_LV"},
    {1063, "lt_LT"},  {1066, "vi_VN"},  {1069, "eu_ES"},  {1078, "af_ZA"},  {1080, "fo_FO"},
    {2052, "zh_CN"},  {2055, "de_CH"},  {2057, "en_UK"},  {2058, "es_MX"},  {2060, "fr_BE"},
    {2064, "it_CH"},  {2066, "ko_KR"},  {2067, "nl_BE"},  {2068, "no_NO"},  {2070, "pt_PT"},
    {2074, "sr_YU"},  {2077, "sv_FI"},  {3076, "zh_HK"},  {3079, "de_AT"},  {3081, "en_AU"},
    {3082, "es_ES"},  {3084, "fr_CA"},  {3098, "sr_YU"},  {4100, "zh_SG"},  {4103, "de_LU"},
    {4105, "en_CA"},  {4106, "es_GT"},  {4108, "fr_CH"},  {5127, "de_LI"},  {5129, "en_NZ"},
    {5130, "es_CR"},  {5132, "fr_LU"},  {6153, "en_IE"},  {6154, "es_PA"},  {7177, "en_ZA"},
    {7178, "es_DO"},  {8201, "en_JM"},  {8202, "es_VE"},  {9225, "en_JM"},  {9226, "es_CO"},
    {10249, "en_BZ"}, {10250, "es_PE"}, {11273, "en_TT"}, {11274, "es_AR"}, {12298, "es_EC"},
    {13322, "es_CL"}, {14346, "es_UY"}, {15370, "es_PY"}, {16394, "es_BO"}, {17418, "es_SV"},
    {18442, "es_HN"}, {19466, "es_NI"}, {20490, "es_PR"},
};

// Several ISO codes occur more than once; a lookup stops at the first of them.
constexpr LanguageRow kLanguages[] = {
    {"Language", "ISO Code", "Win Code", "Mac Code", "CodePage"},
    {"Afrikaans", "af", "0x36", "141", "1252"},
    {"Albanian", "sq", "0x1c", "36", "1250"},
    {"Amharic", "am", "0x5e", "85", "-1"},
    {"Arabic", "ar", "0x01", "12", "1256"},
    {"Armenian", "hy", "0x2b", "51", "0"},
    {"Assamese", "as", "0x4d", "68", "-1"},
    {"Azerbaijani", "az", "0x2c", "49", "-1"},
    {"Azerbaijani", "az", "0x2c", "50", "-1"},
    {"Basque", "eu", "0x2d", "129", "1252"},
    {"Bengali (Bangla)", "bn", "0x45", "67", "-1"},
    {"Bulgarian", "bg", "0x02", "44", "1251"},
    {"Burmese", "my", "0x55", "77", "-1"},
    {"Byelorussian (Belarusian)", "be", "0x23", "46", "1251"},
    {"Cambodian", "km", "0x53", "78", "-1"},
    {"Catalan", "ca", "0x03", "130", "1252"},
    {"Chinese (Simplified)", "zh", "0x0804", "33", "936"},
    {"Chinese (Traditional)", "zh_HK", "0x0404", "19", "950"},
    {"Chinese (Traditional)", "zh_TW", "0x0404", "19", "950"},
    {"Croatian", "hr", "0x1a", "18", "1250"},
    {"Czech", "cs", "0x05", "38", "1250"},
    {"Danish", "da", "0x06", "7", "1252"},
    {"Dutch", "nl", "0x13", "4", "1252"},
    {"English", "en", "0x09", "0", "1252"},
    {"Estonian", "et", "0x25", "27", "1257"},
    {"Faeroese", "fo", "0x38", "30", "1252"},
    {"Farsi", "fa", "0x29", "31", "1256"},
    {"Finnish", "fi", "0x0b", "13", "1252"},
    {"French", "fr", "0x0c", "1", "1252"},
    {"Frisian", "fy", "0x62", "-1", "-1"},
    {"Galician", "gl", "0x56", "140", "1252"},
    {"Gaelic (Scottish)", "gd", "0x3c", "144", "-1"},
    {"Gaelic (Scottish)", "gd", "0x043c", "144", "-1"},
    {"Georgian", "ka", "0x37", "52", "0"},
    {"German", "de", "0x07", "2", "1252"},
    {"Greek", "el", "0x08", "14", "1253"},
    {"Greek", "el", "0x08", "148", "1253"},
    {"Guarani", "gn", "0x74", "133", "-1"},
    {"Gujarati", "gu", "0x47", "69", "0"},
    {"Hausa", "ha", "0x68", "-1", "-1"},
    {"Hebrew", "he", "0x0d", "10", "1255"},
    {"Hebrew", "iw", "0x0d", "10", "1255"},
    {"Hindi", "hi", "0x39", "21", "0"},
    {"Hungarian", "hu", "0x0e", "26", "1250"},
    {"Icelandic", "is", "0x0f", "15", "1252"},
    {"Indonesian", "id", "0x21", "81", "1252"},
    {"Indonesian", "in", "0x21", "81", "1252"},
    {"Inuktitut", "iu", "0x5d", "143", "-1"},
    {"Irish", "ga", "0x3c", "35", "-1"},
    {"Irish", "ga", "0x083c", "146", "-1"},
    {"Italian", "it", "0x10", "3", "1252"},
    {"Japanese", "ja", "0x11", "11", "932"},
    {"Kannada", "kn", "0x4b", "73", "0"},
    {"Kashmiri", "ks", "0x60", "61", "-1"},
    {"Kazakh", "kk", "0x3f", "48", "1251"},
    {"Kirghiz", "ky", "0x40", "54", "1251"},
    {"Korean", "ko", "0x12", "23", "949"},
    {"Laothian", "lo", "0x54", "79", "-1"},
    {"Latin", "la", "0x76", "131", "-1"},
    {"Latvian (Lettish)", "lv", "0x26", "28", "1257"},
    {"Lithuanian", "lt", "0x27", "24", "1257"},
    {"Macedonian", "mk", "0x2f", "43", "-1"},
    {"Malay", "ms", "0x3e", "83", "1252"},
    {"Malay", "ms", "0x3e", "84", "1252"},
    {"Malayalam", "ml", "0x4c", "72", "-1"},
    {"Maltese", "mt", "0x3a", "16", "-1"},
    {"Marathi", "mr", "0x4e", "66", "0"},
    {"Mongolian", "mn", "0x50", "57", "1251"},
    {"Mongolian", "mn", "0x50", "58", "1251"},
    {"Nepali", "ne", "0x61", "64", "-1"},
    {"Norwegian", "no", "0x14", "9", "1252"},
    {"Oriya", "or", "0x48", "71", "-1"},
    {"Oromo (Afan, Galla)", "om", "0x72", "87", "-1"},
    {"Pashto (Pushto)", "ps", "0x63", "59", "-1"},
    {"Polish", "pl", "0x15", "25", "1250"},
    {"Portuguese", "pt", "0x16", "8", "1252"},
    {"Portuguese (Brazil)", "pt_BR", "0x416", "8", "1252"},
    {"Portuguese (Portugal)", "pt_PT", "0x816", "8", "1252"},
    {"Punjabi", "pa", "0x46", "70", "0"},
    {"Rhaeto-Romance", "rm", "0x17", "-1", "-1"},
    {"Romanian", "ro", "0x18", "37", "-1"},
    {"Russian", "ru", "0x19", "32", "1251"},
    {"Sanskrit", "sa", "0x4f", "65", "0"},
    {"Serbian", "sr", "0x1a", "42", "-1"},
    {"Serbian", "sr", "0x081a", "42", "1250"},
    {"Serbian", "sr", "0x0c1a", "42", "1251"},
    {"Sindhi", "sd", "0x59", "62", "-1"},
    {"Sinhalese", "si", "0x5b", "76", "-1"},
    {"Slovak", "sk", "0x1b", "39", "1250"},
    {"Slovenian", "sl", "0x24", "40", "1250"},
    {"Somali", "so", "0x77", "88", "-1"},
    {"Spanish", "es", "0x0a", "6", "1252"},
    {"Swahili (Kiswahili)", "sw", "0x41", "89", "1252"},
    {"Swedish", "sv", "0x1d", "5", "1252"},
    {"Tagalog", "tl", "0x64", "82", "-1"},
    {"Tajik", "tg", "0x28", "55", "-1"},
    {"Tamil", "ta", "0x49", "74", "0"},
    {"Tatar", "tt", "0x44", "135", "1251"},
    {"Telugu", "te", "0x4a", "75", "0"},
    {"Thai", "th", "0x1e", "22", "874"},
    {"Tibetan", "bo", "0x51", "63", "-1"},
    {"Tigrinya", "ti", "0x73", "86", "-1"},
    {"Tsonga", "ts", "0x31", "-1", "431"},
    {"Turkish", "tr", "0x1f", "17", "1254"},
    {"Turkmen", "tk", "0x42", "56", "-1"},
    {"Ukrainian", "uk", "0x22", "45", "1251"},
    {"Urdu", "ur", "0x20", "20", "1256"},
    {"Uzbek", "uz", "0x43", "47", "1254"},
    {"Vietnamese", "vi", "0x2a", "80", "1258"},
    {"Welsh", "cy", "0x52", "128", "-1"},
    {"Xhosa", "xh", "0x34", "-1", "-1"},
    {"Yiddish", "yi", "0x3d", "41", "-1"},
    {"Yiddish", "ji", "0x3d", "41", "-1"},
    {"Yoruba", "yo", "0x6a", "-1", "-1"},
    {"Zulu", "zu", "0x35 ", "-1", "-1"},
};

constexpr int kQueryBufferSize = 20;

// The first data row whose ISO code equals code; null when there is none.
const LanguageRow* findLanguage(std::string_view code) {
    for (size_t row = 1; row < std::size(kLanguages); ++row)
        if (cstd::equalsNoCase(kLanguages[row].columns[ISO_CODE_COLUMN], code))
            return &kLanguages[row];
    return nullptr;
}

}  // namespace

std::span<const LcidLocale> lcidLocaleTable() { return kLcidLocales; }

std::span<const LanguageRow> languageTable() { return kLanguages; }

CStdStr localeCodeForLcid(uint32_t lcid) {
    for (const LcidLocale& entry : kLcidLocales)
        if (entry.lcid == lcid) return entry.localeCode;
    return "en_US";
}

CStdStr getUserLocaleCode() {
    const uint16_t langId = platform::getUserDefaultLangId();
    std::string country;
    std::string language;
    // Without both names the table has to do; a country alone would give "_DE".
    if (!platform::getLocaleInfo(langId, platform::kLocaleSIso3166CtryName, kQueryBufferSize,
                                 &country) ||
        !platform::getLocaleInfo(langId, platform::kLocaleSIso639LangName, kQueryBufferSize,
                                 &language)) {
        const CStdStr fromTable = localeCodeForLcid(langId);
        LogLine("getUserLocaleCode: GetLocaleInfo of language ", langId, " failed with code ",
                platform::getLastError(), "; using ", fromTable);
        return fromTable;
    }
    return CStdStr(language).ToLower() + "_" + CStdStr(country).ToUpper();
}

CStdStr lookupLanguage(const CStdStr& code, int column) {
    if (column < 0 || column >= kLanguageColumnCount) return {};
    const LanguageRow* row = findLanguage(code);
    if (row == nullptr && code.size() > 2) row = findLanguage(std::string_view(code).substr(0, 2));
    return row == nullptr ? CStdStr() : CStdStr(row->columns[column]);
}
