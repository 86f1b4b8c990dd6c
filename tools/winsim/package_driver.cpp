#include "tools/winsim/package_driver.h"

#include "app/dadazado_engine.h"
#include "commands/update_dep_files_info.h"
#include "support/string_tokenizer.h"

namespace winsim {

namespace {

// A driver directive of the install section, or of one of the sections DataSection names.
std::string directive(const DadazadoEngine& engine, const CStdStr& installSection,
                      const char* key) {
    CStdStr value;
    if (engine.getInfValue(installSection, key, value)) return value;
    CStdStr dataSections;
    if (!engine.getInfValue(installSection, "DataSection", dataSections)) return {};
    StringTokenizer names(dataSections, ',', StringTokenizer::TrimBefore);
    CStdStr name;
    while (names.next(name))
        if (engine.getInfValue(name, key, value)) return value;
    return {};
}

// "DEMOCOL.DLL=DEMOCOL.DL_": the file is shipped compressed under the second name.
std::string sourceOf(const DadazadoEngine& engine, const CStdStr& installSection,
                     const std::string& file) {
    CStdStr copyFiles;
    if (!engine.getInfValue(installSection, "CopyFiles", copyFiles)) return file;
    StringTokenizer names(copyFiles, ',', StringTokenizer::TrimBefore);
    CStdStr section;
    while (names.next(section)) {
        CStdStr source;
        if (engine.getInfValue(section, CStdStr(file), source) && !source.empty()) return source;
    }
    return file;
}

}  // namespace

bool readPackageDriver(const std::string& infPath, const std::string& model, PackageDriver* driver,
                       std::string* problem) {
    DadazadoEngine engine;
    const CStdStr commandLine("-I \"" + infPath + "\" -N \"" + model + "\"");
    if (!engine.parseCommandLine(commandLine) || engine.getInf() == nullptr ||
        engine.getInf()->empty()) {
        *problem = "cannot read the INF " + infPath;
        return false;
    }
    if (!engine.getManufacturers()) {
        *problem = "the INF has no [Manufacturer] section";
        return false;
    }
    driver->installSection = engine.getInstallSection(CStdStr(model));
    if (driver->installSection.empty()) {
        *problem = "no manufacturer section of the INF lists the model \"" + model + "\"";
        return false;
    }
    const CStdStr section(driver->installSection);
    for (const CStdStr& file : copyFilesNames(engine, section)) {
        driver->files.push_back(file);
        driver->sources.push_back(sourceOf(engine, section, file));
    }
    // Printer INFs name the data file after the install section when they do not name it.
    driver->driverFile = directive(engine, section, "DriverFile");
    driver->dataFile = directive(engine, section, "DataFile");
    driver->configFile = directive(engine, section, "ConfigFile");
    driver->helpFile = directive(engine, section, "HelpFile");
    if (driver->dataFile.empty()) driver->dataFile = driver->installSection;
    if (driver->driverFile.empty() && !driver->files.empty()) driver->driverFile = driver->files[0];
    if (driver->configFile.empty()) driver->configFile = driver->driverFile;
    if (driver->driverFile.empty()) {
        *problem = "the install section " + driver->installSection +
                   " names no DriverFile and copies no file";
        return false;
    }
    return true;
}

}  // namespace winsim
