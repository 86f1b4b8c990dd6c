#pragma once

#include <string_view>

// What the system's printer INF (NTPRINT.INF) gives a vendor INF that names it with
// `Include=`: the data sections that fill in a minidriver's driver, configuration and help
// files, and the install sections a `Needs=` line may pull in. Only the sections Windows'
// printer INF documentation lists for vendors to reference are known here.
namespace driver_package {

struct SystemDataSection {
    std::string_view name;
    std::string_view driverFile, configFile, helpFile;
    std::string_view languageMonitor;  // empty where the section sets none
};

// True when an `Include=` value, as written, names the system's printer INF among its
// comma-separated files (any case, any position; a comment after it is no file).
bool includesSystemPrinterInf(std::string_view includeValue);

// The documented data section of that name (any case), or null.
const SystemDataSection* systemDataSection(std::string_view name);

// True for a data or install section of the system's printer INF that a vendor INF may name.
bool isSystemPrinterInfSection(std::string_view name);

}  // namespace driver_package
