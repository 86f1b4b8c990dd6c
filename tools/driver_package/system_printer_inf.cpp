#include "tools/driver_package/system_printer_inf.h"

#include "platform/sim/names.h"
#include "tools/driver_package/windows_inf.h"

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

}  // namespace

bool includesSystemPrinterInf(std::string_view includeValue) {
    for (const std::string& name : splitInfFields(includeValue))
        if (sim::equalsIgnoringCase(name, "NTPRINT.INF")) return true;
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
