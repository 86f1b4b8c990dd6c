#include "app/dadazado_engine.h"
#include "platform/errors.h"
#include "platform/system_info.h"
#include "support/debug_log.h"
#include "support/ini_line.h"
#include "support/opened_printer.h"
#include "support/os_info.h"
#include "support/string_tokenizer.h"

bool DadazadoEngine::getManufacturers() {
    const std::vector<CStdStr>* section = findInfSection("Manufacturer");
    if (section == nullptr) {
        LogLine(CStdStr("DadazadoEngine::getManufacturers: could not find manufacturer section: ") +
                "Manufacturer");
        return false;
    }
    for (const CStdStr& line : *section) {
        CStdStr name, value;
        if (!ini::splitNameValue(line, name, value, ini::NameQuotes::Remove)) continue;
        manufacturerSections.push_back(value.empty() ? name : value);
    }
    return true;
}

bool DadazadoEngine::getPrinterInfo() {
    if (OSInfo::current().isWin9x()) {
        // On 9x the -N value names the driver; there is no print object to ask about.
        driverName = printerName;
        printerName.clear();
        return true;
    }
    OpenedPrinter printer(printerName, platform::kPrinterRead);
    if (printer.get() == nullptr) {
        LogLine("DadazadoApp::getPrinterInfo: OpenPrinter of ", printerName,
                " failed with error code ", platform::getLastError());
        return false;
    }
    uint32_t needed = 0;
    platform::getPrinter(printer.get(), nullptr, &needed);
    if (needed == 0) {
        LogLine("DadazadoApp::getPrinterInfo: GetPrinter of " + printerName + " provided no data.");
        return false;
    }
    platform::PrinterInfo2 info;
    if (!platform::getPrinter(printer.get(), &info, &needed)) {
        LogLine("DadazadoApp::getPrinterInfo: GetPrinter of ", printerName,
                " failed with error code ", platform::getLastError());
        return false;
    }
    printerName = info.printerName;
    driverName = info.driverName;
    pointAndPrint = isRemotePrinter(info);
    return true;
}

bool DadazadoEngine::isRemotePrinter(const platform::PrinterInfo2& printer) const {
    if (OSInfo::current().isWin9x() || printer.serverName.empty()) return false;
    const std::string computer = platform::getComputerName();
    if (computer.empty()) return false;
    return !cstd::equalsNoCase("\\\\" + computer, printer.serverName);
}

CStdStr DadazadoEngine::getInstallSection(const CStdStr& model) const {
    for (const CStdStr& section : manufacturerSections) {
        CStdStr value;
        if (!getInfValue(section, model, value)) continue;
        CStdStr first;
        StringTokenizer(value, ',', StringTokenizer::Quotes | StringTokenizer::TrimBefore)
            .next(first);
        return first;
    }
    return {};
}

void DadazadoEngine::readUninstallInfo() {
    CStdStr section;
    if (!getInfValue(installSection, "QenUninstall", section))
        section = kDefaultUninstallInfoSection;
    CStdStr directory;
    if (getInfValue(section, kInstallDirKey, directory)) installDir = dirFromSpec(directory);
}

PathObject DadazadoEngine::dirFromSpec(const CStdStr& codeAndSubdirectory) const {
    StringTokenizer words(codeAndSubdirectory, ',', 0);
    CStdStr code, subdirectory;
    words.next(code);
    words.next(subdirectory);
    PathObject dir = LookupDir(cstd::atoi(code));
    if (!subdirectory.empty()) dir.AppendDir(subdirectory);
    return dir;
}

CStdStr DadazadoEngine::getDriverEnvironment() const {
    return OSInfo::current().isWin9x() ? "Windows 4.0" : "Windows NT x86";
}

platform::DriverInfo3* DadazadoEngine::findDriverInfo(const CStdStr& name, int* level) {
    const bool levelSix = OSInfo::current().isWin2000OrLater();
    *level = levelSix ? 6 : 3;
    if (levelSix) {
        for (platform::DriverInfo6& driver : driverInfo6)
            if (cstd::equalsNoCase(driver.name, name)) return &driver;
        return nullptr;
    }
    for (platform::DriverInfo3& driver : driverInfo3)
        if (cstd::equalsNoCase(driver.name, name)) return &driver;
    return nullptr;
}
