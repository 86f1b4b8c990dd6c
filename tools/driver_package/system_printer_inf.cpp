#include "tools/driver_package/system_printer_inf.h"

#include "platform/sim/names.h"

namespace driver_package {

namespace {

constexpr SystemDataSection kDataSections[] = {
    {"UNIDRV_DATA", "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", ""},
    {"UNIDRV_BIDI_DATA", "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP",
     "PJL Language Monitor,PJLMON.DLL"},
    {"PSCRIPT_DATA", "PSCRIPT5.DLL", "PS5UI.DLL", "PSCRIPT.HLP", ""},
};

constexpr std::string_view kInstallSections[] = {
    "PSCRIPT.OEM", "UNIDRV.OEM", "UNIDRV_BIDI.OEM", "TTFSUB.OEM", "sRGBPROFILE.OEM", "LOCALE.OEM",
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool includesSystemPrinterInf(std::string_view includeValue) {
    while (!includeValue.empty()) {
        const size_t comma = includeValue.find(',');
        if (sim::equalsIgnoringCase(trimmed(includeValue.substr(0, comma)), "NTPRINT.INF"))
            return true;
        if (comma == std::string_view::npos) break;
        includeValue.remove_prefix(comma + 1);
    }
    return false;
}

const SystemDataSection* systemDataSection(std::string_view name) {
    for (const SystemDataSection& section : kDataSections)
        if (sim::equalsIgnoringCase(section.name, name)) return &section;
    return nullptr;
}

bool isSystemPrinterInfSection(std::string_view name) {
    if (systemDataSection(name)) return true;
    for (std::string_view section : kInstallSections)
        if (sim::equalsIgnoringCase(section, name)) return true;
    return false;
}

}  // namespace driver_package
